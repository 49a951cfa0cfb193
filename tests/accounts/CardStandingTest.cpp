// Where each card stands: the due-date texts, the share of the limit used and
// its colour steps, and the accounts list's details with the credit bar.
#include "accounts/CardStanding.h"
#include "accounts/BrowseAccountsWindow.h"
#include "core/FileTransaction.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "engine/BrowseListView.h"
#include "engine/ValueLabel.h"
#include "statements/StatementRecords.h"
#include "tests/core/CoreFixture.h"

#include <QAccessible>
#include <QProgressBar>
#include <QTableView>

using namespace fundora;
using accounts::CardStanding;
using platform::Decimal;

namespace {

Decimal money(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

TEST(CardStandingTextTest, DaysLeftAndOverdueAreCountedFromTodayUntilTheMinimumIsPaid)
{
    const platform::DayNumber today = platform::dayNumberOf(2026, 12, 7);
    accounts::CardStanding s;
    s.minimumPayment = money("35.00");
    s.paidSince = money("34.99");
    auto due = [&](platform::DayNumber day) {
        s.dueDate = day;
        return accounts::dueText(s, today);
    };
    EXPECT_EQ(due(today), QStringLiteral("due today"));
    EXPECT_EQ(due(today + 1), QStringLiteral("due tomorrow"));
    EXPECT_EQ(due(today + 5), QStringLiteral("due in 5 days"));
    EXPECT_EQ(due(today - 1), QStringLiteral("overdue by 1 day"));
    EXPECT_EQ(due(today - 2), QStringLiteral("overdue by 2 days"));
    EXPECT_EQ(due(platform::dayNumberOf(2027, 1, 2)), QStringLiteral("due in 26 days")) << "across the year's end";
    s.paidSince = money("35.00");
    EXPECT_EQ(due(today - 30), QStringLiteral("minimum paid")) << "a statement paid is not overdue";
    s.minimumPayment = money("0.00");
    s.paidSince = money("0.00");
    EXPECT_EQ(due(today - 30), QStringLiteral("nothing due")) << "a statement with nothing owed";
}

TEST(CardStandingTextTest, TheShareOfTheLimitIsRoundedDownAndColouredFrom80And95Percent)
{
    struct Case {
        const char *balance, *limit;
        int percent;
        CardStanding::Level level;
    };
    const Case cases[] = {
        {"0.00", "1000.00", 0, CardStanding::Level::Normal},      {"799.99", "1000.00", 79, CardStanding::Level::Normal},
        {"800.00", "1000.00", 80, CardStanding::Level::High},     {"949.99", "1000.00", 94, CardStanding::Level::High},
        {"950.00", "1000.00", 95, CardStanding::Level::Critical}, {"1500.00", "1000.00", 150, CardStanding::Level::Critical},
        {"-20.00", "1000.00", 0, CardStanding::Level::Normal},    {"333.33", "999.99", 33, CardStanding::Level::Normal},
    };
    for (const Case& c : cases) {
        CardStanding s;
        accounts::setCreditUsed(s, money(c.balance), money(c.limit));
        EXPECT_TRUE(s.hasLimit);
        EXPECT_EQ(s.usedPercent, c.percent) << c.balance << " of " << c.limit;
        EXPECT_EQ(s.level, c.level) << c.balance << " of " << c.limit;
    }
    CardStanding none;
    accounts::setCreditUsed(none, money("50.00"), money("0.00"));
    EXPECT_FALSE(none.hasLimit);
    EXPECT_EQ(none.usedPercent, 0);
}

class CardStandingTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        core::resetGlobalState();
        clock().set(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        for (core::FileId id : {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile()})
            ASSERT_TRUE(core::acquireFile(*files, id));
    }
    void addAccount(std::int32_t id, const char* vendor, const char* balance, const char* limit)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
        files->accounts.record.accountBalance = money(balance);
        files->accounts.record.creditLimit = money(limit);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    void addTransaction(std::int32_t id, platform::DayNumber date, const char* type, const char* amount)
    {
        files->transactions.clear();
        files->transactions.record.sysId = id;
        files->transactions.record.dateofTransaction = date;
        files->transactions.record.transactionType = QString::fromLatin1(type);
        files->transactions.record.transactionAmount = money(amount);
        ASSERT_TRUE(files->transactions.add().ok());
    }
    void addStatement(std::int32_t id, platform::DayNumber closing, const char* ending, const char* minimum, platform::DayNumber due)
    {
        statements::statementsOf(*files).clear();
        statements::statementsOf(*files).record.statementId = closing; // unique enough here
        statements::statementsOf(*files).record.sysId = id;
        statements::statementsOf(*files).record.closingDate = closing;
        statements::statementsOf(*files).record.endingBalance = money(ending);
        statements::statementsOf(*files).record.minimumPayment = money(minimum);
        statements::statementsOf(*files).record.dueDate = due;
        statements::statementsOf(*files).record.finishedDate = closing + 3;
        ASSERT_TRUE(statements::statementsOf(*files).add().ok());
    }
};

TEST_F(CardStandingTest, TheLatestFinishedStatementAndThePaymentsSinceItAreRead)
{
    addAccount(1, "Bank", "870.00", "1000.00");
    const platform::DayNumber closing = platform::dayNumberOf(2026, 11, 28);
    addStatement(1, closing - 31, "400.00", "10.00", closing - 6);
    addStatement(1, closing, "777.50", "25.00", platform::dayNumberOf(2026, 12, 23));
    // A draft kept by Later is not a statement yet.
    statements::statementsOf(*files).clear();
    statements::statementsOf(*files).record.statementId = 9999999;
    statements::statementsOf(*files).record.sysId = 1;
    statements::statementsOf(*files).record.closingDate = closing + 5;
    statements::statementsOf(*files).record.endingBalance = money("1.00");
    ASSERT_TRUE(statements::statementsOf(*files).add().ok());
    addTransaction(1, closing - 2, "P", "-99.00"); // before the closing date: not counted
    addTransaction(1, closing, "P", "-1.00");      // on it: part of that statement
    addTransaction(1, closing + 1, "P", "-50.00"); // since
    addTransaction(1, closing + 2, "C", "200.00"); // a charge is no payment
    addTransaction(1, closing + 3, "P", "-12.25");
    addTransaction(2, closing + 3, "P", "-500.00"); // another account's
    CardStanding s;
    ASSERT_TRUE(accounts::cardStandingOf(*files, files->accounts.record, s).ok());
    ASSERT_TRUE(s.hasStatement);
    EXPECT_EQ(s.statementBalance, money("777.50"));
    EXPECT_EQ(s.closingDate, closing);
    EXPECT_EQ(s.minimumPayment, money("25.00"));
    EXPECT_EQ(s.paidSince, money("62.25"));
    EXPECT_EQ(s.usedPercent, 87);
    EXPECT_EQ(s.level, CardStanding::Level::High);
}

TEST_F(CardStandingTest, TheAccountsDetailsShowTheStatementTheDaysLeftAndTheCreditBar)
{
    addAccount(1, "Acme", "970.00", "1000.00");
    files->accounts.record.billingDay = 28;
    files->accounts.record.interestRate = money("18.25");
    ASSERT_TRUE(files->accounts.put().ok());
    addAccount(2, "Zeta", "100.00", "1000.00");
    addStatement(1, platform::dayNumberOf(2026, 11, 28), "777.50", "25.00", platform::dayNumberOf(2026, 12, 23));
    addTransaction(1, platform::dayNumberOf(2026, 12, 1), "P", "-20.00"); // less than the minimum
    auto* w = new accounts::BrowseAccountsWindow(*files);
    w->list()->setFixedRowCount(10);
    w->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(w->detail(QStringLiteral("Last Statement")), QStringLiteral("$777.50 on 11/28/2026"));
    EXPECT_EQ(w->detail(QStringLiteral("Payment Due")), QStringLiteral("12/23/2026, due in 16 days"));
    EXPECT_EQ(w->detail(QStringLiteral("Minimum Payment")), QStringLiteral("$25.00"));
    EXPECT_EQ(w->detail(QStringLiteral("Paid Since")), QStringLiteral("$20.00"));
    // The cycle 11/29 to 12/28: 990.00 for 2 days, 970.00 for 28 (after the payment) = 29,140.00 x 18.25 % / 365.
    EXPECT_EQ(w->detail(QStringLiteral("Interest This Cycle")), QStringLiteral("$14.57 (estimate)"));
    engine::ValueLabel* interest = nullptr;
    for (engine::ValueLabel* l : w->findChildren<engine::ValueLabel*>())
        if (l->prompt() == QStringLiteral("Interest This Cycle"))
            interest = l;
    ASSERT_NE(interest, nullptr);
    const QString breakdown =
        QStringLiteral("14.57 by the average daily balance: 971.33 over 30 days (11/29/2026 to 12/28/2026) at 18.25 % "
                       "a year, no grace period yet: 20.00 of the statement balance of 777.50 is paid; paying it "
                       "in full by 12/23/2026 takes the interest off the purchases.");
    EXPECT_EQ(interest->toolTip(), breakdown);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(interest)->text(QAccessible::Description), breakdown)
        << "a screen reader reads what the figure is made of";
    QProgressBar* bar = w->creditBar();
    EXPECT_EQ(bar->value(), 97);
    EXPECT_EQ(bar->text(), QStringLiteral("97 % of the limit"));
    EXPECT_EQ(bar->accessibleName(), QStringLiteral("Credit used"));
    EXPECT_EQ(bar->property("level").toInt(), static_cast<int>(CardStanding::Level::Critical));
    EXPECT_TRUE(bar->styleSheet().contains(QStringLiteral("#c62828")));

    // The account without a statement shows its current figures only.
    w->list()->table()->selectRow(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(core::glo().currentSysid, 2);
    EXPECT_EQ(w->detail(QStringLiteral("Last Statement")), QString());
    EXPECT_TRUE(interest->isHidden()) << "no statement and no billing day: no cycle to estimate";
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(bar->property("level").toInt(), static_cast<int>(CardStanding::Level::Normal));
    EXPECT_TRUE(bar->styleSheet().contains(QStringLiteral("#3d7fc4")));
    w->close();
}

} // namespace
