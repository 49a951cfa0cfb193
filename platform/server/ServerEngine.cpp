#include "platform/server/ServerEngine.h"

#include "platform/server/ServerTables.h"
#include "platform/store/StoreSchema.h"

namespace fundora::platform {

ServerEngine::ServerEngine(QString uri, QString schemaName)
    : m_connection(std::move(uri)), m_schema(std::move(schemaName)), m_presence(m_connection, m_schema)
{
}

FileError ServerEngine::announce()
{
    if (m_connection.isConnected() && m_announcedIn == m_connection.sessions())
        return FileError::success();
    if (FileError e = m_connection.connect(); !e.ok())
        return e;
    if (FileError e = m_presence.announce(); !e.ok())
        return e;
    m_announcedIn = m_connection.sessions();
    return FileError::success();
}

FileError ServerEngine::open(const FileDef& def, std::chrono::milliseconds wait, bool& keepsTotals)
{
    Q_UNUSED(wait); // opening takes no lock another station holds long
    keepsTotals = false;
    if (FileError e = announce(); !e.ok())
        return e;
    // A table this store checked once is not checked again when a window opens it anew.
    if (const auto checked = m_checked.find(def.label); checked != m_checked.end()) {
        keepsTotals = *checked;
    } else {
        if (FileError e = check(def, keepsTotals); !e.ok())
            return e;
        m_checked.insert(def.label, keepsTotals);
    }
    m_counters.insert(def.label, changeCounter(def, m_schema));
    return FileError::success();
}

FileError ServerEngine::check(const FileDef& def, bool& keepsTotals)
{
    bool exists = false;
    if (FileError e = checkServerTable(m_connection, def, m_schema, exists); !e.ok())
        return e;
    if (!exists)
        return FileError::of(ErrorCode::NoSuchFile, def.label);
    if (!def.keptTotals)
        return FileError::success();
    ServerRows totals;
    if (FileError e =
            m_connection.exec(QStringLiteral("SELECT to_regclass($1) IS NOT NULL"), {schema::qualifiedKeptTotals(def, m_schema)}, &totals);
        !e.ok())
        return e;
    keepsTotals = totals.value(0, 0) == QStringLiteral("t");
    return FileError::success();
}

FileError ServerEngine::create(const FileDef& def)
{
    return createServerTable(m_connection, def, m_schema);
}

void ServerEngine::close(const FileDef& def)
{
    m_counters.remove(def.label);
}

FileError ServerEngine::rebuildKeys(const FileDef& def)
{
    return m_connection.exec(QStringLiteral("REINDEX TABLE ") + schema::qualifiedTable(def, m_schema));
}

FileError ServerEngine::begin(std::chrono::milliseconds wait)
{
    if (FileError e = announce(); !e.ok())
        return e;
    // Another station's row locks are waited for this long, then the statement fails (32).
    const FileError e = m_connection.exec(QStringLiteral("BEGIN; SET LOCAL lock_timeout = %1").arg(wait.count()));
    if (!e.ok() && m_connection.inTransaction())
        m_connection.exec(QStringLiteral("ROLLBACK"));
    return e;
}

FileError ServerEngine::commit()
{
    return m_connection.exec(QStringLiteral("COMMIT"));
}

void ServerEngine::rollback()
{
    m_connection.exec(QStringLiteral("ROLLBACK"));
}

FileError ServerEngine::exec(const QString& sql)
{
    return m_connection.exec(sql);
}

StoreStatement* ServerEngine::cached(const QString& sql, FileError& error)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end())
        it = m_statements.insert(sql, std::make_shared<ServerStatement>(m_connection, sql));
    error = FileError::success();
    return it->get();
}

FileError ServerEngine::failure(int result, const StoreStatement& statement, const QString& context)
{
    Q_UNUSED(result);
    FileError e = static_cast<const ServerStatement&>(statement).error();
    // A key taken and a lock waited for too long say no more than their code, as on the files;
    // what else failed says where.
    if (e.code == ErrorCode::DuplicateKey || e.code == ErrorCode::FileLocked)
        return FileError::of(e.code);
    if (!context.isEmpty() && e.code == ErrorCode::StoreFailure)
        e.text = context + QStringLiteral(": ") + e.text;
    return e;
}

std::uint64_t ServerEngine::generation()
{
    // The sum of the open tables' change counters: every write moves one on,
    // this station's or another's, committed or not (a rolled back write only
    // costs the lists one reading more).
    if (m_counters.isEmpty())
        return m_generation;
    QStringList parts;
    for (const QString& counter : std::as_const(m_counters))
        parts << QStringLiteral("(SELECT last_value FROM %1)").arg(counter);
    ServerRows sum;
    if (m_connection.exec(QStringLiteral("SELECT ") + parts.join(QStringLiteral(" + ")), {}, &sum).ok())
        m_generation = sum.value(0, 0).toULongLong();
    return m_generation;
}

void ServerEngine::observeStatements(std::function<void(const char*)> observer)
{
    m_connection.observe(std::move(observer));
}

} // namespace fundora::platform
