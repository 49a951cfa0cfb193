#pragma once

#include "core/DataFiles.h"

#include <QString>

namespace fundora::test {

// Books, changes and deletes transactions of account `sysId` for `seconds`
// through the transaction form's logic (the balance rule), as a user at
// another station would, and prints one summary line:
// "BOOKED <inserts> <changes> <deletes> <refused>", where refused counts the
// saves that another station's work stopped (each reported by its warning).
int runBookingWorker(core::DataFiles& files, std::int32_t sysId, int seconds, unsigned seed);

// One insert of `amount` (of `type`) on account `sysId` through the form's logic: true when saved.
bool bookTransaction(core::DataFiles& files, std::int32_t sysId, const QString& type, const platform::Decimal& amount);

} // namespace fundora::test
