#pragma once

#include "platform/server/ServerConnection.h"

#include <QProcess>

namespace fundora::test {

// Whether `process` came to wait for a lock on `table` (a qualified name)
// while it runs: asked of the server again and again, at most `looks` times,
// each look waiting a few milliseconds for the process's end. A process
// stopped there has done everything before that table and nothing after.
inline bool blockedOn(platform::ServerConnection& watcher, const QString& table, QProcess& process, int looks = 2000)
{
    for (int look = 0; look < looks && process.state() == QProcess::Running; ++look) {
        platform::ServerRows rows;
        if (!watcher.exec(QStringLiteral("SELECT count(*) FROM pg_locks WHERE relation = to_regclass($1) AND NOT granted"), {table}, &rows)
                 .ok())
            return false;
        if (rows.value(0, 0) == u"1")
            return true;
        process.waitForFinished(5);
    }
    return false;
}

// Whether another session holds `table` exclusively (it emptied it, uncommitted).
inline bool heldExclusively(platform::ServerConnection& watcher, const QString& table)
{
    platform::ServerRows rows;
    return watcher
               .exec(QStringLiteral("SELECT count(*) FROM pg_locks WHERE relation = to_regclass($1) AND mode = 'AccessExclusiveLock' AND "
                                    "granted AND pid <> pg_backend_pid()"),
                     {table}, &rows)
               .ok() &&
           rows.value(0, 0) == u"1";
}

} // namespace fundora::test
