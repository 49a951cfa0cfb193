// The sample register, as a new user opens it: every window shows its data,
// every balance is the sum of its transactions, and a register is never
// written over.
#include "sample/SampleRegister.h"
#include "accounts/BrowseAccountsWindow.h"
#include "app/FeatureProcedures.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "import/ImportRecords.h"
#include "memos/MemoBrowseWindow.h"
#include "memos/MemoOwner.h"
#include "statements/BrowseStatementsWindow.h"
#include "statements/ReconcileStatementWindow.h"
#include "statements/StatementEntriesModel.h"
#include "statements/StatementListModel.h"
#include "statements/StatementRecords.h"
#include "tests/app/FrameFixture.h"
#include "transactions/BrowseCurrentTransactionsWindow.h"
#include "transactions/BrowseTransactionHistoryWindow.h"

#include <set>

using namespace fundora;

namespace {

class SampleRegisterTest : public test::FrameTest {
protected:
    void prepareRegister() override
    {
        made = sample::makeSampleRegister(dir(), clock().today(), &summary);
        ASSERT_EQ(made, QString());
    }
    void registerProcedures() override { app::registerFeatureProcedures(); }
    template <class R>
    std::vector<R> all(core::TypedFile<R>& file, core::FileId id)
    {
        core::FileUse use(*files, id);
        std::vector<R> out;
        file.clear();
        file.set(0);
        while (file.next().ok())
            out.push_back(file.record);
        return out;
    }
    // Opens a window of the frame for account `sysId` as the accounts list would.
    template <class W>
    W* open(const char* procedure, std::int32_t sysId)
    {
        core::glo().currentSysid = sysId;
        frame->startProcedure(QString::fromLatin1(procedure));
        settle();
        return child<W>();
    }

    QString made;
    sample::SampleSummary summary;
};

TEST_F(SampleRegisterTest, HoldsEveryKindOfDataAndEveryBalanceIsTheSumOfItsTransactions)
{
    const auto accounts = all(files->accounts, core::FileId::Accounts);
    const auto transactions = all(files->transactions, core::FileId::Transactions);
    const auto cardStatements = all(statements::statementsOf(*files), statements::statementsFile());
    ASSERT_EQ(accounts.size(), 3u);
    EXPECT_EQ(summary.transactions, static_cast<int>(transactions.size()));
    std::set<QString> types;
    for (const core::Account& a : accounts) {
        types.insert(a.cardType);
        platform::Decimal sum = platform::Decimal::fromUnits(0, 2);
        std::set<QString> kinds;
        for (const core::Transaction& t : transactions)
            if (t.sysId == a.sysId) {
                sum += t.transactionAmount;
                kinds.insert(t.transactionType);
            }
        EXPECT_EQ(a.accountBalance, sum.rounded(2)) << a.creditCardVendor.toStdString();
        EXPECT_TRUE(kinds.contains(QStringLiteral("C")) && kinds.contains(QStringLiteral("P"))) << a.creditCardVendor.toStdString();
    }
    EXPECT_EQ(types.size(), 3u) << "three kinds of card";

    // Eighteen months of entries, up to today; fees and interest among them.
    std::set<QString> kinds;
    platform::DayNumber first = clock().today(), last = 0;
    for (const core::Transaction& t : transactions) {
        kinds.insert(t.transactionType);
        first = std::min(first, t.dateofTransaction);
        last = std::max(last, t.dateofTransaction);
    }
    EXPECT_LE(last, clock().today());
    EXPECT_GE(clock().today() - first, 17 * 30);
    EXPECT_TRUE(kinds.contains(QStringLiteral("F")) && kinds.contains(QStringLiteral("I")));

    // Statements: finished ones whose figures add up (one with an accepted difference) and one draft.
    int drafts = 0, accepted = 0;
    for (const statements::CardStatement& s : cardStatements) {
        drafts += s.isDraft();
        accepted += !s.acceptedDifference.isZero();
        if (!s.isDraft()) {
            EXPECT_EQ(s.endingBalance, s.computedEnding()) << "statement " << s.statementId;
        }
    }
    EXPECT_EQ(drafts, 1);
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(summary.statements, static_cast<int>(cardStatements.size()) - drafts);
    EXPECT_FALSE(all(files->memoCards, core::FileId::MemoCard).empty());
    EXPECT_FALSE(all(importing::importedLinesOf(*files), importing::importedLinesFile()).empty());
}

TEST_F(SampleRegisterTest, EveryWindowOpensOnItsData)
{
    frame->startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    auto* accountsList = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(accountsList, nullptr);
    EXPECT_EQ(accountsList->list()->model()->rowCount(), 3);

    for (std::int32_t id = 1; id <= 3; ++id) {
        auto* current = open<transactions::BrowseCurrentTransactionsWindow>("BrowseCurrentTransactions", id);
        ASSERT_NE(current, nullptr);
        EXPECT_GT(current->list()->model()->rowCount(), 0) << "account " << id << "'s open transactions";
        auto* history = open<transactions::BrowseTransactionHistoryWindow>("BrowseTransactionHistory", id);
        ASSERT_NE(history, nullptr);
        EXPECT_GT(history->list()->model()->rowCount(), 0) << "account " << id << "'s history";
        auto* statementList = open<statements::BrowseStatementsWindow>("BrowseStatements", id);
        ASSERT_NE(statementList, nullptr);
        EXPECT_GE(statementList->model()->rowCount(), 12) << "account " << id << "'s statements";
        frame->mdiArea()->closeAllSubWindows();
        settle();
    }
    // The first card's draft statement comes back with its ticks.
    auto* reconcile = open<statements::ReconcileStatementWindow>("ReconcileStatement", 1);
    ASSERT_NE(reconcile, nullptr);
    ASSERT_GT(reconcile->model()->rowCount(), 0);
    EXPECT_TRUE(reconcile->session().hasDraft());
    EXPECT_EQ(reconcile->session().difference(), platform::Decimal::fromUnits(0, 2)) << "the draft balances";
    frame->mdiArea()->closeAllSubWindows();
    settle();

    frame->startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    memos::primeMemoOwner(*files, {QStringLiteral("ACC"), 1, QStringLiteral("4111 0000 0000 1234"), QString()});
    auto* memosList = open<memos::MemoBrowseWindow>("MemoBrowse", 1);
    ASSERT_NE(memosList, nullptr);
    EXPECT_EQ(memosList->list()->model()->rowCount(), 2);
}

TEST_F(SampleRegisterTest, ADirectoryThatHoldsARegisterIsRefusedAndLeftAsItWas)
{
    const QStringList before = dump(core::FileId::Transactions);
    files->closeAll();
    const QString refused = sample::makeSampleRegister(dir(), clock().today());
    EXPECT_TRUE(refused.contains(QStringLiteral("already holds a register"))) << refused.toStdString();
    EXPECT_EQ(dump(core::FileId::Transactions), before);
}

} // namespace
