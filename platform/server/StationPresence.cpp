#include "platform/server/StationPresence.h"

namespace fundora::platform {

QStringList StationPresence::keys() const
{
    return RegisterLocks::keys(RegisterLocks::Stations, m_schema);
}

FileError StationPresence::announce()
{
    ServerRows rows;
    if (FileError e = m_connection.exec(QStringLiteral("SELECT pg_try_advisory_lock_shared($1::int, hashtext($2))"), keys(), &rows);
        !e.ok())
        return e;
    if (rows.value(0, 0) != u"t")
        return FileError::of(ErrorCode::FileLocked, QStringLiteral("a restore of the register is running"));
    return FileError::success();
}

FileError StationPresence::others(int& count)
{
    // pg_locks shows a two-key advisory lock with the keys as classid and objid and objsubid 2.
    ServerRows rows;
    const FileError e = m_connection.exec(QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND database = "
                                                         "(SELECT oid FROM pg_database WHERE datname = current_database()) AND "
                                                         "classid = $1::int AND objid = hashtext($2)::oid AND objsubid = 2 AND mode = "
                                                         "'ShareLock' AND granted AND pid <> pg_backend_pid()"),
                                          keys(), &rows);
    count = e.ok() ? rows.value(0, 0).toInt() : 0;
    return e;
}

FileError StationPresence::holdAlone(bool& held)
{
    ServerRows rows;
    const FileError e = m_connection.exec(QStringLiteral("SELECT pg_try_advisory_lock($1::int, hashtext($2))"), keys(), &rows);
    held = e.ok() && rows.value(0, 0) == u"t";
    return e;
}

FileError StationPresence::release()
{
    return m_connection.exec(QStringLiteral("SELECT pg_advisory_unlock($1::int, hashtext($2))"), keys());
}

} // namespace fundora::platform
