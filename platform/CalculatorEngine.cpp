#include "platform/CalculatorEngine.h"

#include <stdexcept>

namespace fundora::platform {

namespace {

// Plain text of a value without useless trailing zeros.
QString plain(const Decimal& d)
{
    QString s = d.toString();
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

constexpr int MaxDigits = 18;

} // namespace

void CalculatorEngine::clear()
{
    m_entry.clear();
    m_accumulator = Decimal();
    m_pending = QChar();
    m_showingResult = true;
    m_error = false;
}

void CalculatorEngine::start(const QString& value)
{
    clear();
    const auto d = Decimal::parse(value);
    if (d)
        m_accumulator = *d;
}

void CalculatorEngine::digit(int d)
{
    if (m_error || d < 0 || d > 9)
        return;
    QString digits = m_entry;
    digits.remove(u'-').remove(u'.');
    if (digits.size() >= MaxDigits)
        return;
    if (m_entry == QStringLiteral("0"))
        m_entry.clear();
    m_entry += QChar(u'0' + d);
    m_showingResult = false;
}

void CalculatorEngine::point()
{
    if (m_error || m_entry.contains(u'.'))
        return;
    m_entry += m_entry.isEmpty() || m_entry == QStringLiteral("-") ? QStringLiteral("0.") : QStringLiteral(".");
    m_showingResult = false;
}

void CalculatorEngine::negate()
{
    if (m_error)
        return;
    if (m_showingResult) {
        try {
            m_accumulator = -m_accumulator;
        } catch (const std::overflow_error&) {
            m_error = true;
        }
        return;
    }
    m_entry = m_entry.startsWith(u'-') ? m_entry.mid(1) : QStringLiteral("-") + m_entry;
}

void CalculatorEngine::backspace()
{
    if (!m_showingResult && !m_entry.isEmpty())
        m_entry.chop(1);
}

std::optional<Decimal> CalculatorEngine::entryValue() const
{
    if (m_showingResult)
        return m_accumulator;
    QString e = m_entry;
    if (e.endsWith(u'.'))
        e.chop(1);
    if (e.isEmpty() || e == QStringLiteral("-"))
        return Decimal();
    return Decimal::parse(e);
}

void CalculatorEngine::apply()
{
    const auto right = entryValue();
    if (!right) {
        m_error = true;
        return;
    }
    try {
        switch (m_pending.unicode()) {
        case u'+': m_accumulator = m_accumulator + *right; break;
        case u'-': m_accumulator = m_accumulator - *right; break;
        case u'*': m_accumulator = (m_accumulator * *right).rounded(std::min(9, (m_accumulator * *right).places())); break;
        case u'/': {
            const auto q = m_accumulator.dividedBy(*right, 9);
            if (!q)
                m_error = true;
            else
                m_accumulator = *q;
            break;
        }
        default: m_accumulator = *right; break;
        }
    } catch (const std::overflow_error&) {
        m_error = true;
    }
}

void CalculatorEngine::operation(QChar op)
{
    if (m_error)
        return;
    if (!m_showingResult || m_pending.isNull())
        apply();
    m_pending = op;
    m_entry.clear();
    m_showingResult = true;
}

void CalculatorEngine::equals()
{
    if (m_error)
        return;
    apply();
    m_pending = QChar();
    m_entry.clear();
    m_showingResult = true;
}

QString CalculatorEngine::display() const
{
    if (m_error)
        return QStringLiteral("Error");
    if (!m_showingResult)
        return m_entry.isEmpty() ? QStringLiteral("0") : m_entry;
    return plain(m_accumulator);
}

} // namespace fundora::platform
