#include "platform/ui/PopupCalendar.h"

#include "platform/Clock.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace fundora::platform {

PopupCalendar::PopupCalendar(DayNumber start, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Calendar"));
    auto* layout = new QVBoxLayout(this);
    m_calendar = new QCalendarWidget(this);
    m_calendar->setAccessibleName(QStringLiteral("Calendar"));
    m_calendar->setGridVisible(true);
    // Its own buttons get names a screen reader can say.
    if (QWidget* previous = m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_prevmonth")))
        previous->setAccessibleName(QStringLiteral("Previous month"));
    if (QWidget* next = m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_nextmonth")))
        next->setAccessibleName(QStringLiteral("Next month"));
    if (QWidget* month = m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_monthbutton")))
        month->setAccessibleName(QStringLiteral("Month"));
    if (QWidget* year = m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_yearbutton")))
        year->setAccessibleName(QStringLiteral("Year"));
    m_calendar->setSelectedDate(start > 0 ? qDateOf(start) : qDateOf(Clock::current().today()));
    layout->addWidget(m_calendar);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);
    m_calendar->setFocus();
}

DayNumber PopupCalendar::selectedDay() const
{
    return dayNumberOf(m_calendar->selectedDate());
}

QString PopupCalendar::run(DayNumber start, QWidget* parent)
{
    PopupCalendar calendar(start, parent);
    return calendar.exec() == QDialog::Accepted ? QString::number(calendar.selectedDay()) : QString();
}

} // namespace fundora::platform
