#pragma once

#include "core/DataFiles.h"
#include "platform/Dates.h"

#include <vector>

namespace fundora::planning {

// A card whose statement's minimum payment is not yet paid and falls due
// within the days asked, or is overdue.
struct DueNotice {
    std::int32_t sysId = 0;
    QString card;
    platform::DayNumber dueDate = 0;
    platform::Decimal minimum = platform::Decimal::fromUnits(0, 2);
    platform::Decimal paid = platform::Decimal::fromUnits(0, 2); // payments and credits since the statement closed
    int daysLeft = 0;                                            // negative: overdue
    // "Visa: 25.00 minimum due 12/09/2026 (due in 2 days), 10.00 paid"
    QString text() const;
};

inline constexpr int DefaultDueWithin = 5;

// Every card whose latest statement's minimum is not paid since it closed and
// whose due date is at most `within` days after `today`, or already past;
// by due date, then account number. Accounts, Transactions and Statements
// must be open.
platform::FileError dueNotices(core::DataFiles& files, platform::DayNumber today, int within, std::vector<DueNotice>& out);

} // namespace fundora::planning
