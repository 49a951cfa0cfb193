// The keys of the four files list their records in the order the program
// relies on; the transactions' kept totals follow every write.
#include "core/OpenFile.h"
#include "platform/store/View.h"
#include "tests/core/CoreFixture.h"

#include <QDir>

using namespace fundora;
using namespace fundora::core;

namespace {

class RecordKeysTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        for (FileId id : allFiles())
            ASSERT_TRUE(acquireFile(*files, id));
    }
};

TEST_F(RecordKeysTest, VendorKeyIgnoresCaseAndAllowsTheSameVendorTwice)
{
    int id = 0;
    for (const char* vendor : {"zeta bank", "ACME", "acme", "Bank of Ohio"}) {
        files->accounts.clear();
        files->accounts.record.sysId = ++id;
        files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
        files->accounts.record.accountNumber = QStringLiteral("1234");
        ASSERT_TRUE(files->accounts.add().ok());
    }
    QStringList vendors;
    files->accounts.set(AccCreditCardVendorKey);
    while (files->accounts.next().ok())
        vendors << files->accounts.record.creditCardVendor;
    EXPECT_EQ(vendors, (QStringList{"ACME", "acme", "Bank of Ohio", "zeta bank"}));

    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.add().code == platform::ErrorCode::DuplicateKey) << "ACC:SysID is unique";
}

TEST_F(RecordKeysTest, DateKeyGivesTheNewestTransactionFirst)
{
    const std::vector<std::int32_t> days = {82000, 82500, 81000, 82499};
    for (std::int32_t day : days) {
        files->transactions.clear();
        files->transactions.record.sysId = 1;
        files->transactions.record.dateofTransaction = day;
        files->transactions.record.transactionType = QStringLiteral("C");
        ASSERT_TRUE(files->transactions.add().ok());
    }
    std::vector<std::int32_t> seen;
    files->transactions.set(TraDateKey);
    while (files->transactions.next().ok())
        seen.push_back(files->transactions.record.dateofTransaction);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{82500, 82499, 82000, 81000}));
}

TEST_F(RecordKeysTest, SysIdTypeKeyGroupsAnAccountsTransactionsByTypeWithoutCase)
{
    const std::vector<std::pair<int, const char*>> rows = {{2, "P"}, {1, "c"}, {2, "A"}, {1, "B"}, {2, "c"}, {1, "C"}};
    for (const auto& [owner, type] : rows) {
        files->transactions.clear();
        files->transactions.record.sysId = owner;
        files->transactions.record.transactionType = QString::fromLatin1(type);
        ASSERT_TRUE(files->transactions.add().ok());
    }
    QStringList seen;
    files->transactions.set(TraSysIDTypeKey);
    while (files->transactions.next().ok())
        seen << QStringLiteral("%1%2").arg(files->transactions.record.sysId).arg(files->transactions.record.transactionType);
    EXPECT_EQ(seen, (QStringList{"1B", "1c", "1C", "2A", "2c", "2P"}));
}

TEST_F(RecordKeysTest, NotesAccessKeyRefusesTheSameOwnerDateAndTime)
{
    auto addNote = [&](const char* ownerFile, std::int32_t time) {
        files->notes.clear();
        files->notes.record.ownerFile = QString::fromLatin1(ownerFile);
        files->notes.record.ownerSysId = 3;
        files->notes.record.editDate = 82000;
        files->notes.record.editTime = time;
        files->notes.record.title = QStringLiteral("t");
        return files->notes.add();
    };
    ASSERT_TRUE(addNote("Accounts", 100).ok());
    EXPECT_EQ(addNote("Accounts", 100).code, platform::ErrorCode::DuplicateKey);
    EXPECT_TRUE(addNote("Accounts", 101).ok());
    EXPECT_TRUE(addNote("ACCOUNTS", 100).ok()) << "the notes key is case-sensitive";
}

TEST_F(RecordKeysTest, MemoCardKeyFindsAnOwnersCardsAndKeepsTheLongMemo)
{
    files->memoCards.clear();
    files->memoCards.record.type = QStringLiteral("ACC");
    files->memoCards.record.firstId = 4;
    files->memoCards.record.secondId = QStringLiteral("4111-1111");
    files->memoCards.record.cardMemo = QString(MemoCardTextLimit, u'm');
    ASSERT_TRUE(files->memoCards.add().ok());
    files->memoCards.record.cardMemo += u'x';
    EXPECT_EQ(files->memoCards.add().code, platform::ErrorCode::InvalidValue);

    files->memoCards.clear();
    files->memoCards.record.type = QStringLiteral("acc");
    files->memoCards.record.firstId = 4;
    files->memoCards.record.secondId = QStringLiteral("4111-1111");
    files->memoCards.setOnValue(MemCardKey);
    ASSERT_TRUE(files->memoCards.next().ok());
    EXPECT_EQ(files->memoCards.record.cardMemo.size(), MemoCardTextLimit);
}

TEST_F(RecordKeysTest, BuffersStartClearAndClearAgain)
{
    files->accounts.record.creditCardVendor = QStringLiteral("x");
    files->accounts.record.accountBalance = *platform::Decimal::parse(u"5.00");
    files->clearBuffers();
    EXPECT_TRUE(files->accounts.record.creditCardVendor.isEmpty());
    EXPECT_TRUE(files->accounts.record.accountBalance.isZero());
    EXPECT_FALSE(files->accounts.record.identity.isStored());
}

TEST_F(RecordKeysTest, TheKeptTotalsFollowEveryWriteAnotherProgramsTooAndAreMadeAgainWhenAPieceIsLost)
{
    // Another program writes the SQLite file here; the server's kept totals have a walk of their own (ServerConnectionTest).
    FUNDORA_SKIP_ON_SERVER();
    const platform::FileDef& def = transactionLayout().def();
    auto book = [&](std::int32_t account, std::int32_t day, const char* type, std::int64_t cents, std::uint8_t reconciled) {
        files->transactions.clear();
        files->transactions.record.sysId = account;
        files->transactions.record.dateofTransaction = day;
        files->transactions.record.transactionType = QString::fromLatin1(type);
        files->transactions.record.transactionAmount = platform::Decimal::fromUnits(cents, 2);
        files->transactions.record.reconciledTransaction = reconciled;
        ASSERT_TRUE(files->transactions.add().ok());
    };
    for (int i = 0; i < 40; ++i)
        book(1 + i % 2, 82000 + i % 7, i % 3 == 0 ? "P" : "C", (i % 3 == 0 ? -1 : 1) * (1000 + i), static_cast<std::uint8_t>(i % 4 == 0));
    // The program's own change and delete, then another program's writes straight into the file.
    files->transactions.set(TraSysIDKey);
    ASSERT_TRUE(files->transactions.next().ok());
    files->transactions.record.transactionType = QStringLiteral("c");
    files->transactions.record.transactionAmount = platform::Decimal::fromUnits(777, 2);
    ASSERT_TRUE(files->transactions.put().ok());
    ASSERT_TRUE(files->transactions.next().ok());
    ASSERT_TRUE(files->transactions.remove().ok());
    const QString file = QDir(dir()).filePath(def.fileName());
    auto other = [&file](const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    };
    other("UPDATE \"Transactions\" SET \"ReconciledTransaction\" = 1, \"DateofTransaction\" = 81000 WHERE \"id\" % 5 = 0;"
          "DELETE FROM \"Transactions\" WHERE \"id\" % 11 = 0");
    EXPECT_TRUE(test::keptTotalsMatchTheRecords(*files));

    // The accounts keep their whole file's total (the debt the accounts list shows) the same way.
    for (std::int32_t id = 1; id <= 3; ++id) {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.accountBalance = platform::Decimal::fromUnits(10000 * id + 1, 2);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    ASSERT_TRUE(files->accounts.remove().ok());
    const QString accounts = QDir(dir()).filePath(accountLayout().def().fileName());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(accounts.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE \"Accounts\" SET \"AccountBalance\" = -500 WHERE \"SysID\" = 1", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::int64_t debt = 0, count = 0;
    ASSERT_TRUE(files->accounts.file().sum(accountLayout().def().fieldIndex(QStringLiteral("ACC:AccountBalance")), debt).ok());
    ASSERT_TRUE(files->accounts.file().count(count).ok());
    EXPECT_EQ(debt, -500 + 20001);
    EXPECT_EQ(count, 2);

    // A list's totals are read from them when the range and the filter name grouped fields only.
    QStringList read;
    files->store.observeStatements([&read](const char* sql) { read << QString::fromUtf8(sql); });
    platform::View view(files->transactions.file(), TraSysIDDateKey);
    platform::Record account = platform::Record::blank(def);
    account.values[0] = std::int64_t{1};
    view.setRange(account, 1);
    ASSERT_TRUE(view.setFilter(QStringLiteral("TRA:ReconciledTransaction = 0"), {}).ok());
    platform::View::Totals kept, counted;
    const int amount = def.fieldIndex(QStringLiteral("TRA:TransactionAmount"));
    ASSERT_TRUE(view.totals(amount, QStringLiteral("TRA:TransactionType <> 'P' AND TRA:DateofTransaction >= 82002"), {}, kept).ok());
    EXPECT_TRUE(read.join(u'|').contains(QStringLiteral("Transactions_Totals"))) << read.join(u'|').toStdString();
    read.clear();
    // The same selection with a field the totals do not group: counted from the records.
    ASSERT_TRUE(view.totals(amount,
                            QStringLiteral("TRA:TransactionType <> 'P' AND TRA:DateofTransaction >= 82002 AND "
                                           "TRA:TransactionDescription = ''"),
                            {}, counted)
                    .ok());
    EXPECT_FALSE(read.join(u'|').contains(QStringLiteral("Transactions_Totals")));
    files->store.observeStatements({});
    EXPECT_GT(kept.count, 0);
    EXPECT_EQ(kept.count, counted.count);
    EXPECT_EQ(kept.sumUnits, counted.sumUnits);

    // A trigger lost and the totals wrong (a file another tool touched): made again from the records at the next open.
    releaseFile(*files, FileId::Transactions);
    other("DROP TRIGGER \"Transactions_Totals_Update\"; UPDATE \"Transactions_Totals\" SET \"Sum\" = \"Sum\" + 1");
    ASSERT_TRUE(acquireFile(*files, FileId::Transactions));
    EXPECT_TRUE(test::keptTotalsMatchTheRecords(*files));
    // Keys rebuilt: the totals are worked out again, not copied.
    releaseFile(*files, FileId::Transactions);
    other("UPDATE \"Transactions_Totals\" SET \"Count\" = 99");
    ASSERT_TRUE(files->store.rebuildKeys(def).ok());
    ASSERT_TRUE(acquireFile(*files, FileId::Transactions));
    EXPECT_TRUE(test::keptTotalsMatchTheRecords(*files));
}

} // namespace
