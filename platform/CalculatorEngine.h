#pragma once

#include "platform/Decimal.h"

#include <QString>

#include <optional>

namespace fundora::platform {

// The pocket-calculator logic behind the popup calculator, in exact decimal
// arithmetic: digits and a point build the entry, an operator applies the
// pending one (left to right), "=" finishes. Division keeps 9 places.
class CalculatorEngine {
public:
    void clear();
    void start(const QString& value);
    void digit(int d);
    void point();
    void negate();
    void backspace();
    // '+', '-', '*', '/'
    void operation(QChar op);
    void equals();

    QString display() const;
    bool hasError() const { return m_error; }

private:
    std::optional<Decimal> entryValue() const;
    void apply();

    QString m_entry; // what is being typed ("" when showing a result)
    Decimal m_accumulator;
    QChar m_pending; // operator waiting for its right operand
    bool m_showingResult = true;
    bool m_error = false;
};

} // namespace fundora::platform
