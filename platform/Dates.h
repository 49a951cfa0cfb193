#pragma once

#include <chrono>
#include <cstdint>

namespace fundora::platform {

// A date is a day number: day 0 is Sunday 28 December 1800, so the number
// modulo 7 is the weekday with 0 for Sunday. 0 also stands for "no date".
using DayNumber = std::int32_t;
// A time is hundredths of a second since midnight plus one: 1 is 00:00:00.00,
// 8640000 is 23:59:59.99. 0 stands for "no time".
using TimeNumber = std::int32_t;

inline constexpr TimeNumber TimeUnitsPerDay = 8'640'000;

DayNumber dayNumberOf(std::chrono::year_month_day date);
std::chrono::year_month_day dateOf(DayNumber day);
// 0 Sunday ... 6 Saturday.
int weekdayOf(DayNumber day);
// Day number of year/month/day; 0 when the date does not exist.
DayNumber dayNumberOf(int year, int month, int day);

TimeNumber timeNumberOf(int hours, int minutes, int seconds = 0, int hundredths = 0);
struct TimeOfDay {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int hundredths = 0;
};
// Only meaningful for times 1..TimeUnitsPerDay.
TimeOfDay timeOfDayOf(TimeNumber time);

} // namespace fundora::platform
