#pragma once

#include "core/DataFiles.h"

namespace fundora::core {

enum class AutonumberResult { Added, Cancelled, Failed };

// Takes the next account identifier for an insert: puts the insert defaults
// into the account buffer, numbers it one above the highest ACC:SysID (1 in an
// empty file) and adds it at once, so the number is taken before the user types.
// A failed add is tried three times, then warning 25 offers Retry or Cancel.
// A read failure other than end of file shows warning 35 (Failed).
AutonumberResult autonumberAccount(DataFiles& files);

} // namespace fundora::core
