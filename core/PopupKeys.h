#pragma once

#include "platform/Dates.h"

#include <QString>

#include <functional>

class QWidget;

namespace fundora::core {

// F5 opens the calculator and F6 the calendar on the control that has the
// focus. Entry controls say how their value is shown with a "picture"
// property ("d2", "n$(12.2)B", ...); a picture starting with D marks a date.
class PopupKeys {
public:
    using Calculator = std::function<QString(const QString& start)>;
    using Calendar = std::function<QString(platform::DayNumber start)>;

    // Watches F5 and F6 in `window` and all its controls.
    static void install(QWidget& window);
    static void calculatorOn(QWidget* control);
    static void calendarOn(QWidget* control);
    // Replaces the popups (tests; nullptr restores the dialogs).
    static void setPopups(Calculator calculator, Calendar calendar);
    // Calls the calendar with no date and ignores what it gives (the frame's button).
    static void showCalendar();
};

inline const char* const PictureProperty = "picture";

} // namespace fundora::core
