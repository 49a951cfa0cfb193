#include "core/KeyStepping.h"

namespace fundora::core {

namespace {

constexpr int PartLength = 4;

bool isStepPunctuation(char16_t c)
{
    static const QString punctuation = QStringLiteral("`!\"\u00a3$%^&*()'-=_+][#;~@:/.,?\\| ");
    return punctuation.contains(QChar(c));
}

QString cutOrPad(const QString& s, int length)
{
    return s.left(length).leftJustified(length, u' ');
}

} // namespace

void KeyStepper::setup(const QString& lowest, const QString& highest, int maxLength, int flags, bool lettersOnly)
{
    if (lettersOnly)
        flags = Letters;
    m_set.clear();
    for (char16_t code = 1; code <= 255; ++code) {
        const QChar c(code);
        const bool digit = code >= u'0' && code <= u'9';
        const bool letter = (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z');
        if ((digit && (flags & Digits)) || (isStepPunctuation(code) && (flags & Punctuation)) ||
            (letter && (flags & Letters) && ((flags & LowerCase) || c.isUpper())))
            m_set += c;
    }

    QString low = lowest.left(maxLength);
    QString high = highest.left(maxLength);
    QString highTrimmed = high;
    while (highTrimmed.endsWith(u' '))
        highTrimmed.chop(1);
    if (highTrimmed.size() < maxLength && !m_set.isEmpty())
        high = highTrimmed.leftJustified(maxLength, m_set.back());

    int common = 0;
    while (common < maxLength && common < low.size() && common < high.size() && low[common] == high[common])
        ++common;
    m_prefix = low.left(common);

    m_lowPart = cutOrPad(low.mid(common, PartLength), PartLength);
    m_highPart = cutOrPad(high.mid(common, PartLength), PartLength);
    if (!(flags & LowerCase) && (flags & Letters)) {
        m_lowPart = m_lowPart.toUpper();
        m_highPart = m_highPart.toUpper();
    }
    m_low = toNumber(m_lowPart);
    m_high = toNumber(m_highPart);
    m_step = (m_high - m_low) / 99;
    m_counter = 0;
}

std::int64_t KeyStepper::toNumber(const QString& part) const
{
    const std::int64_t base = m_set.size() + 1;
    QString trimmed = part;
    while (trimmed.endsWith(u' '))
        trimmed.chop(1);
    std::int64_t value = 0;
    for (int i = 0; i < PartLength; ++i) {
        value *= base;
        if (i < trimmed.size()) {
            const QChar c = trimmed[i];
            const qsizetype at = m_set.indexOf(c);
            if (at >= 0)
                value += at + 1;
            else if (c == u' ')
                value += m_set.size() + 1;
        }
    }
    return value;
}

QString KeyStepper::toPart(std::int64_t value) const
{
    const std::int64_t base = m_set.size() + 1;
    QString part(PartLength, u' ');
    for (int i = PartLength - 1; i >= 0; --i) {
        const std::int64_t digit = value % base;
        value /= base;
        // A zero digit stands for no character: a blank, which sorts below every character of the set.
        part[i] = digit == 0 ? QChar(u' ') : m_set[static_cast<qsizetype>(digit - 1)];
    }
    return part;
}

QString KeyStepper::next()
{
    const int n = m_counter++;
    QString part;
    if (n == 0)
        part = m_lowPart;
    else if (n >= 99)
        part = m_highPart;
    else
        part = toPart(m_low + m_step * n);
    return m_prefix + part;
}

} // namespace fundora::core
