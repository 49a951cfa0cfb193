#pragma once

#include "platform/Dates.h"
#include "platform/Decimal.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace fundora::transactions {

// Which charges the history analyses: all of them (month 0), or those of one
// month of the latest year in which that month has begun by `today`.
struct AnalysisPeriod {
    int month = 0; // 0 all, 1 to 12
    int year = 0;  // the analysis year (when a month is chosen)
    platform::DayNumber first = 0;
    platform::DayNumber last = 0;
    QString title; // "Analysis of Charges in 3/2026", "Analysis of All Charge Transactions"
};
AnalysisPeriod analysisPeriod(int month, platform::DayNumber today);

// The twelve months up to today's, oldest first, as the month selector would analyse each.
std::vector<AnalysisPeriod> lastTwelveMonths(platform::DayNumber today);

// Sum / count in two places; 0.00 when there is nothing to divide by.
platform::Decimal averageOf(const platform::Decimal& sum, std::int64_t count);

} // namespace fundora::transactions
