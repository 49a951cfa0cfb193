#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>
#include <optional>

namespace fundora::platform {

// An exact signed decimal: an integer count of units of the last place.
// Arithmetic never rounds silently and never wraps: an int64 overflow throws
// std::overflow_error. Declared field sizes (DECIMAL(bytes, places)) are
// checked with fits().
class Decimal {
public:
    static constexpr int MaxPlaces = 9;

    constexpr Decimal() = default;
    static Decimal fromUnits(std::int64_t units, int places);
    static Decimal fromInteger(std::int64_t value) { return fromUnits(value, 0); }
    // Parses "-1234.5", "+7", ".25". No grouping, no currency: pictures do that.
    static std::optional<Decimal> parse(QStringView text);

    std::int64_t units() const { return m_units; }
    int places() const { return m_places; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }

    // The units of this value expressed with `places` places; nullopt when that
    // would lose digits or overflow.
    std::optional<std::int64_t> unitsAt(int places) const;
    // Rounded half away from zero to `places` places.
    Decimal rounded(int places) const;
    // The whole part, truncated toward zero.
    std::int64_t integerPart() const;

    // True when the value is representable in `digits` significant digits of
    // which `places` are after the point (DECIMAL(b, p) has 2b-1 digits).
    bool fits(int digits, int places) const;

    Decimal operator-() const;
    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
    Decimal& operator-=(const Decimal& other) { return *this = *this - other; }
    // Quotient rounded half away from zero to `places`; nullopt on division by zero.
    std::optional<Decimal> dividedBy(const Decimal& divisor, int places) const;

    bool operator==(const Decimal& other) const { return compare(other) == 0; }
    std::strong_ordering operator<=>(const Decimal& other) const;

    // Plain text: "-1234.50" (all places shown), no grouping.
    QString toString() const;

private:
    int compare(const Decimal& other) const;
    std::int64_t m_units = 0;
    int m_places = 0;
};

// Digits of a DECIMAL(bytes, places) field: packed decimals hold 2 digits a byte less one nibble for the sign.
constexpr int decimalDigitsOfBytes(int bytes)
{
    return 2 * bytes - 1;
}

std::int64_t powerOfTen(int exponent);

} // namespace fundora::platform
