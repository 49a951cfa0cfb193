#pragma once

#include "core/DataFiles.h"
#include "platform/Dates.h"
#include "platform/Decimal.h"

#include <vector>

namespace fundora::statements {

// The interest the next statement will charge, estimated from the register
// by the average daily balance method: each day of the cycle counts the
// balance at its end (a credit balance counts 0), the average of those days
// bears APR / 365 a day. With the grace period (the previous statement's
// balance paid in full by its due date) neither that balance nor the cycle's
// purchases bear any: only its other charges (fees), less its payments.
struct CycleInterest {
    bool estimated = false; // false: no cycle (no statement and no billing day)
    platform::DayNumber start = 0;
    platform::DayNumber end = 0; // the next closing date
    int days = 0;
    platform::Decimal averageDailyBalance = platform::Decimal::fromUnits(0, 2);
    platform::Decimal rate = platform::Decimal::fromUnits(0, 2); // APR, percent
    platform::Decimal interest = platform::Decimal::fromUnits(0, 2);
    bool grace = false;
    // Why there is or is not a grace period, for the breakdown.
    QString graceReason;

    // "14.32 by the average daily balance: 1,205.40 over 30 days (11/15/2026 to 12/14/2026) at 14.90 % a year, no grace period: ..."
    QString breakdown() const;
};

// One entry of the cycle: its date, its stored amount (payments negative) and
// whether it is a purchase (a charge, type C).
struct CycleEntry {
    platform::DayNumber date = 0;
    platform::Decimal amount = platform::Decimal::fromUnits(0, 2);
    bool purchase = false;
};

// The cycle's interest from the balance at the end of the day before `start`
// and the entries dated from `start` to `end` (in any order; others are left
// out). Rounded half away from zero to the cent once, at the end.
CycleInterest averageDailyBalanceInterest(platform::DayNumber start, platform::DayNumber end, const platform::Decimal& opening,
                                          const std::vector<CycleEntry>& entries, const platform::Decimal& rate, bool grace);

// The estimate for an account today: the cycle from the day after its latest
// statement's closing date (without one, after the last billing day) to the
// next billing day; when that is past (a statement not yet reconciled), the
// cycle that runs today. Transactions and Statements must be open.
platform::FileError cycleInterestOf(core::DataFiles& files, const core::Account& account, platform::DayNumber today, CycleInterest& out);

} // namespace fundora::statements
