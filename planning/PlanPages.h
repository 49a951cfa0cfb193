#pragma once

#include "planning/PayoffPlan.h"
#include "platform/Dates.h"
#include "platform/report/PageQueue.h"

#include <QStringList>

#include <vector>

namespace fundora::planning {

// What a printed plan says about itself besides its months.
struct PlanHeading {
    Strategy strategy = Strategy::Avalanche;
    platform::Decimal monthly;
    platform::DayNumber madeOn = 0;
    PlanOutcome minimumsOnly; // paying only the minimums, for the comparison at the end
};

// The plan as rows of a table: a header, then a row per card and month
// (month, SysID, card, payment, interest, balance).
std::vector<QStringList> planRows(const PayoffPlan& plan);

// Lays the plan out on report pages, each with the heading, the columns and
// its number, a line per card and month; after the last month the month each
// card is paid off, the total interest and what paying only the minimums
// would take. The same rows go to the queue's CSV. False, with `error`, when
// a page could not be written.
bool writePlanPages(const PayoffPlan& plan, const PlanHeading& heading, platform::PageQueue& queue, QString* error);

} // namespace fundora::planning
