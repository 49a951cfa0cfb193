// The payoff plan against a second computation written here in whole cents
// (not the plan's code), and against a plan worked out by hand.
#include "planning/PayoffPlan.h"
#include "platform/pictures/MoneyText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace fundora;
using namespace fundora::planning;
using platform::Decimal;

namespace {

Decimal money(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

PlanCard card(std::int32_t sysId, const char* name, const char* balance, const char* rate, int ownOrder = 0)
{
    PlanCard c;
    c.sysId = sysId;
    c.name = QString::fromLatin1(name);
    c.balance = money(balance);
    c.rate = money(rate);
    c.ownOrder = ownOrder;
    return c;
}

// The reference: every amount a whole number of cents, rates in hundredths of a percent.
struct RefCard {
    std::int32_t sysId;
    long long balance, rate, ownOrder;
};
struct RefMonth {
    std::vector<long long> payment, interest, balance;
};

long long halfUp(long long numerator, long long denominator) // both >= 0
{
    return (numerator + denominator / 2) / denominator;
}

std::vector<RefMonth> referencePlan(std::vector<RefCard> cards, long long monthly, Strategy strategy, std::vector<std::int32_t>& order)
{
    std::sort(cards.begin(), cards.end(), [&](const RefCard& a, const RefCard& b) {
        const long long ka = strategy == Strategy::Avalanche ? -a.rate : strategy == Strategy::Snowball ? a.balance : a.ownOrder;
        const long long kb = strategy == Strategy::Avalanche ? -b.rate : strategy == Strategy::Snowball ? b.balance : b.ownOrder;
        return ka != kb ? ka < kb : a.sysId < b.sysId;
    });
    order.clear();
    for (const RefCard& c : cards)
        order.push_back(c.sysId);
    std::vector<RefMonth> months;
    while (std::any_of(cards.begin(), cards.end(), [](const RefCard& c) { return c.balance > 0; }) && months.size() < 600) {
        RefMonth m;
        long long left = monthly;
        for (RefCard& c : cards) {
            const long long interest = c.balance > 0 ? halfUp(c.balance * c.rate, 120000) : 0;
            long long minimum = c.balance > 0 ? std::max(2500LL, halfUp(c.balance * 100, 10000) + interest) : 0;
            c.balance += interest;
            minimum = std::min(minimum, c.balance);
            c.balance -= minimum;
            left -= minimum;
            m.payment.push_back(minimum);
            m.interest.push_back(interest);
        }
        for (std::size_t i = 0; i < cards.size(); ++i) {
            const long long more = std::min(left, cards[i].balance);
            m.payment[i] += more;
            cards[i].balance -= more;
            left -= more;
            m.balance.push_back(cards[i].balance);
        }
        months.push_back(m);
    }
    return months;
}

TEST(PayoffPlanTest, OneCardWorkedByHand)
{
    // 1,000.00 at 12 %, 500.00 a month:
    //   1: interest 10.00, minimum max(25.00, 10.00 + 10.00) = 25.00; 1,010.00 - 500.00 = 510.00
    //   2: interest  5.10, minimum 25.00;                               515.10 - 500.00 =  15.10
    //   3: interest  0.15, minimum 25.00 capped at what it owes, 15.25:  0.00
    const PlanOutcome o = makePlan({card(1, "Visa", "1000.00", "12.00")}, Strategy::Avalanche, money("500.00"));
    ASSERT_TRUE(o.plan) << o.refusal.toStdString();
    ASSERT_EQ(o.plan->length(), 3);
    EXPECT_EQ(o.plan->months[1][0].interest, money("5.10"));
    EXPECT_EQ(o.plan->months[1][0].balance, money("15.10"));
    EXPECT_EQ(o.plan->months[2][0].payment, money("15.25"));
    EXPECT_EQ(o.plan->totalInterest, money("15.25"));
    EXPECT_EQ(o.plan->paidOffIn[0], 3);
}

TEST(PayoffPlanTest, ThreeCardsOverTheirWholeLifeUnderEachStrategyMatchTheReference)
{
    const std::vector<PlanCard> cards = {card(3, "Store", "2500.00", "24.99", 2), card(1, "Visa", "900.00", "15.00", 3),
                                         card(2, "Mastercard", "4000.00", "19.99", 1), card(4, "Paid", "0.00", "29.99")};
    const std::vector<RefCard> ref = {{3, 250000, 2499, 2}, {1, 90000, 1500, 3}, {2, 400000, 1999, 1}};
    for (Strategy strategy : {Strategy::Avalanche, Strategy::Snowball, Strategy::OwnOrder}) {
        SCOPED_TRACE(strategyName(strategy).toStdString());
        std::vector<std::int32_t> order;
        const std::vector<RefMonth> expected = referencePlan(ref, 40000, strategy, order);
        const PlanOutcome o = makePlan(cards, strategy, money("400.00"));
        ASSERT_TRUE(o.plan) << o.refusal.toStdString();
        const PayoffPlan& plan = *o.plan;
        ASSERT_EQ(plan.cards.size(), 3u) << "a card that owes nothing is left out";
        for (std::size_t i = 0; i < order.size(); ++i)
            EXPECT_EQ(plan.cards[i].sysId, order[i]);
        ASSERT_EQ(plan.length(), static_cast<int>(expected.size()));
        long long interest = 0;
        bool rolledOver = false;
        for (std::size_t m = 0; m < expected.size(); ++m)
            for (std::size_t i = 0; i < 3; ++i) {
                const CardMonth& got = plan.months[m][i];
                EXPECT_EQ(got.payment.unitsAt(2), expected[m].payment[i]) << "month " << m + 1 << " card " << i;
                EXPECT_EQ(got.interest.unitsAt(2), expected[m].interest[i]) << "month " << m + 1 << " card " << i;
                EXPECT_EQ(got.balance.unitsAt(2), expected[m].balance[i]) << "month " << m + 1 << " card " << i;
                interest += expected[m].interest[i];
                // A card paid off this month, and the next one got more than its minimum in the same month.
                if (i + 1 < 3 && got.balance.isZero() && m > 0 && plan.months[m - 1][i].balance > Decimal::fromUnits(0, 2) &&
                    plan.months[m][i + 1].payment > Decimal::fromUnits(2500, 2) + plan.months[m][i + 1].interest)
                    rolledOver = true;
            }
        EXPECT_EQ(plan.totalInterest.unitsAt(2), interest);
        EXPECT_TRUE(rolledOver) << "what a paid-off card no longer needs goes to the next in the same month";
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_GT(plan.paidOffIn[i], 0);
        EXPECT_EQ(*std::max_element(plan.paidOffIn.begin(), plan.paidOffIn.end()), plan.length());
    }
}

TEST(PayoffPlanTest, TiesGoToTheLowerAccountNumberAndMinimumsOnlyTakesLonger)
{
    const std::vector<PlanCard> cards = {card(7, "Later", "800.00", "18.00"), card(5, "Earlier", "800.00", "18.00")};
    for (Strategy s : {Strategy::Avalanche, Strategy::Snowball, Strategy::OwnOrder}) {
        const PlanOutcome o = makePlan(cards, s, money("300.00"));
        ASSERT_TRUE(o.plan);
        EXPECT_EQ(o.plan->cards.front().sysId, 5);
    }
    const PlanOutcome fast = makePlan(cards, Strategy::Avalanche, money("300.00"));
    const PlanOutcome slow = minimumsOnly(cards);
    ASSERT_TRUE(slow.plan) << slow.refusal.toStdString();
    EXPECT_GT(slow.plan->length(), fast.plan->length());
    EXPECT_GT(slow.plan->totalInterest, fast.plan->totalInterest);
}

TEST(PayoffPlanTest, AnAmountThatCannotEndThePlanIsRefusedWithTheSmallestThatDoes)
{
    // A rule the user set: the minimum is only the interest (100.00 a month here), which never lowers the balance.
    PlanCard interestOnly = card(1, "Interest Only", "5000.00", "24.00");
    interestOnly.minimum = {money("0.00"), money("0.00")};
    const std::vector<PlanCard> cards = {interestOnly};
    auto smallestIn = [](const QString& refusal) { return refusal.section(QStringLiteral(" is "), -1).chopped(1); };

    const PlanOutcome low = makePlan(cards, Strategy::Snowball, money("99.99"));
    ASSERT_FALSE(low.plan);
    EXPECT_TRUE(low.refusal.startsWith(QStringLiteral("99.99 a month does not cover the first month's minimum payments: the minimum "
                                                      "of Interest Only is not reached.")))
        << low.refusal.toStdString();

    const PlanOutcome never = makePlan(cards, Strategy::Snowball, money("100.00"));
    ASSERT_FALSE(never.plan);
    EXPECT_TRUE(
        never.refusal.startsWith(QStringLiteral("With 100.00 a month the balance of Interest Only is not paid off within 600 months.")))
        << never.refusal.toStdString();
    EXPECT_EQ(smallestIn(low.refusal), smallestIn(never.refusal));
    // The amount named ends the plan within 600 months; a cent less does not.
    const Decimal smallest = *platform::readMoney(smallestIn(never.refusal), 2);
    const PlanOutcome ends = makePlan(cards, Strategy::Snowball, smallest);
    ASSERT_TRUE(ends.plan) << smallest.toString().toStdString();
    EXPECT_LE(ends.plan->length(), MostMonths);
    EXPECT_FALSE(makePlan(cards, Strategy::Snowball, smallest - money("0.01")).plan);
    EXPECT_FALSE(minimumsOnly(cards).plan);
}

} // namespace
