#pragma once

#include "platform/Decimal.h"

#include <QStringView>

#include <optional>

namespace fundora::platform {

// Reads an amount as a person or a bank writes it. The one rule of every
// place an amount is typed or imported (the forms, the statement window, the
// statement files):
//   - a sign: "-" before or after the number, "+" before it, or the number
//     in parentheses for a negative amount; then "$" may come;
//   - grouping marks (the comma where the point is "." and the other way
//     round) only between groups of three digits: "1,234.56" is read,
//     "1,2" is refused, never taken for 12;
//   - at most twelve digits before the point, and at most `places` after
//     it, unless the further ones are zeros ("12.340" is 12.34; "12.345" is
//     refused, never rounded).
// `point` is "." or ",". nullopt for anything else, an empty text included
// (callers decide what an empty entry means).
std::optional<Decimal> readMoney(QStringView text, int places, QChar point = u'.');

} // namespace fundora::platform
