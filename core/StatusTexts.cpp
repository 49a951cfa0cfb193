#include "core/StatusTexts.h"

#include "platform/Dates.h"
#include "platform/pictures/Picture.h"

namespace fundora::core {

QString statusDateText(const QDate& date)
{
    // The weekday from the day number: day 0 was a Sunday.
    static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const std::int64_t day = platform::dayNumberOf(date);
    return QString::fromLatin1(days[day % 7]) + QStringLiteral(", ") + platform::formatPicture(day, u"D4");
}

QString statusTimeText(const QTime& time)
{
    return platform::formatPicture(std::int64_t{platform::timeNumberOf(time)}, u"T3");
}

} // namespace fundora::core
