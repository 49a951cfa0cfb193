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
    // Every transaction of account `id`, as stored (Transactions must be open).
    std::vector<core::Transaction> transactionsOf(std::int32_t id)
    {
        std::vector<core::Transaction> out;
        files->transactions.clear();
        files->transactions.record.sysId = id;
        files->transactions.setOnValue(core::TraSysIDKey);
        while (files->transactions.next().ok() && files->transactions.record.sysId == id)
            out.push_back(files->transactions.record);
        return out;
    }

    std::unique_ptr<core::DataFiles> files;
};

} // namespace fundora::test
