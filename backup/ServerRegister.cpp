#include "backup/ServerRegister.h"

#include "platform/server/ServerTables.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"

#include <QDir>
#include <QFile>

namespace fundora::backup {

namespace {

namespace ErrorCode = platform::ErrorCode;
using platform::FileDef;
using platform::FileError;
using platform::ServerRows;
namespace schema = platform::schema;

// Rows fetched from the server, and copied to it, at a time.
constexpr int Batch = 2000;

bool isText(const platform::FieldDef& f)
{
    return f.type == platform::FieldType::String || f.type == platform::FieldType::Memo;
}

// The columns a record is copied by: the store's own three, then the fields (not the generated ones).
QStringList copiedColumns(const FileDef& def)
{
    QStringList columns{schema::quoted(QStringLiteral("id")), schema::quoted(QStringLiteral("seq")),
                        schema::quoted(QStringLiteral("rowversion"))};
    for (const platform::FieldDef& f : def.fields)
        columns << schema::quoted(f.column());
    return columns;
}

// The store's error, or a failure of its own when the store recorded none.
FileError storeError(const platform::Store& store, const QString& what)
{
    FileError e = store.lastError();
    if (e.ok())
        e = FileError::of(ErrorCode::StoreFailure, what);
    return e;
}

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
        outcome = writeTable(def, directory);
        if (outcome.ok())
            written << def.fileName();
    }
    m_connection.exec(outcome.ok() ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    return outcome;
}

FileError ServerRegister::writeTable(const FileDef& def, const QString& directory)
{
    QFile::remove(QDir(directory).filePath(def.fileName()));
    platform::Store store(directory, platform::Store::Link::None);
    if (FileError e = store.create(def); !e.ok())
        return e;
    if (FileError e = store.open(def); !e.ok())
        return e;
    const QStringList columns = copiedColumns(def);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    platform::StoreStatement* insert =
        store.cached(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(schema::qualifiedTable(def, store.schemaOf(def)), columns.join(u','), marks.join(u',')));
    if (!insert || !store.begin().ok())
        return storeError(store, def.fileName());
    const QString cursor = QStringLiteral("\"fundora_rows\"");
    FileError outcome = m_connection.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR SELECT %2 FROM %3 ORDER BY \"id\"")
                                              .arg(cursor, columns.join(u','), schema::qualifiedTable(def, m_schema)));
    ServerRows rows;
    while (outcome.ok()) {
        outcome = m_connection.exec(QStringLiteral("FETCH %1 FROM %2").arg(Batch).arg(cursor), {}, &rows);
        if (!outcome.ok() || rows.rows.empty())
            break;
        for (std::size_t r = 0; outcome.ok() && r < rows.rows.size(); ++r) {
            insert->reset();
            for (std::size_t c = 0; c < static_cast<std::size_t>(columns.size()); ++c) {
                const bool text = c >= 3 && isText(def.fields[c - 3]);
                if (text)
                    insert->bind(static_cast<int>(c) + 1, rows.value(r, c));
                else
                    insert->bind(static_cast<int>(c) + 1, static_cast<std::int64_t>(rows.value(r, c).toLongLong()));
            }
            if (const int result = insert->step(); result != platform::StoreStatement::Done)
                outcome = store.failure(result, *insert, def.fileName());
        }
    }
    if (outcome.ok())
        outcome = m_connection.exec(QStringLiteral("CLOSE ") + cursor);
    if (outcome.ok())
        outcome = store.commit();
    else
        store.rollback();
    store.close(def);
    if (!outcome.ok())
        QFile::remove(QDir(directory).filePath(def.fileName()));
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
    std::vector<FileDef> loaded;
    for (const QString& name : names) {
        if (const FileDef* def = byName(tables, name)) {
            loaded.push_back(*def);
        } else if (const FileDef* own = byName(known, name)) {
            // Made empty before the load, as a missing file is made: harmless if the load then stops.
            if (FileError e = platform::createServerTable(m_connection, *own, m_schema); !e.ok())
                return e;
            loaded.push_back(*own);
        } else {
            return FileError::of(ErrorCode::NoSuchFile,
                                 QStringLiteral("%1 is not a file of the register on %2: no program has made its table there, so its "
                                                "layout is not known. Start Fundora on the register and open what uses that file, then "
                                                "restore again.")
                                     .arg(name, shown()));
        }
    }
    // Every file is checked against its table's layout before anything changes.
    for (const FileDef& def : loaded) {
        platform::Store store(directory, platform::Store::Link::None);
        if (FileError e = store.open(def); !e.ok())
            return FileError::of(e.code,
                                 QStringLiteral("%1 does not fit the register's table %2: %3").arg(def.fileName(), def.label, e.text));
        store.close(def);
    }
    if (FileError e = m_connection.exec(QStringLiteral("BEGIN; SET LOCAL lock_timeout = 10000")); !e.ok())
        return e;
    FileError outcome = FileError::success();
    for (const FileDef& def : loaded) {
        if (progress)
            progress(def.fileName());
        outcome = loadTable(def, directory);
        if (!outcome.ok())
            break;
    }
    if (!outcome.ok()) {
        m_connection.exec(QStringLiteral("ROLLBACK"));
        return outcome;
    }
    return m_connection.exec(QStringLiteral("COMMIT"));
}

FileError ServerRegister::loadTable(const FileDef& def, const QString& directory)
{
    const QString table = schema::qualifiedTable(def, m_schema);
    // Above every version a station may hold of a record of this table.
    ServerRows highest;
    if (FileError e = m_connection.exec(QStringLiteral("SELECT COALESCE(MAX(\"rowversion\"), 0) FROM %1").arg(table), {}, &highest);
        !e.ok())
        return e;
    const std::int64_t raise = highest.value(0, 0).toLongLong();
    // The kept totals go with the records; the triggers make them again as the records come in.
    QString emptied = table;
    if (def.keptTotals)
        emptied += QStringLiteral(", ") + schema::qualifiedKeptTotals(def, m_schema);
    if (FileError e = m_connection.exec(QStringLiteral("TRUNCATE ") + emptied); !e.ok())
        return e;

    platform::Store store(directory, platform::Store::Link::None);
    if (FileError e = store.open(def); !e.ok())
        return e;
    const QStringList columns = copiedColumns(def);
    platform::StoreStatement* read = store.cached(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY \"id\"").arg(columns.join(u','), schema::qualifiedTable(def, store.schemaOf(def))));
    if (!read)
        return storeError(store, def.fileName());
    FileError readError = FileError::success();
    bool done = false;
    FileError outcome =
        m_connection.copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(u',')), [&](QByteArray& chunk) {
            for (int n = 0; n < Batch && !done; ++n) {
                const int result = read->step();
                if (result != platform::StoreStatement::Row) {
                    done = true;
                    if (result != platform::StoreStatement::Done)
                        readError = store.failure(result, *read, def.fileName());
                    break;
                }
                for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
                    if (c > 0)
                        chunk += '\t';
                    if (c >= 3 && isText(def.fields[static_cast<std::size_t>(c - 3)]))
                        platform::ServerConnection::appendCopyField(chunk, read->text(c).toUtf8());
                    else
                        chunk += QByteArray::number(static_cast<qlonglong>(read->integer(c) + (c == 2 ? raise : 0)));
                }
                chunk += '\n';
            }
            return !chunk.isEmpty() && readError.ok();
        });
    store.close(def);
    if (!readError.ok())
        return readError;
    if (!outcome.ok())
        return outcome;
    // New records are numbered above the loaded ones; stations see that the table changed.
    if (FileError e = m_connection.exec(
            QStringLiteral("SELECT setval(pg_get_serial_sequence($1, 'id'), COALESCE((SELECT MAX(\"id\") FROM %1), 0) + 1, false)")
                .arg(table),
            {table});
        !e.ok())
        return e;
    return m_connection.exec(QStringLiteral("SELECT nextval($1::regclass)"), {platform::changeCounter(def, m_schema)});
}

} // namespace fundora::backup
