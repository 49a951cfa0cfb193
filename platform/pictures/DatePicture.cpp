#include "platform/pictures/Picture.h"

#include "platform/Clock.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>

namespace fundora::platform {

namespace {

constexpr std::array<const char*, 12> MonthNames = {"January", "February", "March",     "April",   "May",      "June",
                                                    "July",    "August",   "September", "October", "November", "December"};

QString monthName(int month)
{
    return QString::fromLatin1(MonthNames[static_cast<std::size_t>(month - 1)]);
}

int monthOfName(const QString& name)
{
    if (name.size() < 3)
        return 0;
    for (int m = 1; m <= 12; ++m)
        if (monthName(m).startsWith(name, Qt::CaseInsensitive))
            return m;
    return 0;
}

// A two-digit year falls within the 80 years before and the 19 after today's year.
int expandYear(int year, int digits, std::int64_t today)
{
    return digits > 2 ? year : yearOfTwoDigits(year, today);
}

} // namespace

int yearOfTwoDigits(int twoDigits, std::int64_t today)
{
    const int thisYear = today > 0 ? qDateOf(static_cast<DayNumber>(today)).year() : QDate::currentDate().year();
    int full = thisYear - thisYear % 100 + twoDigits;
    if (full > thisYear + 19)
        full -= 100;
    else if (full < thisYear - 80)
        full += 100;
    return full;
}

QString DatePicture::format(std::int64_t day) const
{
    if (day <= 0)
        return {};
    const QDate d = qDateOf(static_cast<DayNumber>(day));
    switch (style) {
    case 1:
        return QStringLiteral("%1/%2/%3")
            .arg(d.month(), 2, 10, QChar(u'0'))
            .arg(d.day(), 2, 10, QChar(u'0'))
            .arg(d.year() % 100, 2, 10, QChar(u'0'));
    case 3: return QStringLiteral("%1 %2, %3").arg(monthName(d.month()).left(3)).arg(d.day(), 2, 10, QChar(u'0')).arg(d.year());
    case 4: return QStringLiteral("%1 %2, %3").arg(monthName(d.month())).arg(d.day()).arg(d.year());
    case 17: return QLocale::system().toString(d, QLocale::ShortFormat);
    default:
        return QStringLiteral("%1/%2/%3")
            .arg(d.month(), 2, 10, QChar(u'0'))
            .arg(d.day(), 2, 10, QChar(u'0'))
            .arg(d.year(), 4, 10, QChar(u'0'));
    }
}

std::optional<std::int64_t> DatePicture::deformat(QStringView text, std::int64_t today) const
{
    const QString t = text.trimmed().toString();
    if (t.isEmpty())
        return 0;
    static const QRegularExpression numeric(QStringLiteral(R"(^(\d{1,2})[/.-](\d{1,2})[/.-](\d{2}|\d{4})$)"));
    static const QRegularExpression named(QStringLiteral(R"(^([A-Za-z]+)\.?\s+(\d{1,2}),?\s*(\d{2}|\d{4})$)"));
    int year = 0, month = 0, day = 0;
    if (const auto m = numeric.match(t); m.hasMatch()) {
        month = m.captured(1).toInt();
        day = m.captured(2).toInt();
        year = expandYear(m.captured(3).toInt(), static_cast<int>(m.captured(3).size()), today);
    } else if (const auto n = named.match(t); n.hasMatch()) {
        month = monthOfName(n.captured(1));
        day = n.captured(2).toInt();
        year = expandYear(n.captured(3).toInt(), static_cast<int>(n.captured(3).size()), today);
    } else if (style == 17) {
        const QDate d = QLocale::system().toDate(t, QLocale::ShortFormat);
        if (!d.isValid())
            return std::nullopt;
        return dayNumberOf(d);
    } else {
        return std::nullopt;
    }
    const DayNumber n = dayNumberOf(year, month, day);
    if (n <= 0 || qDateOf(n).day() != day)
        return std::nullopt; // 02/30 and the like
    return n;
}

QString TimePicture::format(std::int64_t time) const
{
    if (time <= 0)
        return {};
    const TimeOfDay t = timeOfDayOf(static_cast<TimeNumber>(time));
    switch (style) {
    case 3: {
        const int h12 = t.hours % 12 == 0 ? 12 : t.hours % 12;
        return QStringLiteral("%1:%2 %3")
            .arg(h12)
            .arg(t.minutes, 2, 10, QChar(u'0'))
            .arg(t.hours < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    }
    case 4:
        return QStringLiteral("%1:%2:%3")
            .arg(t.hours, 2, 10, QChar(u'0'))
            .arg(t.minutes, 2, 10, QChar(u'0'))
            .arg(t.seconds, 2, 10, QChar(u'0'));
    default: return QStringLiteral("%1:%2").arg(t.hours, 2, 10, QChar(u'0')).arg(t.minutes, 2, 10, QChar(u'0'));
    }
}

std::optional<std::int64_t> TimePicture::deformat(QStringView text) const
{
    const QString t = text.trimmed().toString();
    if (t.isEmpty())
        return 0;
    static const QRegularExpression re(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?$)"));
    const auto m = re.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    int hours = m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    const int seconds = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString half = m.captured(4).toUpper();
    if (!half.isEmpty()) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours = hours % 12 + (half == QStringLiteral("PM") ? 12 : 0);
    }
    if (hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    return timeNumberOf(hours, minutes, seconds);
}

} // namespace fundora::platform
