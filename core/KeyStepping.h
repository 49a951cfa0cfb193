#pragma once

#include <QString>

#include <cstdint>

namespace fundora::core {

// 100 text values spread evenly between a lowest and a highest key, for a
// scroll thumb over a text key. Text is read as a number whose digits are the
// characters of a chosen set (base: set size + 1), four characters after the
// prefix the two values share.
class KeyStepper {
public:
    enum Flags { Letters = 1, Punctuation = 2, Digits = 4, LowerCase = 8 };

    // `lettersOnly` replaces `flags` by Letters.
    void setup(const QString& lowest, const QString& highest, int maxLength, int flags, bool lettersOnly = false);
    // The next of the 100 values: the lowest first, the highest last.
    QString next();

    const QString& characterSet() const { return m_set; }
    const QString& prefix() const { return m_prefix; }

private:
    std::int64_t toNumber(const QString& part) const;
    QString toPart(std::int64_t value) const;

    QString m_set;
    QString m_prefix;
    QString m_lowPart;
    QString m_highPart;
    std::int64_t m_low = 0;
    std::int64_t m_high = 0;
    std::int64_t m_step = 0;
    int m_counter = 0;
};

} // namespace fundora::core
