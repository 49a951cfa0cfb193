#include "core/GuardedWrites.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/Station.h"

#include "platform/store/StoreSchema.h"
#include <QFile>

#include <sqlite3.h>

using namespace fundora;
using namespace fundora::core;
using test::Station;

namespace {

class GuardedWritesTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        for (FileId id : allFiles())
            ASSERT_TRUE(acquireFile(*files, id));
    }

    void addAccount(std::int32_t sysId, int transactions)
    {
        FileTransaction tx(files->store);
        files->accounts.clear();
        files->accounts.record.sysId = sysId;
        files->accounts.record.creditCardVendor = QStringLiteral("Vendor %1").arg(sysId);
        ASSERT_TRUE(files->accounts.add().ok());
        for (int i = 0; i < transactions; ++i) {
            files->transactions.clear();
            files->transactions.record.sysId = sysId;
            files->transactions.record.dateofTransaction = 82000 + i;
            files->transactions.record.transactionDescription = QStringLiteral("T%1").arg(i);
            files->transactions.record.transactionType = QStringLiteral("C");
            ASSERT_TRUE(files->transactions.add().ok());
            if (i == 0) {
                // What a feature keeps of the account and of its first transaction.
                auto& kept = files->typed<test::KeptNote>(test::keptNotesFile());
                kept.record = {sysId,
                               static_cast<std::int32_t>(files->transactions.record.identity.row),
                               QStringLiteral("kept"),
                               platform::Decimal::fromUnits(100, 2),
                               {}};
                ASSERT_TRUE(kept.add().ok());
            }
        }
        ASSERT_TRUE(tx.commit().ok());
    }
    int keptNotesOf(std::int32_t sysId)
    {
        int n = 0;
        auto& kept = files->typed<test::KeptNote>(test::keptNotesFile());
        kept.clear();
        kept.record.sysId = sysId;
        kept.setOnValue(0);
        while (kept.next().ok() && kept.record.sysId == sysId)
            ++n;
        return n;
    }
    bool readAccount(std::int32_t sysId)
    {
        files->accounts.clear();
        files->accounts.record.sysId = sysId;
        return files->accounts.get(AccSysIDKey).ok();
    }
    int transactionsOf(std::int32_t sysId)
    {
        int n = 0;
        files->transactions.clear();
        files->transactions.record.sysId = sysId;
        files->transactions.setOnValue(TraSysIDKey);
        while (files->transactions.next().ok() && files->transactions.record.sysId == sysId)
            ++n;
        return n;
    }
    // Another program's rule on the transactions: refuses to delete the one described "T250".
    void refuseToDeleteT250()
    {
        if (onServer()) {
            const QString table =
                platform::schema::qualifiedTable(core::transactionLayout().def(), files->store.schemaOf(core::transactionLayout().def()));
            for (const QString& sql :
                 {QStringLiteral("CREATE FUNCTION %1.keep() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF "
                                 "old.\"TransactionDescription\" = 'T250' THEN RAISE EXCEPTION 'kept by another program'; "
                                 "END IF; RETURN old; END$$")
                      .arg(table.section(u'.', 0, 0)),
                  QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON %1 FOR EACH ROW EXECUTE FUNCTION %2.keep()")
                      .arg(table, table.section(u'.', 0, 0))}) {
                platform::StoreStatement* s = files->store.cached(sql);
                ASSERT_TRUE(s && s->step() == platform::StoreStatement::Done) << sql;
                s->reset();
            }
            return;
        }
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path(QStringLiteral("TRANSACT.TPS"))).constData(), &db);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db,
                               "CREATE TRIGGER keep BEFORE DELETE ON Transactions WHEN old.TransactionDescription = 'T250' "
                               "BEGIN SELECT RAISE(ABORT, 'kept by another program'); END;",
                               nullptr, nullptr, &message),
                  SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }
};

TEST_F(GuardedWritesTest, DeletingAnAccountDeletesAllItsTransactionsAndNoOthers)
{
    addAccount(1, 3);
    addAccount(2, 500);
    addAccount(3, 4);
    ASSERT_TRUE(readAccount(2));
    EXPECT_EQ(riDeleteAccounts(*files), Guarded::Done);
    EXPECT_FALSE(readAccount(2));
    EXPECT_EQ(transactionsOf(2), 0);
    EXPECT_EQ(transactionsOf(1), 3);
    EXPECT_EQ(transactionsOf(3), 4);
    EXPECT_EQ(keptNotesOf(2), 0) << "a feature's records of the account go with it";
    EXPECT_EQ(keptNotesOf(1) + keptNotesOf(3), 2);
    EXPECT_TRUE(messages().shown().empty());
    EXPECT_EQ(files->openCount(FileId::Transactions), 1) << "the delete released what it acquired";
}

TEST_F(GuardedWritesTest, OneUndeletableTransactionKeepsTheAccountAndAllItsTransactions)
{
    addAccount(2, 500);
    // Another program's rule on the file refuses to delete one of them.
    releaseFile(*files, FileId::Transactions);
    refuseToDeleteT250();
    ASSERT_TRUE(acquireFile(*files, FileId::Transactions));
    ASSERT_TRUE(readAccount(2));
    EXPECT_EQ(riDeleteAccounts(*files), Guarded::Failed);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Delete Operation Error"));
    EXPECT_TRUE(messages().shown()[0].text.endsWith(QStringLiteral("delete a record from the file Transactions.")));
    EXPECT_TRUE(readAccount(2));
    EXPECT_EQ(transactionsOf(2), 500);
    EXPECT_EQ(keptNotesOf(2), 1);
}

TEST_F(GuardedWritesTest, ChangingTheAccountIdentifierMovesItsTransactions)
{
    addAccount(4, 25);
    addAccount(5, 2);
    ASSERT_TRUE(readAccount(4));
    files->integrity.snapSysId = 4;
    files->accounts.record.sysId = 40;
    EXPECT_EQ(riUpdateAccounts(*files, false), Guarded::Done);
    EXPECT_FALSE(readAccount(4));
    EXPECT_TRUE(readAccount(40));
    EXPECT_EQ(transactionsOf(4), 0);
    EXPECT_EQ(transactionsOf(40), 25);
    EXPECT_EQ(transactionsOf(5), 2);
    EXPECT_EQ(keptNotesOf(4), 0);
    EXPECT_EQ(keptNotesOf(40), 1) << "a feature's records follow the new identifier";
}

TEST_F(GuardedWritesTest, AnIdentifierTakenAlreadyChangesNothing)
{
    addAccount(4, 3);
    addAccount(5, 2);
    ASSERT_TRUE(readAccount(4));
    files->integrity.snapSysId = 4;
    files->accounts.record.sysId = 5;
    messages().answer(platform::Button::Ok);
    EXPECT_EQ(riUpdateAccounts(*files, false), Guarded::Failed);
    EXPECT_TRUE(messages().shown()[0].text.contains(QStringLiteral("Creates Duplicate Key (40)")));
    EXPECT_TRUE(messages().shown()[0].text.endsWith(QStringLiteral("Probable Cause: Accounts.")));
    EXPECT_EQ(transactionsOf(4), 3);
    EXPECT_EQ(transactionsOf(5), 2);
}

TEST_F(GuardedWritesTest, AnotherProcessChangedTheAccountFirst)
{
    addAccount(7, 1);
    ASSERT_TRUE(readAccount(7));
    files->integrity.snapSysId = 7;
    ASSERT_EQ(Station::run({QStringLiteral("change-account"), registerArgument(), QStringLiteral("7"), QStringLiteral("Their Bank")}), 0);
    files->accounts.record.creditCardVendor = QStringLiteral("My Bank");
    messages().answer(platform::Button::Ok);
    EXPECT_EQ(riUpdateAccounts(*files, false), Guarded::ChangedByOther);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("This record was changed by another station."));
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Their Bank")) << "the buffer shows the stored record";
    // Saving again now writes over the record as it was shown.
    files->accounts.record.creditCardVendor = QStringLiteral("My Bank");
    EXPECT_EQ(riUpdateAccounts(*files, false), Guarded::Done);
    ASSERT_TRUE(readAccount(7));
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("My Bank"));
}

TEST_F(GuardedWritesTest, AnotherProcessChangedTheMemoCardFirst)
{
    files->memoCards.clear();
    files->memoCards.record.type = QStringLiteral("ACC");
    files->memoCards.record.topic = QStringLiteral("Rewards");
    ASSERT_TRUE(files->memoCards.add().ok());
    ASSERT_EQ(Station::run({QStringLiteral("change-memo"), registerArgument(), QStringLiteral("Rewards"), QStringLiteral("Theirs")}), 0);
    files->memoCards.record.topic = QStringLiteral("Mine");
    messages().answer(platform::Button::Ok);
    EXPECT_EQ(riUpdateMemoCard(*files, true), Guarded::ChangedByOther);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Record Was Not Updated"));
    EXPECT_EQ(files->memoCards.record.topic, QStringLiteral("Theirs"));
}

TEST_F(GuardedWritesTest, ATransactionHeldElsewhereStopsADeleteAfterTwoSeconds)
{
    addAccount(8, 2);
    files->transactions.clear();
    files->transactions.record.sysId = 8;
    files->transactions.setOnValue(TraSysIDKey);
    ASSERT_TRUE(files->transactions.next().ok());
    const QString ready = path(QStringLiteral("held"));
    // Held until this test lets go, however long the two-second wait takes here.
    auto holder = Station::start({QStringLiteral("hold"), registerArgument(), ready});
    ASSERT_TRUE(Station::waitForFile(ready));
    messages().answer(platform::Button::Ok);
    EXPECT_EQ(riDeleteTransactions(*files), Guarded::Failed);
    ASSERT_EQ(messages().shown().size(), 1u);
    // The files lock as a whole as the transaction begins; the server locks the record the other station holds.
    EXPECT_EQ(messages().shown()[0].text,
              onServer()
                  ? QStringLiteral("An error (File Is Already Locked (32)) was experienced when attempting to delete a record from "
                                   "the file Transactions.")
                  : QStringLiteral("Error: (File Is Already Locked (32)) attempting to frame the delete transaction on Transactions.  "
                                   "Delete transaction cancelled."));
    holder->closeWriteChannel();
    ASSERT_TRUE(holder->waitForFinished(10000));
    EXPECT_EQ(transactionsOf(8), 2);
}

TEST_F(GuardedWritesTest, DeletingATransactionOrMemoCard)
{
    addAccount(9, 2);
    files->transactions.clear();
    files->transactions.record.sysId = 9;
    files->transactions.setOnValue(TraSysIDKey);
    ASSERT_TRUE(files->transactions.next().ok());
    EXPECT_EQ(riDeleteTransactions(*files), Guarded::Done);
    EXPECT_EQ(transactionsOf(9), 1);
    EXPECT_EQ(keptNotesOf(9), 0) << "what a feature keeps of the transaction goes with it";

    files->memoCards.clear();
    files->memoCards.record.type = QStringLiteral("ACC");
    ASSERT_TRUE(files->memoCards.add().ok());
    EXPECT_EQ(riDeleteMemoCard(*files), Guarded::Done);
    files->memoCards.set(MemCardKey);
    EXPECT_EQ(files->memoCards.next().code, platform::ErrorCode::EndOfFile);
}

TEST_F(GuardedWritesTest, AFailedTransactionWriteKeepsTheUsersValues)
{
    addAccount(10, 1);
    files->transactions.clear();
    files->transactions.record.sysId = 10;
    files->transactions.setOnValue(TraSysIDKey);
    ASSERT_TRUE(files->transactions.next().ok());
    files->transactions.record.transactionDescription = QString(36, u'x');
    messages().answer(platform::Button::Ok);
    EXPECT_EQ(riUpdateTransactions(*files, false), Guarded::Failed);
    EXPECT_TRUE(messages().shown()[0].text.endsWith(QStringLiteral("Probable Cause: Transactions.")));
    EXPECT_EQ(files->transactions.record.transactionDescription.size(), 36);
    EXPECT_FALSE(files->store.inTransaction());
}

} // namespace
