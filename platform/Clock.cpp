#include "platform/Clock.h"

#include <utility>

namespace fundora::platform {

namespace {
std::shared_ptr<Clock>& installedClock()
{
    static std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}
} // namespace

const Clock& Clock::current()
{
    return *installedClock();
}

std::shared_ptr<Clock> Clock::install(std::shared_ptr<Clock> clock)
{
    return std::exchange(installedClock(), clock ? std::move(clock) : std::make_shared<SystemClock>());
}

DayNumber Clock::today() const
{
    return dayNumberOf(now().date());
}

TimeNumber Clock::timeOfDay() const
{
    return timeNumberOf(now().time());
}

DayNumber dayNumberOf(const QDate& date)
{
    if (!date.isValid())
        return 0;
    return dayNumberOf(date.year(), date.month(), date.day());
}

QDate qDateOf(DayNumber day)
{
    if (day == 0)
        return {};
    const auto ymd = dateOf(day);
    return QDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                 static_cast<int>(static_cast<unsigned>(ymd.day())));
}

TimeNumber timeNumberOf(const QTime& time)
{
    if (!time.isValid())
        return 0;
    return timeNumberOf(time.hour(), time.minute(), time.second(), time.msec() / 10);
}

} // namespace fundora::platform
