#pragma once

#include "platform/Dates.h"

#include <QString>

namespace fundora::sample {

// What makeSampleRegister made, for the message that follows it.
struct SampleSummary {
    int accounts = 0;
    int transactions = 0;
    int statements = 0;
};

// Makes a register to explore every window in `directory` (made with mode
// 0700 when missing): three cards of different kinds with eighteen months of
// dated charges, payments, fees and interest up to `today`, a reconciled
// statement a month per card (one finished with an accepted difference), a
// draft statement, memo cards and lines imported from a bank's file. Every
// entry goes through the same commits as the windows' (so every balance is
// the sum of its transactions); the same `today` gives the same register.
// Refuses a directory that already holds a data file (*.TPS): returns an
// empty text when done, else why not.
QString makeSampleRegister(const QString& directory, platform::DayNumber today, SampleSummary* summary = nullptr);

} // namespace fundora::sample
