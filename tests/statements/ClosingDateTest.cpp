// The closing date a statement window proposes from the account's billing day.
#include "statements/ClosingDate.h"

#include <gtest/gtest.h>

using fundora::platform::dayNumberOf;
using fundora::statements::billingDateOnOrAfter;
using fundora::statements::proposedClosingDate;

namespace {

struct Case {
    int billingDay;
    int today[3];
    int expected[3];
};

TEST(ClosingDateTest, TheLastBillingDayOnOrBeforeTodayAroundMonthEnds)
{
    const Case cases[] = {
        {1, {2026, 12, 7}, {2026, 12, 1}},
        {1, {2026, 12, 1}, {2026, 12, 1}},
        {1, {2026, 11, 30}, {2026, 11, 1}},
        {1, {2026, 1, 1}, {2026, 1, 1}},
        {1, {2025, 12, 31}, {2025, 12, 1}},
        {28, {2026, 12, 7}, {2026, 11, 28}},
        {28, {2026, 1, 27}, {2025, 12, 28}},
        {28, {2026, 2, 28}, {2026, 2, 28}},
        {28, {2026, 3, 1}, {2026, 2, 28}},
        {28, {2028, 2, 27}, {2028, 1, 28}},
        {28, {2028, 2, 29}, {2028, 2, 28}},
        {28, {2028, 3, 1}, {2028, 2, 28}},
        // A billing day beyond the month's end closes on its last day, the 29th in a leap year.
        {31, {2028, 3, 1}, {2028, 2, 29}},
        {31, {2027, 3, 1}, {2027, 2, 28}},
        {31, {2026, 4, 30}, {2026, 4, 30}},
        {31, {2026, 5, 1}, {2026, 4, 30}},
        {30, {2028, 2, 29}, {2028, 2, 29}},
        {30, {2028, 2, 28}, {2028, 1, 30}},
    };
    for (const Case& c : cases) {
        const auto today = dayNumberOf(c.today[0], c.today[1], c.today[2]);
        EXPECT_EQ(proposedClosingDate(c.billingDay, today), dayNumberOf(c.expected[0], c.expected[1], c.expected[2]))
            << "billing day " << c.billingDay << " on " << c.today[0] << "-" << c.today[1] << "-" << c.today[2];
    }
}

TEST(ClosingDateTest, AStatementAlreadyReconciledProposesTheNextBillingDay)
{
    const auto today = dayNumberOf(2026, 12, 7);
    EXPECT_EQ(proposedClosingDate(15, today, dayNumberOf(2026, 11, 15)), dayNumberOf(2026, 12, 15));
    EXPECT_EQ(proposedClosingDate(15, today, dayNumberOf(2026, 10, 15)), dayNumberOf(2026, 11, 15)) << "an older one changes nothing";
    EXPECT_EQ(proposedClosingDate(31, dayNumberOf(2027, 2, 10), dayNumberOf(2027, 1, 31)), dayNumberOf(2027, 2, 28));
    EXPECT_EQ(billingDateOnOrAfter(31, dayNumberOf(2026, 12, 1)), dayNumberOf(2026, 12, 31));
    EXPECT_EQ(billingDateOnOrAfter(5, dayNumberOf(2026, 12, 31)), dayNumberOf(2027, 1, 5)) << "across the year's end";
}

TEST(ClosingDateTest, ABillingDayOutsideTheMonthProposesToday)
{
    const auto today = dayNumberOf(2026, 12, 7);
    EXPECT_EQ(proposedClosingDate(0, today), today);
    EXPECT_EQ(proposedClosingDate(32, today), today);
    EXPECT_EQ(proposedClosingDate(-3, today), today);
}

} // namespace
