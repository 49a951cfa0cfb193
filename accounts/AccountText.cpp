#include "accounts/AccountText.h"

namespace fundora::accounts {

QString cardTypeDescription(const QString& cardType)
{
    const QChar c = cardType.isEmpty() ? QChar() : cardType[0];
    switch (c.unicode()) {
    case u'M': return QStringLiteral("MASTER CARD");
    case u'V': return QStringLiteral("VISA CARD");
    case u'D': return QStringLiteral("DISCOVER CARD");
    case u'A': return QStringLiteral("AMERICAN EXPRESS");
    case u'S': return QStringLiteral("STORE CARD");
    case u'G': return QStringLiteral("GASOLINE CARD");
    default: return QStringLiteral("CHARGE CARD");
    }
}

QString ordinalExtension(int day)
{
    switch (day) {
    case 1:
    case 21: return QStringLiteral("st");
    case 2:
    case 22: return QStringLiteral("nd");
    case 3:
    case 23: return QStringLiteral("rd");
    default: return QStringLiteral("th");
    }
}

QString cityStateZip(const core::Account& a)
{
    QString city = a.vendorCity;
    while (city.endsWith(u' '))
        city.chop(1);
    return city + QStringLiteral(", ") + a.vendorState.leftJustified(2, u' ') + u' ' + a.vendorZip.leftJustified(10, u' ');
}

QString dialingFormat(const platform::Decimal& phone)
{
    const std::int64_t n = phone.integerPart();
    if (n == 0)
        return {};
    if (n >= 1 && n <= 9999)
        return QString::number(n);
    if (n >= 10000 && n <= 9999999)
        return QStringLiteral("%1-%2").arg(n / 10000).arg(n % 10000, 4, 10, QChar(u'0'));
    if (n >= 10000000 && n <= 9999999999LL)
        return QStringLiteral("(%1) %2-%3").arg(n / 10000000).arg(n / 10000 % 1000, 3, 10, QChar(u'0')).arg(n % 10000, 4, 10, QChar(u'0'));
    return QString::number(n);
}

} // namespace fundora::accounts
