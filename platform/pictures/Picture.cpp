#include "platform/pictures/Picture.h"

#include "platform/Clock.h"

namespace fundora::platform {

namespace {

std::optional<int> wholeNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<NumberPicture> parseNumber(QStringView t)
{
    NumberPicture p;
    qsizetype i = 0;
    auto peek = [&](QChar c) { return i < t.size() && t[i] == c; };
    if (peek(u'$')) {
        p.currency = true;
        ++i;
    }
    if (peek(u'(')) {
        p.negative = NumberPicture::Negative::Parentheses;
        ++i;
    } else if (peek(u'-')) {
        ++i;
    }
    if (peek(u'_')) {
        p.grouping = false;
        ++i;
    } else if (peek(u'0') && i + 1 < t.size() && t[i + 1].isDigit()) {
        p.zeroFill = true;
        ++i;
    }
    const qsizetype widthStart = i;
    while (i < t.size() && t[i].isDigit())
        ++i;
    const auto width = wholeNumber(t.mid(widthStart, i - widthStart));
    if (!width || *width == 0)
        return std::nullopt;
    p.width = *width;
    if (peek(u'.')) {
        ++i;
        if (peek(u'.'))
            ++i;
        const qsizetype placesStart = i;
        while (i < t.size() && t[i].isDigit())
            ++i;
        const auto places = wholeNumber(t.mid(placesStart, i - placesStart));
        if (!places || *places > Decimal::MaxPlaces)
            return std::nullopt;
        p.places = *places;
    }
    if (p.negative == NumberPicture::Negative::Parentheses) {
        if (!peek(u')'))
            return std::nullopt;
        ++i;
    } else if (peek(u'-')) {
        p.negative = NumberPicture::Negative::TrailingMinus;
        ++i;
    }
    if (i < t.size() && (t[i] == u'B' || t[i] == u'b')) {
        p.blankWhenZero = true;
        ++i;
    }
    if (i != t.size())
        return std::nullopt;
    return p;
}

std::optional<Picture::Form> parseForm(QStringView t)
{
    if (t.size() < 2)
        return std::nullopt;
    const QChar kind = t[0].toLower();
    const QStringView rest = t.mid(1);
    switch (kind.unicode()) {
    case u's': {
        const auto w = wholeNumber(rest);
        if (!w || *w == 0)
            return std::nullopt;
        return StringPicture{*w};
    }
    case u'd': {
        const auto s = wholeNumber(rest);
        if (!s || !(*s == 1 || *s == 2 || *s == 3 || *s == 4 || *s == 17))
            return std::nullopt;
        return DatePicture{*s};
    }
    case u't': {
        const auto s = wholeNumber(rest);
        if (!s || !(*s == 1 || *s == 3 || *s == 4))
            return std::nullopt;
        return TimePicture{*s};
    }
    case u'n':
        if (auto n = parseNumber(rest))
            return *n;
        return std::nullopt;
    case u'p':
    case u'k': {
        if (t.size() < 3 || t.back().toLower() != kind)
            return std::nullopt;
        const QString pattern = t.mid(1, t.size() - 2).toString();
        if (kind == u'p') {
            if (!pattern.contains(u'#'))
                return std::nullopt;
            return PatternPicture{pattern};
        }
        return TemplatePicture{pattern};
    }
    default: return std::nullopt;
    }
}

Decimal asDecimal(const PictureValue& v)
{
    if (const auto* d = std::get_if<Decimal>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return Decimal::fromInteger(*i);
    return Decimal::parse(std::get<QString>(v)).value_or(Decimal());
}

std::int64_t asWhole(const PictureValue& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (const auto* d = std::get_if<Decimal>(&v))
        return d->integerPart();
    return std::get<QString>(v).trimmed().toLongLong();
}

QString asText(const PictureValue& v)
{
    if (const auto* s = std::get_if<QString>(&v))
        return *s;
    if (const auto* d = std::get_if<Decimal>(&v))
        return d->toString();
    return QString::number(std::get<std::int64_t>(v));
}

} // namespace

std::optional<Picture> Picture::parse(QStringView text)
{
    QStringView t = text.trimmed();
    if (t.startsWith(u'@'))
        t = t.mid(1);
    auto form = parseForm(t);
    if (!form)
        return std::nullopt;
    return Picture(t.toString(), std::move(*form));
}

QString Picture::format(const PictureValue& value) const
{
    return std::visit(
        [&](const auto& p) -> QString {
            using T = std::decay_t<decltype(p)>;
            if constexpr (std::is_same_v<T, NumberPicture>)
                return p.format(asDecimal(value));
            else if constexpr (std::is_same_v<T, DatePicture> || std::is_same_v<T, TimePicture> || std::is_same_v<T, PatternPicture>)
                return p.format(asWhole(value));
            else
                return p.format(asText(value));
        },
        m_form);
}

std::optional<PictureValue> Picture::deformat(QStringView text) const
{
    return std::visit(
        [&](const auto& p) -> std::optional<PictureValue> {
            using T = std::decay_t<decltype(p)>;
            std::optional<PictureValue> out;
            if constexpr (std::is_same_v<T, DatePicture>) {
                if (auto v = p.deformat(text, Clock::current().today()))
                    out = *v;
            } else {
                if (auto v = p.deformat(text))
                    out = *v;
            }
            return out;
        },
        m_form);
}

QString formatPicture(const PictureValue& value, QStringView picture)
{
    if (const auto p = Picture::parse(picture))
        return p->format(value);
    return asText(value);
}

QString StringPicture::format(const QString& value) const
{
    return value.left(width);
}

std::optional<QString> StringPicture::deformat(QStringView text) const
{
    QString v = text.toString();
    while (v.endsWith(u' '))
        v.chop(1);
    if (v.size() > width)
        return std::nullopt;
    return v;
}

QString Picture::entryHint() const
{
    struct Hint {
        QString operator()(const StringPicture& p) const { return QStringLiteral("At most %1 characters").arg(p.width); }
        QString operator()(const NumberPicture& p) const
        {
            QString example = p.places > 0 ? QStringLiteral("1,250.") + QString(p.places, u'0') : QStringLiteral("1,250");
            if (!p.grouping)
                example.remove(u',');
            return QStringLiteral("Enter a number such as %1").arg(example);
        }
        QString operator()(const DatePicture& p) const
        {
            switch (p.style) {
            case 1: return QStringLiteral("Enter a date as mm/dd/yy");
            case 2: return QStringLiteral("Enter a date as mm/dd/yyyy");
            default: return QStringLiteral("Enter a date as mm/dd/yyyy or as December 6, 2026");
            }
        }
        QString operator()(const TimePicture& p) const
        {
            return p.style == 3 ? QStringLiteral("Enter a time as h:mm AM or PM") : QStringLiteral("Enter a time as hh:mm");
        }
        QString operator()(const PatternPicture& p) const
        {
            return QStringLiteral("Enter the digits of the number, shown as %1").arg(QString(p.pattern).replace(u'#', u'9'));
        }
        QString operator()(const TemplatePicture& p) const
        {
            // The part that must be there, and the whole: "##### or #####-####" (# a digit).
            const qsizetype bar = p.pattern.indexOf(u'|');
            QString required = bar < 0 ? p.pattern : p.pattern.left(bar);
            required.remove(u'<');
            QString whole = p.pattern;
            whole.remove(u'|').replace(u'<', u'#');
            return required == whole ? QStringLiteral("Enter it as %1 (# is a digit)").arg(whole)
                                     : QStringLiteral("Enter it as %1 or %2 (# is a digit)").arg(required, whole);
        }
    };
    return std::visit(Hint{}, m_form);
}

} // namespace fundora::platform
