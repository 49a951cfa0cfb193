#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace fundora::core {

// The weekday names, nine characters each, Sunday first.
inline const QString WeekdayNames = QStringLiteral("Sunday   Monday   Tuesday  WednesdayThursday Friday   Saturday ");

// The date and time that the frame's status bar and the transaction lists
// show: "Sunday, December 6, 2026" and "10:30 AM".
QString statusDateText(const QDate& date);
QString statusTimeText(const QTime& time);

} // namespace fundora::core
