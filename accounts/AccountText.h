#pragma once

#include "core/Account.h"

#include <QString>

namespace fundora::accounts {

// "VISA CARD", "MASTER CARD", ...; "CHARGE CARD" for any other letter.
QString cardTypeDescription(const QString& cardType);
// "st", "nd", "rd" or "th" after a billing day.
QString ordinalExtension(int day);
// "City, ST ZIP".
QString cityStateZip(const core::Account& account);
// A stored telephone number as it is dialled: "" for 0, the digits up to
// 9999, NNN-NNNN up to 9999999, (NNN) NNN-NNNN up to 9999999999, else the digits.
QString dialingFormat(const platform::Decimal& phone);

} // namespace fundora::accounts
