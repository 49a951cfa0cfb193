#include "platform/Dates.h"

namespace fundora::platform {

namespace {
using namespace std::chrono;
constexpr sys_days Epoch = sys_days{year{1800} / December / 28};
} // namespace

DayNumber dayNumberOf(year_month_day date)
{
    if (!date.ok())
        return 0;
    return static_cast<DayNumber>((sys_days{date} - Epoch).count());
}

DayNumber dayNumberOf(int y, int m, int d)
{
    if (m < 1 || m > 12 || d < 1 || d > 31)
        return 0;
    return dayNumberOf(year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)});
}

year_month_day dateOf(DayNumber day)
{
    return year_month_day{Epoch + days{day}};
}

int weekdayOf(DayNumber day)
{
    const int r = day % 7;
    return r < 0 ? r + 7 : r;
}

TimeNumber timeNumberOf(int hours, int minutes, int seconds, int hundredths)
{
    return ((hours * 60 + minutes) * 60 + seconds) * 100 + hundredths + 1;
}

TimeOfDay timeOfDayOf(TimeNumber time)
{
    int t = time > 0 ? time - 1 : 0;
    TimeOfDay out;
    out.hundredths = t % 100;
    t /= 100;
    out.seconds = t % 60;
    t /= 60;
    out.minutes = t % 60;
    out.hours = t / 60;
    return out;
}

} // namespace fundora::platform
