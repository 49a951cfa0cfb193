#include "platform/Decimal.h"

#include <stdexcept>

namespace fundora::platform {

namespace {

std::int64_t checkedMul(std::int64_t a, std::int64_t b)
{
    std::int64_t r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        throw std::overflow_error("decimal overflow");
    return r;
}

std::int64_t checkedAdd(std::int64_t a, std::int64_t b)
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        throw std::overflow_error("decimal overflow");
    return r;
}

// Divides rounding half away from zero.
std::int64_t divideRounded(std::int64_t value, std::int64_t divisor)
{
    std::int64_t q = value / divisor;
    std::int64_t r = value % divisor;
    if (r < 0)
        r = -r;
    std::int64_t d = divisor < 0 ? -divisor : divisor;
    if (r >= d - r) // r * 2 >= d without overflow
        q += ((value < 0) != (divisor < 0)) ? -1 : 1;
    return q;
}

} // namespace

std::int64_t powerOfTen(int exponent)
{
    if (exponent < 0 || exponent > 18)
        throw std::overflow_error("decimal scale out of range");
    std::int64_t p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= 10;
    return p;
}

Decimal Decimal::fromUnits(std::int64_t units, int places)
{
    if (places < 0 || places > MaxPlaces)
        throw std::invalid_argument("decimal places out of range");
    Decimal d;
    d.m_units = units;
    d.m_places = places;
    return d;
}

std::optional<Decimal> Decimal::parse(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        ++i;
    }
    std::int64_t units = 0;
    int places = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (!c.isDigit() || c.unicode() > 127)
            return std::nullopt;
        seenDigit = true;
        if (seenPoint) {
            if (places == MaxPlaces)
                return std::nullopt;
            ++places;
        }
        if (__builtin_mul_overflow(units, 10, &units) || __builtin_add_overflow(units, c.unicode() - u'0', &units))
            return std::nullopt;
    }
    if (!seenDigit)
        return std::nullopt;
    return fromUnits(negative ? -units : units, places);
}

std::optional<std::int64_t> Decimal::unitsAt(int places) const
{
    if (places >= m_places) {
        std::int64_t r = 0;
        if (places - m_places > 18 || __builtin_mul_overflow(m_units, powerOfTen(places - m_places), &r))
            return std::nullopt;
        return r;
    }
    const std::int64_t factor = powerOfTen(m_places - places);
    if (m_units % factor != 0)
        return std::nullopt;
    return m_units / factor;
}

Decimal Decimal::rounded(int places) const
{
    if (places >= m_places)
        return fromUnits(checkedMul(m_units, powerOfTen(places - m_places)), places);
    return fromUnits(divideRounded(m_units, powerOfTen(m_places - places)), places);
}

std::int64_t Decimal::integerPart() const
{
    return m_units / powerOfTen(m_places);
}

bool Decimal::fits(int digits, int places) const
{
    const auto units = unitsAt(places);
    if (!units)
        return false;
    const std::int64_t limit = powerOfTen(digits);
    return *units<limit&& * units> - limit;
}

Decimal Decimal::operator-() const
{
    return fromUnits(checkedMul(m_units, -1), m_places);
}

Decimal Decimal::operator+(const Decimal& other) const
{
    const int p = std::max(m_places, other.m_places);
    return fromUnits(checkedAdd(checkedMul(m_units, powerOfTen(p - m_places)), checkedMul(other.m_units, powerOfTen(p - other.m_places))),
                     p);
}

Decimal Decimal::operator-(const Decimal& other) const
{
    return *this + (-other);
}

Decimal Decimal::operator*(const Decimal& other) const
{
    const int p = m_places + other.m_places;
    Decimal product = fromUnits(0, 0);
    product.m_units = checkedMul(m_units, other.m_units);
    product.m_places = p;
    if (p > MaxPlaces)
        return product.rounded(MaxPlaces);
    return product;
}

std::optional<Decimal> Decimal::dividedBy(const Decimal& divisor, int places) const
{
    if (divisor.m_units == 0)
        return std::nullopt;
    // value = (a / 10^pa) / (b / 10^pb) = a * 10^(pb - pa) / b; scaled by 10^places.
    const int shift = places + divisor.m_places - m_places;
    std::int64_t numerator = m_units;
    std::int64_t denominator = divisor.m_units;
    if (shift >= 0)
        numerator = checkedMul(numerator, powerOfTen(shift));
    else
        denominator = checkedMul(denominator, powerOfTen(-shift));
    return fromUnits(divideRounded(numerator, denominator), places);
}

int Decimal::compare(const Decimal& other) const
{
    const int p = std::max(m_places, other.m_places);
    // Compare in 128 bits so that aligning scales cannot overflow.
    __extension__ typedef __int128 Wide;
    const Wide a = static_cast<Wide>(m_units) * powerOfTen(p - m_places);
    const Wide b = static_cast<Wide>(other.m_units) * powerOfTen(p - other.m_places);
    return a < b ? -1 : (a > b ? 1 : 0);
}

std::strong_ordering Decimal::operator<=>(const Decimal& other) const
{
    const int c = compare(other);
    return c < 0 ? std::strong_ordering::less : (c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

QString Decimal::toString() const
{
    const bool negative = m_units < 0;
    // Work on the magnitude as unsigned so that INT64_MIN prints correctly.
    const auto magnitude =
        negative ? static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(m_units) : static_cast<std::uint64_t>(m_units);
    QString digits = QString::number(magnitude);
    if (m_places > 0) {
        if (digits.size() <= m_places)
            digits = QString(m_places - digits.size() + 1, u'0') + digits;
        digits.insert(digits.size() - m_places, u'.');
    }
    return negative ? QStringLiteral("-") + digits : digits;
}

} // namespace fundora::platform
