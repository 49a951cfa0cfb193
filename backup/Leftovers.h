#pragma once

#include <QString>

namespace fundora::backup {

// Removes what a run of the utility that ended abruptly (a crash, a power
// cut) left in the program directory: compressed temporaries (*.BKX,
// *.BKX.part, *.BKY), the compressor's working directories and the restore's
// staging directory. Every backup and restore run begins with it.
void removeLeftovers(const QString& programDirectory);

} // namespace fundora::backup
