// The cycle's interest by the average daily balance, against cycles worked
// out by hand, and as the register gives it for a card with a statement.
#include "statements/CycleInterest.h"
#include "tests/statements/StatementFixture.h"

using namespace fundora;
using namespace fundora::statements;
using test::day;
using test::money;

namespace {

CycleEntry entry(platform::DayNumber date, const char* amount, bool purchase)
{
    return {date, money(amount), purchase};
}

TEST(CycleInterestByHand, PurchasesAndAPaymentAcrossAMonthsEnd)
{
    // 11/15 to 12/14: 30 days at 18.25 % (0.05 % a day).
    //   1,000.00 x 5 days (11/15-11/19) + 1,200.00 x 11 (11/20-11/30) + 700.00 x 14 (12/01-12/14) = 28,000.00
    const std::vector<CycleEntry> entries = {entry(day(2026, 12, 1), "-500.00", false), entry(day(2026, 11, 20), "200.00", true),
                                             entry(day(2026, 12, 15), "999.00", true)};
    const CycleInterest c =
        averageDailyBalanceInterest(day(2026, 11, 15), day(2026, 12, 14), money("1000.00"), entries, money("18.25"), false);
    EXPECT_EQ(c.days, 30);
    EXPECT_EQ(c.averageDailyBalance, money("933.33"));
    EXPECT_EQ(c.interest, money("14.00")) << "28,000.00 x 0.0005; the entry after the cycle is left out";
}

TEST(CycleInterestByHand, TheGracePeriodLeavesOnlyWhatIsNotAPurchase)
{
    // Nothing owed at the start; a 300.00 purchase on 11/20 and a 35.00 fee on 12/05.
    const std::vector<CycleEntry> entries = {entry(day(2026, 11, 20), "300.00", true), entry(day(2026, 12, 5), "35.00", false)};
    const CycleInterest without =
        averageDailyBalanceInterest(day(2026, 11, 15), day(2026, 12, 14), money("0.00"), entries, money("18.25"), false);
    // 300.00 x 15 days + 335.00 x 10 days = 7,850.00; x 0.0005 = 3.925, half away from zero.
    EXPECT_EQ(without.interest, money("3.93"));
    const CycleInterest with =
        averageDailyBalanceInterest(day(2026, 11, 15), day(2026, 12, 14), money("0.00"), entries, money("18.25"), true);
    // Only the fee: 35.00 x 10 days = 350.00; x 0.0005 = 0.175.
    EXPECT_EQ(with.interest, money("0.18"));
}

TEST(CycleInterestByHand, FebruaryOfALeapYearCountsItsTwentyNinthDay)
{
    // 500.00 all cycle at 36.50 % (0.1 % a day): 2028 has 29 days from 02/15 to 03/14, 2027 has 28.
    const CycleInterest leap = averageDailyBalanceInterest(day(2028, 2, 15), day(2028, 3, 14), money("500.00"), {}, money("36.50"), false);
    EXPECT_EQ(leap.days, 29);
    EXPECT_EQ(leap.interest, money("14.50"));
    const CycleInterest common =
        averageDailyBalanceInterest(day(2027, 2, 15), day(2027, 3, 14), money("500.00"), {}, money("36.50"), false);
    EXPECT_EQ(common.days, 28);
    EXPECT_EQ(common.interest, money("14.00"));
}

class CycleInterestTest : public test::StatementTest {};

TEST_F(CycleInterestTest, TheCycleRunsFromTheLastStatementAndTheGraceComesWithThePaymentInFull)
{
    addAccount(1, 14);
    files->accounts.record.interestRate = money("18.25");
    ASSERT_TRUE(files->accounts.put().ok());
    book(1, day(2026, 10, 20), "C", "1000.00");
    auto& stm = statementsOf(*files);
    stm.clear();
    stm.record.statementId = 1;
    stm.record.sysId = 1;
    stm.record.closingDate = day(2026, 11, 14);
    stm.record.endingBalance = money("1000.00");
    stm.record.minimumPayment = money("25.00");
    stm.record.dueDate = day(2026, 12, 9);
    stm.record.finishedDate = day(2026, 11, 16);
    ASSERT_TRUE(stm.add().ok());
    book(1, day(2026, 11, 20), "C", "200.00");
    book(1, day(2026, 12, 1), "P", "-500.00");

    core::Account account;
    ASSERT_TRUE(files->readAccount(1, account).ok());
    CycleInterest c;
    ASSERT_TRUE(cycleInterestOf(*files, account, clock().today(), c).ok());
    EXPECT_EQ(c.start, day(2026, 11, 15));
    EXPECT_EQ(c.end, day(2026, 12, 14));
    EXPECT_EQ(c.interest, money("14.00"));
    EXPECT_FALSE(c.grace);
    EXPECT_EQ(c.breakdown(), QStringLiteral("14.00 by the average daily balance: 933.33 over 30 days (11/15/2026 to 12/14/2026) at "
                                            "18.25 % a year, no grace period yet: 500.00 of the statement balance of 1,000.00 is "
                                            "paid; paying it in full by 12/09/2026 takes the interest off the purchases."));

    book(1, day(2026, 12, 8), "P", "-500.00");
    ASSERT_TRUE(files->readAccount(1, account).ok());
    ASSERT_TRUE(cycleInterestOf(*files, account, clock().today(), c).ok());
    EXPECT_TRUE(c.grace);
    EXPECT_EQ(c.interest, money("0.00"));
    EXPECT_TRUE(c.graceReason.startsWith(QStringLiteral("grace period: the statement balance of 1,000.00 was paid in full by 12/09/2026")));

    // The 12/14 statement not reconciled yet: the estimate is of the cycle that runs today.
    ASSERT_TRUE(cycleInterestOf(*files, account, day(2026, 12, 20), c).ok());
    EXPECT_EQ(c.start, day(2026, 12, 15));
    EXPECT_EQ(c.end, day(2027, 1, 14));
}

} // namespace
