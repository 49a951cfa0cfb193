#pragma once

#include "backup/ContainerRecord.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace fundora::backup {

// What a restore checks before it writes anything.

// A name from a container that is safe to write in the program directory: a
// plain file name, no directory part, no "..", no drive.
bool isPlainFileName(const QString& name);
// A name the restore may write: a plain name of a data file (ending in .TPS).
bool isRestorableName(const QString& name);

// Disk 1 of a set: a set older than the last backup made is restored only
// when the user says so (and then may bring the set numbers into sync, which
// changes the set the further disks are checked against); a set written by
// another version of the format is refused.
struct FirstDiskVerdict {
    bool go = true;
    std::int32_t expectedSet = 0; // the number the next disks' sets are checked against, plus one
    QString stopReason;
};
// `showSyncHelp` shows the help on bringing set numbers into sync.
FirstDiskVerdict checkFirstDisk(const ContainerHeader& header, std::int32_t expectedSet, const std::function<void()>& showSyncHelp);

} // namespace fundora::backup
