#include "backup/ServerRegister.h"

#include "platform/server/ServerTables.h"
#include "platform/server/TableCopy.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"

namespace fundora::backup {

namespace {

namespace ErrorCode = platform::ErrorCode;
using platform::FileDef;
using platform::FileError;
using platform::ServerRows;
namespace schema = platform::schema;

} // namespace

ServerRegister::ServerRegister(const platform::RegisterPlace& place)
    : m_connection(place.serverUri), m_schema(place.serverSchema), m_presence(m_connection, m_schema)
{
}

QString ServerRegister::shown() const
{
    return QStringLiteral("%1 (schema %2)").arg(m_connection.shownUri(), m_schema);
}

FileError ServerRegister::holdUtility(bool& held)
{
    ServerRows rows;
    const FileError e = m_connection.exec(QStringLiteral("SELECT pg_try_advisory_lock($1::int, hashtext($2))"),
                                          platform::RegisterLocks::keys(platform::RegisterLocks::Utility, m_schema), &rows);
    held = e.ok() && rows.value(0, 0) == u"t";
    return e;
}

FileError ServerRegister::stations(int& count)
{
    return m_presence.others(count);
}

FileError ServerRegister::holdAlone(bool& held)
{
    return m_presence.holdAlone(held);
}

void ServerRegister::release()
{
    m_presence.release();
}

FileError ServerRegister::writeFiles(const QString& directory, QStringList& written, const QStringList& only)
{
    // One snapshot of every table, however long the copy takes; it writes nothing, so it waits for no station.
    if (FileError e = m_connection.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")); !e.ok())
        return e;
    std::vector<FileDef> files;
    FileError outcome = platform::registerFiles(m_connection, m_schema, files);
    for (const FileDef& def : files) {
        if (!outcome.ok())
            break;
        if (!only.isEmpty() && !only.contains(def.fileName(), Qt::CaseInsensitive))
            continue;
        outcome = platform::copyTableToFile(m_connection, m_schema, def, directory);
        if (outcome.ok())
            written << def.fileName();
    }
    m_connection.exec(outcome.ok() ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    return outcome;
}

FileError ServerRegister::loadFiles(const QString& directory, const QStringList& names, const std::vector<FileDef>& known,
                                    const std::function<void(const QString& file)>& progress)
{
    std::vector<FileDef> tables;
    if (FileError e = platform::registerFiles(m_connection, m_schema, tables); !e.ok())
        return e;
    auto byName = [](const std::vector<FileDef>& defs, const QString& name) -> const FileDef* {
        for (const FileDef& def : defs)
            if (def.fileName().compare(name, Qt::CaseInsensitive) == 0)
                return &def;
        return nullptr;
    };
    std::vector<FileDef> loaded, missing;
    for (const QString& name : names) {
        if (const FileDef* def = byName(tables, name)) {
            loaded.push_back(*def);
        } else if (const FileDef* own = byName(known, name)) {
            loaded.push_back(*own);
            missing.push_back(*own);
        } else {
            return FileError::of(ErrorCode::NoSuchFile,
                                 QStringLiteral("%1 is not a file of the register on %2: no program has made its table there, so its "
                                                "layout is not known. Start Fundora on the register and open what uses that file, then "
                                                "restore again.")
                                     .arg(name, shown()));
        }
    }
    // Every file is checked against its table's layout before anything changes.
    platform::Store files(directory, platform::Store::Link::None);
    for (const FileDef& def : loaded)
        if (FileError e = files.open(def); !e.ok())
            return FileError::of(e.code,
                                 QStringLiteral("%1 does not fit the register's table %2: %3").arg(def.fileName(), def.label, e.text));
    if (FileError e = m_connection.exec(QStringLiteral("BEGIN; SET LOCAL lock_timeout = 10000")); !e.ok())
        return e;
    // A table the register lacks is made within the load: a load that stops leaves none.
    FileError outcome = FileError::success();
    for (const FileDef& def : missing)
        if (outcome.ok())
            outcome = platform::createServerTable(m_connection, def, m_schema);
    for (const FileDef& def : loaded) {
        if (!outcome.ok())
            break;
        if (progress)
            progress(def.fileName());
        // Above every version a station may hold of a record of this table.
        ServerRows highest;
        outcome = m_connection.exec(
            QStringLiteral("SELECT COALESCE(MAX(\"rowversion\"), 0) FROM %1").arg(schema::qualifiedTable(def, m_schema)), {}, &highest);
        if (outcome.ok())
            outcome = platform::copyFileToTable(m_connection, m_schema, def, files, highest.value(0, 0).toLongLong());
        if (!outcome.ok())
            break;
    }
    if (!outcome.ok()) {
        m_connection.exec(QStringLiteral("ROLLBACK"));
        return outcome;
    }
    return m_connection.exec(QStringLiteral("COMMIT"));
}

} // namespace fundora::backup
