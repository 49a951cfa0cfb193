#include "platform/pictures/MoneyText.h"
#include "platform/pictures/Picture.h"

namespace fundora::platform {

namespace {

QString groupThousands(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

} // namespace

QString NumberPicture::format(const Decimal& value) const
{
    const Decimal v = value.rounded(places);
    if (blankWhenZero && v.isZero())
        return QString(width, u' ');
    const bool isNegative = v.isNegative();
    QString magnitude = (isNegative ? -v : v).toString();
    QString whole = magnitude;
    QString fraction;
    if (const qsizetype dot = magnitude.indexOf(u'.'); dot >= 0) {
        whole = magnitude.left(dot);
        fraction = magnitude.mid(dot);
    }
    if (grouping)
        whole = groupThousands(whole);
    QString body = whole + fraction;
    if (currency)
        body.prepend(u'$');
    QString prefix;
    QString suffix;
    if (isNegative) {
        switch (negative) {
        case Negative::Parentheses:
            prefix = QStringLiteral("(");
            suffix = QStringLiteral(")");
            break;
        case Negative::TrailingMinus: suffix = QStringLiteral("-"); break;
        case Negative::LeadingMinus: prefix = QStringLiteral("-"); break;
        }
    }
    const qsizetype used = prefix.size() + body.size() + suffix.size();
    if (used > width)
        return QString(width, u'#');
    if (zeroFill) {
        // Zeros go between the sign or dollar sign and the digits.
        const qsizetype digitStart = currency ? 1 : 0;
        body.insert(digitStart, QString(width - used, u'0'));
        return prefix + body + suffix;
    }
    return QString(width - used, u' ') + prefix + body + suffix;
}

std::optional<Decimal> NumberPicture::deformat(QStringView text) const
{
    if (text.trimmed().isEmpty())
        return Decimal::fromUnits(0, places);
    const std::optional<Decimal> read = readMoney(text, places);
    if (!read)
        return std::nullopt;
    const Decimal v = *read;
    // The value must be showable in the picture's width.
    if (format(v).startsWith(u'#'))
        return std::nullopt;
    return v;
}

} // namespace fundora::platform
