#pragma once

#include "core/DataFiles.h"

#include "tests/support/TestEnvironment.h"
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

namespace fundora::test {

// A file of the kind a feature keeps: a note per account, tied to one of its
// transactions (declared as a feature declares its files).
struct KeptNote {
    std::int32_t sysId = 0;
    std::int32_t transactionRow = 0;
    QString note;
    platform::Decimal amount = platform::Decimal::fromUnits(0, 2);
    platform::RecordIdentity identity;
};

inline const core::RecordLayout<KeptNote>& keptNoteLayout()
{
    static const core::RecordLayout<KeptNote> layout(
        QStringLiteral("KeptNotes"), QStringLiteral("KPT"), QStringLiteral("KEPT"), 1,
        {{core::longField("KPT:SysID"), &KeptNote::sysId},
         {core::longField("KPT:TransactionRow"), &KeptNote::transactionRow},
         {core::stringField("KPT:Note", 20), &KeptNote::note},
         {core::decimalField("KPT:Amount", 6, 2), &KeptNote::amount}},
        {{QStringLiteral("KPT:SysIDKey"), {QStringLiteral("KPT:SysID")}, false, false},
         {QStringLiteral("KPT:RowKey"), {QStringLiteral("KPT:TransactionRow")}, false, false}});
    return layout;
}

inline core::FileId keptNotesFile()
{
    static const core::FileId id = core::declareFile(keptNoteLayout(), 0, 1);
    return id;
}

// The transactions' kept totals against the same totals worked out from the
// records now (Transactions must be open): every group with records, its
// count and sum, and no group beyond them.
inline ::testing::AssertionResult keptTotalsMatchTheRecords(core::DataFiles& files)
{
    const platform::FileDef& def = core::transactionLayout().def();
    if (!files.store.keepsTotals(def))
        return ::testing::AssertionFailure() << "the transactions file keeps no totals";
    const QString schema = files.store.schemaOf(def);
    const QString groups = QStringLiteral("\"SysID\", \"ReconciledTransaction\", \"TransactionType\", \"DateofTransaction\"");
    const QString fresh =
        QStringLiteral("SELECT %1, COUNT(*), SUM(\"TransactionAmount\") FROM \"%2\".\"Transactions\" GROUP BY %1").arg(groups, schema);
    const QString kept =
        QStringLiteral("SELECT %1, \"Count\", \"Sum\" FROM \"%2\".\"Transactions_Totals\" WHERE \"Count\" <> 0 OR \"Sum\" <> 0")
            .arg(groups, schema);
    for (const auto& [left, right] : {std::pair{fresh, kept}, std::pair{kept, fresh}}) {
        platform::StoreStatement* differ = files.store.cached(QStringLiteral("SELECT count(*) FROM (%1 EXCEPT %2) AS d").arg(left, right));
        if (!differ || differ->step() != platform::StoreStatement::Row)
            return ::testing::AssertionFailure() << "the totals could not be compared";
        const std::int64_t n = differ->integer(0);
        differ->reset();
        if (n != 0)
            return ::testing::AssertionFailure()
                   << n << (left == fresh ? " groups of the records are not kept as they are" : " kept groups are not the records'");
    }
    return ::testing::AssertionSuccess();
}

// A program directory with its DataFiles.
class CoreTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        keptNotesFile();
        files = std::make_unique<core::DataFiles>(place());
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
