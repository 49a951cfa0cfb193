#include "statements/StatementText.h"

#include "platform/pictures/MoneyText.h"
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
    if (text.trimmed().isEmpty())
        return empty;
    const std::optional<platform::Decimal> value = platform::readMoney(text, 2);
    if (!value || !value->fits(11, 2))
        return std::nullopt;
    return value;
}

QString moneyHint()
{
    return QStringLiteral("Type an amount such as 1234.56, 1,234.56 or -20.00 (two places at most).");
}

} // namespace fundora::statements
