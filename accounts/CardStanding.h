#pragma once

#include "core/DataFiles.h"

namespace fundora::accounts {

// Where a card stands today: its last statement's balance and due date with
// the days left, the minimum payment and what has been paid since the
// statement closed, and how much of the credit limit the current balance uses.
struct CardStanding {
    enum class Level { Normal, High, Critical }; // below 80 %, from 80 %, from 95 % of the limit

    bool hasStatement = false;
    platform::Decimal statementBalance = platform::Decimal::fromUnits(0, 2);
    platform::DayNumber closingDate = 0;
    platform::DayNumber dueDate = 0; // 0: the statement gave none
    platform::Decimal minimumPayment = platform::Decimal::fromUnits(0, 2);
    // Payments and credits dated after the closing date, as a positive amount.
    platform::Decimal paidSince = platform::Decimal::fromUnits(0, 2);

    bool hasLimit = false;
    int usedPercent = 0; // of the limit, rounded down; 0 for a credit balance
    Level level = Level::Normal;
};

// Reads the account's latest statement and its payments since. The files
// Transactions and Statements must be open.
platform::FileError cardStandingOf(core::DataFiles& files, const core::Account& account, CardStanding& out);
// The share of the limit a balance uses, and how that share is coloured.
void setCreditUsed(CardStanding& standing, const platform::Decimal& balance, const platform::Decimal& limit);

// How the statement's payment stands: "nothing due" (no minimum), "minimum paid"
// (the payments since the statement reach it), else "due today", "due
// tomorrow", "due in 5 days", "overdue by 1 day", "overdue by 2 days".
QString dueText(const CardStanding& standing, platform::DayNumber today);

} // namespace fundora::accounts
