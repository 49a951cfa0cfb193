#include "platform/store/Position.h"

#include <QStringList>
#include <QUrl>

namespace fundora::platform {

QString Position::encode() const
{
    QStringList parts{QStringLiteral("P%1").arg(key), QString::number(row)};
    for (const SqlValue& v : values) {
        if (const auto* i = std::get_if<std::int64_t>(&v))
            parts << u'i' + QString::number(*i);
        else
            parts << u't' + QString::fromLatin1(QUrl::toPercentEncoding(std::get<QString>(v)));
    }
    return parts.join(u':');
}

std::optional<Position> Position::decode(const QString& text)
{
    const QStringList parts = text.trimmed().split(u':');
    if (parts.size() < 2 || !parts[0].startsWith(u'P'))
        return std::nullopt;
    Position p;
    bool ok = false;
    p.key = parts[0].mid(1).toInt(&ok);
    if (!ok || p.key < 0)
        return std::nullopt;
    p.row = parts[1].toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    for (qsizetype i = 2; i < parts.size(); ++i) {
        const QString& s = parts[i];
        if (s.startsWith(u'i')) {
            const std::int64_t v = s.mid(1).toLongLong(&ok);
            if (!ok)
                return std::nullopt;
            p.values.emplace_back(v);
        } else if (s.startsWith(u't')) {
            p.values.emplace_back(QUrl::fromPercentEncoding(s.mid(1).toLatin1()));
        } else {
            return std::nullopt;
        }
    }
    return p;
}

} // namespace fundora::platform
