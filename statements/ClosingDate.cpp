#include "statements/ClosingDate.h"

#include <algorithm>

namespace fundora::statements {

using namespace std::chrono;
using platform::DayNumber;

namespace {

DayNumber billingDateIn(int billingDay, year_month month)
{
    const unsigned lastDay = static_cast<unsigned>((month / last).day());
    return platform::dayNumberOf(year_month_day{month / day{std::min(static_cast<unsigned>(billingDay), lastDay)}});
}

year_month monthOf(DayNumber date)
{
    const year_month_day d = platform::dateOf(date);
    return d.year() / d.month();
}

} // namespace

DayNumber billingDateOnOrAfter(int billingDay, DayNumber date)
{
    const year_month month = monthOf(date);
    const DayNumber inMonth = billingDateIn(billingDay, month);
    return inMonth >= date ? inMonth : billingDateIn(billingDay, month + months{1});
}

DayNumber proposedClosingDate(int billingDay, DayNumber today, DayNumber lastClosing)
{
    if (billingDay < 1 || billingDay > 31)
        return today;
    const year_month month = monthOf(today);
    DayNumber proposed = billingDateIn(billingDay, month);
    if (proposed > today)
        proposed = billingDateIn(billingDay, month - months{1});
    if (lastClosing != 0 && proposed <= lastClosing)
        proposed = billingDateOnOrAfter(billingDay, lastClosing + 1);
    return proposed;
}

} // namespace fundora::statements
