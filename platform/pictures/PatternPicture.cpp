#include "platform/pictures/Picture.h"

#include <QRegularExpression>

namespace fundora::platform {

QString PatternPicture::format(std::int64_t value) const
{
    if (value <= 0)
        return {}; // no number: nothing to show, not an empty pattern
    const QString digits = QString::number(value);
    const auto places = pattern.count(u'#');
    if (digits.size() > places)
        return digits; // more digits than the pattern holds: show them all rather than lose one
    QString out = pattern;
    qsizetype next = digits.size() - 1;
    for (qsizetype i = out.size() - 1; i >= 0; --i) {
        if (out[i] != u'#')
            continue;
        out[i] = next >= 0 ? digits[next--] : QChar(u' ');
    }
    return out;
}

std::optional<std::int64_t> PatternPicture::deformat(QStringView text) const
{
    QString digits;
    for (QChar c : text)
        if (c.isDigit() && c.unicode() < 128)
            digits += c;
    if (digits.isEmpty())
        return 0;
    if (digits.size() > pattern.count(u'#') || digits.size() > 18)
        return std::nullopt;
    return digits.toLongLong();
}

QString TemplatePicture::format(const QString& value) const
{
    return value;
}

std::optional<QString> TemplatePicture::deformat(QStringView text) const
{
    const QString t = text.trimmed().toString();
    if (t.isEmpty())
        return QString(); // nothing typed: whether the field may be blank is the form's rule
    QString required;
    QString optional;
    bool inOptional = false;
    for (QChar c : pattern) {
        QString piece;
        if (c == u'|') {
            inOptional = true;
            continue;
        }
        if (c == u'#')
            piece = QStringLiteral("\\d");
        else if (c == u'<')
            piece = QStringLiteral("\\d?");
        else
            piece = QRegularExpression::escape(QString(c));
        (inOptional ? optional : required) += piece;
    }
    QString expression = QStringLiteral("^") + required;
    if (!optional.isEmpty())
        expression += QStringLiteral("(?:") + optional + QStringLiteral(")?");
    expression += QStringLiteral("$");
    const QRegularExpression re(expression);
    if (!re.match(t).hasMatch())
        return std::nullopt;
    return t;
}

} // namespace fundora::platform
