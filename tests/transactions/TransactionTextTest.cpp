// The texts the transaction lists build from stored values.
#include "transactions/TransactionText.h"
#include "core/StatusTexts.h"

#include <gtest/gtest.h>

using namespace fundora;

namespace {

TEST(TransactionText, EachStoredTypeHasItsListText)
{
    const std::pair<const char*, const char*> types[] = {{"P", "Pmt/Credit"}, {"C", "Charge"},  {"F", "Fee"},
                                                         {"I", "Interest"},   {"B", "Balance"}, {"A", "Advance"},
                                                         {"p", "Pmt/Credit"}, {"X", "Advance"}, {"", "Advance"}};
    for (const auto& [code, text] : types)
        EXPECT_EQ(transactions::transactionTypeDescription(QString::fromLatin1(code)), QString::fromLatin1(text)) << code;
}

TEST(TransactionText, TheWeekdayComesFromTheDayNumberNineCharactersAName)
{
    EXPECT_EQ(core::WeekdayNames, QStringLiteral("Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday "));
    // 28 December 1800 is day 0, a Sunday; a week of 2026 names every day.
    EXPECT_TRUE(core::statusDateText(QDate(1800, 12, 28)).startsWith(QStringLiteral("Sunday, ")));
    EXPECT_EQ(core::statusDateText(QDate(1800, 12, 29)), QStringLiteral("Monday, December 29, 1800"));
    const QStringList week{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 7; ++i) {
        const QDate day = QDate(2026, 12, 6).addDays(i);
        EXPECT_EQ(core::statusDateText(day), week[i] + QStringLiteral(", ") + QLocale::c().toString(day, QStringLiteral("MMMM d, yyyy")));
    }
    EXPECT_TRUE(core::statusDateText(QDate(1800, 12, 27)).startsWith(QStringLiteral("Saturday, "))) << "before day 0";
}

} // namespace
