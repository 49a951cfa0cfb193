#include "core/StatusTexts.h"

#include "platform/Clock.h"
#include "platform/Dates.h"
#include "platform/pictures/Picture.h"

namespace fundora::core {

QString statusDateText(const QDate& date)
{
    // The weekday from the day number (day 0 was a Sunday): nine blank-padded
    // characters a name.
    const std::int64_t day = platform::dayNumberOf(date);
    const auto weekday = static_cast<qsizetype>(((day % 7) + 7) % 7);
    return WeekdayNames.mid(weekday * 9, 9).trimmed() + QStringLiteral(", ") + platform::formatPicture(day, u"D4");
}

QString statusTimeText(const QTime& time)
{
    return platform::formatPicture(std::int64_t{platform::timeNumberOf(time)}, u"T3");
}

} // namespace fundora::core
