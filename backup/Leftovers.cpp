#include "backup/Leftovers.h"

#include "backup/RestoreRun.h"

#include <QDir>

namespace fundora::backup {

void removeLeftovers(const QString& programDirectory)
{
    QDir dir(programDirectory);
    // Without regard to case, as the utility names them.
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        const QString upper = name.toUpper();
        if (upper.endsWith(QStringLiteral(".BKX")) || upper.endsWith(QStringLiteral(".BKX.PART")) || upper.endsWith(QStringLiteral(".BKY")))
            dir.remove(name);
    }
    for (const QString& name : dir.entryList({QStringLiteral(".pklaunch.*"), RestoreRun::StagingName}, QDir::Dirs | QDir::Hidden))
        QDir(dir.filePath(name)).removeRecursively();
}

} // namespace fundora::backup
