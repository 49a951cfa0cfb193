#pragma once

#include "platform/Dates.h"

namespace fundora::statements {

// The statement a user most likely holds: the one that closed on the last
// billing day on or before `today`. A billing day beyond a month's end falls
// on its last day (the 31st closes on 28 or 29 February). When that statement
// is already reconciled (`lastClosing`, 0 for none), the next billing day
// after it. A billing day outside 1 to 31 proposes today.
platform::DayNumber proposedClosingDate(int billingDay, platform::DayNumber today, platform::DayNumber lastClosing = 0);

// The billing day of the month `date` lies in, on or after it.
platform::DayNumber billingDateOnOrAfter(int billingDay, platform::DayNumber date);

} // namespace fundora::statements
