#pragma once

#include "core/DataFiles.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QEvent>

namespace fundora::test {

// A program directory with its DataFiles.
class CoreTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        files = std::make_unique<core::DataFiles>(dir());
        core::DataFiles::setCurrent(files.get());
    }
    void TearDown() override
    {
        // Windows closed by the test are deleted now, while the files they hold still exist.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        files.reset();
        ProgramTest::TearDown();
    }
    std::unique_ptr<core::DataFiles> files;
};

} // namespace fundora::test
