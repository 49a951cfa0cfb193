#pragma once

#include "platform/Dates.h"

#include <QDialog>

class QCalendarWidget;

namespace fundora::platform {

// A pop-up calendar. Starts on a day number (0: today is shown, nothing is
// chosen yet); Enter, a double click or OK chooses the highlighted day.
class PopupCalendar : public QDialog {
public:
    explicit PopupCalendar(DayNumber start, QWidget* parent = nullptr);
    QCalendarWidget* calendar() const { return m_calendar; }
    DayNumber selectedDay() const;
    // Shows the calendar modally; the chosen day number as text, or blank when none was chosen.
    static QString run(DayNumber start, QWidget* parent = nullptr);

private:
    QCalendarWidget* m_calendar;
};

} // namespace fundora::platform
