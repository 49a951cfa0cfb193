#pragma once

#include "platform/Dates.h"
#include "platform/Decimal.h"

#include <QString>

#include <optional>

namespace fundora::statements {

// The texts the statement windows and questions show figures in.
// A date as mm/dd/yyyy; day 0 (none) as an empty text.
QString dateText(platform::DayNumber day);
// Money as "$1,234.56", negative "-$12.00".
QString moneyText(const platform::Decimal& amount);

} // namespace fundora::statements

namespace fundora::statements {

// An amount as a user types it from a statement: "1234.56", "1,234.56",
// "$1,234.56", "-20", "(20.00)" for a negative one; at most two places.
// Nothing (or only blanks) is `empty`.
std::optional<platform::Decimal> parseMoney(const QString& text, const platform::Decimal& empty);
// What a money entry accepts, for the line that says why one was refused.
QString moneyHint();

} // namespace fundora::statements
