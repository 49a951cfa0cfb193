#pragma once

#include "core/DataFiles.h"
#include "tests/support/TestEnvironment.h"

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
        files.reset();
        ProgramTest::TearDown();
    }
    std::unique_ptr<core::DataFiles> files;
};

} // namespace fundora::test
