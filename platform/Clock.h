#pragma once

#include "platform/Dates.h"

#include <QDateTime>

#include <memory>

namespace fundora::platform {

// Where "today" and "now" come from. The program uses the system clock; tests
// install a clock set to a chosen moment, so every date rule is tested on any date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    DayNumber today() const;
    TimeNumber timeOfDay() const;

    static const Clock& current();
    // Installs `clock` as the current clock (nullptr restores the system clock)
    // and returns the one it replaces.
    static std::shared_ptr<Clock> install(std::shared_ptr<Clock> clock);
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until it is moved.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime moment) : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(QDateTime moment) { m_moment = std::move(moment); }
    void advanceSeconds(qint64 seconds) { m_moment = m_moment.addSecs(seconds); }

private:
    QDateTime m_moment;
};

// Converts a local calendar date and time into day and time numbers.
DayNumber dayNumberOf(const QDate& date);
QDate qDateOf(DayNumber day);
TimeNumber timeNumberOf(const QTime& time);

} // namespace fundora::platform
