#include "import/StorableText.h"

namespace fundora::importing {

namespace {

bool turnsDirection(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool alreadyStorable(const QString& text, int size)
{
    if (text.size() > size || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace())))
        return false;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (isControl(c) || turnsDirection(c))
            return false;
    }
    return true;
}

} // namespace

QString storableText(const QString& text, int size, QStringList& changes)
{
    // Most texts need nothing: they are kept as they are, sharing the file's copy.
    if (alreadyStorable(text, size))
        return text;
    QString out;
    out.reserve(text.size());
    int controls = 0, directions = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            out += u' ';
        } else if (isControl(c)) {
            ++controls;
        } else if (turnsDirection(c)) {
            ++directions;
        } else {
            out += qc;
        }
    }
    if (controls > 0)
        changes << QStringLiteral("%1 control character%2 removed").arg(controls).arg(controls == 1 ? "" : "s");
    if (directions > 0)
        changes << QStringLiteral("%1 text direction mark%2 removed").arg(directions).arg(directions == 1 ? "" : "s");
    out = out.trimmed();
    if (out.size() > size) {
        changes << QStringLiteral("cut to %1 of its %2 characters").arg(size).arg(out.size());
        out.truncate(size);
    }
    return out;
}

} // namespace fundora::importing
