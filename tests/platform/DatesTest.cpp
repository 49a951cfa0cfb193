#include "platform/Dates.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

using namespace fundora::platform;

namespace {

TEST(Dates, DayZeroIsSunday28December1800)
{
    EXPECT_EQ(dayNumberOf(1800, 12, 28), 0);
    EXPECT_EQ(dayNumberOf(1800, 12, 29), 1);
    EXPECT_EQ(weekdayOf(dayNumberOf(2026, 12, 6)), 0) << "6 December 2026 is a Sunday";
    EXPECT_EQ(weekdayOf(dayNumberOf(2026, 12, 7)), 1);
    EXPECT_EQ(dayNumberOf(2000, 2, 29) - dayNumberOf(2000, 2, 28), 1) << "2000 is a leap year";
    EXPECT_EQ(dayNumberOf(1900, 3, 1) - dayNumberOf(1900, 2, 28), 1) << "1900 is not";
}

TEST(Dates, RoundTripsAndRefusesImpossibleDates)
{
    for (DayNumber n : {1, 365, 36524, 82000, 100000}) {
        EXPECT_EQ(dayNumberOf(dateOf(n)), n);
        EXPECT_EQ(dayNumberOf(qDateOf(n)), n);
    }
    EXPECT_EQ(dayNumberOf(2026, 2, 30), 0);
    EXPECT_EQ(dayNumberOf(2026, 13, 1), 0);
    EXPECT_FALSE(qDateOf(0).isValid()) << "0 means no date";
}

TEST(Dates, TimesCountHundredthsFromOne)
{
    EXPECT_EQ(timeNumberOf(0, 0), 1);
    EXPECT_EQ(timeNumberOf(23, 59, 59, 99), TimeUnitsPerDay);
    const TimeOfDay t = timeOfDayOf(timeNumberOf(13, 7, 42, 5));
    EXPECT_EQ(t.hours, 13);
    EXPECT_EQ(t.minutes, 7);
    EXPECT_EQ(t.seconds, 42);
    EXPECT_EQ(t.hundredths, 5);
}

TEST(Clock, InstalledClockDecidesToday)
{
    auto fixed = std::make_shared<FixedClock>(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)));
    Clock::install(fixed);
    EXPECT_EQ(Clock::current().today(), dayNumberOf(2026, 12, 6));
    fixed->advanceSeconds(1);
    EXPECT_EQ(Clock::current().today(), dayNumberOf(2026, 12, 7));
    EXPECT_EQ(Clock::current().timeOfDay(), 1);
    Clock::install(nullptr);
    EXPECT_EQ(Clock::current().today(), dayNumberOf(QDate::currentDate()));
}

} // namespace
