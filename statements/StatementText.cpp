#include "statements/StatementText.h"

#include "platform/pictures/Picture.h"

#include <QStringList>

namespace fundora::statements {

QString dateText(platform::DayNumber day)
{
    return day == 0 ? QString() : platform::formatPicture(std::int64_t{day}, u"d2");
}

QString moneyText(const platform::Decimal& amount)
{
    const QString shown = platform::formatPicture(amount.isNegative() ? -amount : amount, u"n$13.2").trimmed();
    return amount.isNegative() ? QStringLiteral("-") + shown : shown;
}

} // namespace fundora::statements

namespace fundora::statements {

std::optional<platform::Decimal> parseMoney(const QString& text, const platform::Decimal& empty)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return empty;
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith(u'-')) {
        negative = !negative;
        t = t.mid(1).trimmed();
    }
    if (t.startsWith(u'$'))
        t = t.mid(1);
    // Grouping commas only between digits, three digits apart: "1,234.56", not "1,2".
    const qsizetype point = t.indexOf(u'.');
    const QString whole = point < 0 ? t : t.left(point);
    const QStringList groups = whole.split(u',');
    for (qsizetype i = 1; i < groups.size(); ++i)
        if (groups[i].size() != 3 || groups[0].isEmpty())
            return std::nullopt;
    t.remove(u',');
    if (t.isEmpty() || t.startsWith(u'-') || t.startsWith(u'+'))
        return std::nullopt;
    const std::optional<platform::Decimal> value = platform::Decimal::parse(t);
    if (!value || value->places() > 2 || !value->fits(11, 2))
        return std::nullopt;
    const platform::Decimal amount = value->rounded(2);
    return negative ? -amount : amount;
}

QString moneyHint()
{
    return QStringLiteral("Type an amount such as 1234.56, 1,234.56 or -20.00 (two places at most).");
}

} // namespace fundora::statements
