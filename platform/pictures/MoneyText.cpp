#include "platform/pictures/MoneyText.h"

#include <QRegularExpression>

namespace fundora::platform {

std::optional<Decimal> readMoney(QStringView text, int places, QChar point)
{
    QString t = text.trimmed().toString();
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.endsWith(u'-')) {
        negative = !negative;
        t.chop(1);
    } else if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = negative != t.startsWith(u'-');
        t.remove(0, 1);
    }
    t = t.trimmed();
    if (t.startsWith(u'$'))
        t.remove(0, 1);
    // Plain digits, or digits in groups of three after the first; then the point and its places.
    static const QRegularExpression withPoint(QStringLiteral(R"(^(\d{1,12}|\d{1,3}(?:,\d{3}){1,3})?(?:\.(\d*))?$)"));
    static const QRegularExpression withComma(QStringLiteral(R"(^(\d{1,12}|\d{1,3}(?:\.\d{3}){1,3})?(?:,(\d*))?$)"));
    if (point != u'.' && point != u',')
        return std::nullopt;
    const QChar grouping = point == u',' ? u'.' : u',';
    const QRegularExpressionMatch m = (point == u',' ? withComma : withPoint).match(t);
    if (!m.hasMatch() || (m.capturedLength(1) == 0 && m.capturedLength(2) == 0))
        return std::nullopt;
    QString whole = m.captured(1);
    whole.remove(grouping);
    if (whole.size() > 12)
        return std::nullopt;
    QString fraction = m.captured(2);
    while (fraction.size() > places && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (fraction.size() > places)
        return std::nullopt;
    const std::optional<Decimal> value =
        Decimal::parse((whole.isEmpty() ? QStringLiteral("0") : whole) + (fraction.isEmpty() ? QString() : u'.' + fraction));
    if (!value)
        return std::nullopt;
    const Decimal amount = value->rounded(places); // only widens: no digit is lost
    return negative ? -amount : amount;
}

} // namespace fundora::platform
