#pragma once

#include <QString>

namespace fundora::backup {

// Removes what a run of the utility that ended abruptly (a crash, a power
// cut) left in the program directory: compressed temporaries (*.BKX,
// *.BKX.part, *.BKY), the compressor's working directories and the restore's
// staging directory. Every backup and restore run begins with it.
//
// A leftover directory is removed only when it is what the utility makes (a
// real directory owned by this user) and nothing below it is followed: a link
// planted under a leftover's name is removed as a link, and what it points to
// is never touched. A staging directory that an unfinished restore still
// names is kept for that restore to finish.
void removeLeftovers(const QString& programDirectory);

// The work directory of a run on a register on a server, in the user's own
// directory: ".vaultine-<process id>-XXXXXX" (for QTemporaryDir).
QString serverWorkTemplate(const QString& userDirectory);
// Removes, in the same careful way, the work directories that runs on a
// server left when they were killed: those whose process is gone. A copy
// working on another register meanwhile keeps its own.
void removeServerWorkLeftovers(const QString& userDirectory);

// Removes the restore's staging directory in the same careful way.
void removeStaging(const QString& programDirectory);

} // namespace fundora::backup
