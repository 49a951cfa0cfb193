#include "platform/server/TableCopy.h"

#include "platform/server/ServerTables.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <functional>

namespace fundora::platform {

namespace {

// Rows fetched from the server, and copied to it, at a time.
constexpr int Batch = 2000;
const QString Cursor = QStringLiteral("\"fundora_rows\"");

// Where a record's columns (schema::recordColumns) hold its version, and after which its fields begin.
constexpr int VersionColumn = 2;

bool textColumn(const FileDef& def, int column)
{
    return column > VersionColumn && schema::isText(def.fields[static_cast<std::size_t>(column - VersionColumn - 1)]);
}

// The store's error, or a failure of its own when the store recorded none.
FileError storeError(const Store& store, const QString& what)
{
    FileError e = store.lastError();
    if (e.ok())
        e = FileError::of(ErrorCode::StoreFailure, what);
    return e;
}

// Runs one statement of the store's own without values or rows.
FileError execute(Store& store, const QString& sql)
{
    StoreStatement* statement = store.cached(sql);
    if (!statement)
        return storeError(store, sql);
    const int result = statement->step();
    statement->reset();
    return result == StoreStatement::Done ? FileError::success() : store.failure(result, *statement, sql);
}

// Takes the keys, summary indexes and kept totals off the new, empty file of
// `def` (in the store's transaction), to be made again over its records.
FileError dropKeysAndTotals(Store& store, const FileDef& def)
{
    const QString fileSchema = schema::quoted(store.schemaOf(def));
    StoreStatement* list = store.cached(
        QStringLiteral(
            "SELECT type, name FROM %1.sqlite_master WHERE type IN ('index', 'trigger', 'table') AND sql IS NOT NULL AND name <> ? "
            "AND name NOT LIKE 'sqlite%'")
            .arg(fileSchema));
    if (!list)
        return storeError(store, def.fileName());
    list->bind(1, def.label);
    QStringList drops;
    while (list->step() == StoreStatement::Row)
        drops << QStringLiteral("DROP %1 %2.%3").arg(list->text(0).toUpper(), fileSchema, schema::quoted(list->text(1)));
    list->reset();
    for (const QString& sql : drops)
        if (FileError e = execute(store, sql); !e.ok())
            return e;
    return FileError::success();
}

// Calls `row` with every record of the table of `def` in row order, as text, a batch at a time through a cursor.
FileError forEachTableRow(ServerConnection& connection, const QString& schemaName, const FileDef& def,
                          const std::function<FileError(const ServerRows&, std::size_t)>& row)
{
    // A cursor lives in a transaction: one of its own when the caller has none.
    const bool own = !connection.inTransaction();
    if (own)
        if (FileError e = connection.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")); !e.ok())
            return e;
    FileError outcome = connection.exec(QStringLiteral("DECLARE %1 NO SCROLL CURSOR FOR SELECT %2 FROM %3 ORDER BY \"id\"")
                                            .arg(Cursor, schema::recordColumns(def).join(u','), schema::qualifiedTable(def, schemaName)));
    ServerRows rows;
    while (outcome.ok()) {
        outcome = connection.exec(QStringLiteral("FETCH %1 FROM %2").arg(Batch).arg(Cursor), {}, &rows);
        if (!outcome.ok() || rows.rows.empty())
            break;
        for (std::size_t r = 0; outcome.ok() && r < rows.rows.size(); ++r)
            outcome = row(rows, r);
    }
    if (outcome.ok())
        outcome = connection.exec(QStringLiteral("CLOSE ") + Cursor);
    if (own)
        connection.exec(QStringLiteral("ROLLBACK")); // it read only
    return outcome;
}

// Adds a record's row number and fields (not its version) to a digest, each value ended by a NUL.
void addToDigest(QCryptographicHash& hash, int column, const QString& value)
{
    if (column == VersionColumn)
        return;
    hash.addData(value.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
}

} // namespace

FileError copyTableToFile(ServerConnection& connection, const QString& schemaName, const FileDef& def, const QString& directory)
{
    const QString path = QDir(directory).filePath(def.fileName());
    QFile::remove(path);
    Store store(directory, Store::Link::None);
    if (FileError e = store.create(def); !e.ok())
        return e;
    if (FileError e = store.open(def); !e.ok())
        return e;
    const QStringList columns = schema::recordColumns(def);
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    StoreStatement* insert = store.cached(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                              .arg(schema::qualifiedTable(def, store.schemaOf(def)), columns.join(u','), marks.join(u',')));
    if (!insert || !store.begin().ok())
        return storeError(store, def.fileName());
    // The keys and kept totals are built once over all the records, after them: several times faster
    // than keeping each up to date record by record.
    const QString fileSchema = store.schemaOf(def);
    FileError outcome = dropKeysAndTotals(store, def);
    if (outcome.ok())
        outcome = forEachTableRow(connection, schemaName, def, [&](const ServerRows& rows, std::size_t r) {
            insert->reset();
            for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
                if (textColumn(def, c))
                    insert->bind(c + 1, rows.value(r, static_cast<std::size_t>(c)));
                else
                    insert->bind(c + 1, static_cast<std::int64_t>(rows.value(r, static_cast<std::size_t>(c)).toLongLong()));
            }
            const int result = insert->step();
            return result == StoreStatement::Done ? FileError::success() : store.failure(result, *insert, def.fileName());
        });
    QStringList rebuild = schema::createIndexes(def, fileSchema) + schema::createSummaryIndexes(def, fileSchema);
    if (def.keptTotals)
        rebuild << schema::createKeptTotals(def, fileSchema) << schema::fillKeptTotals(def, fileSchema);
    for (const QString& sql : rebuild)
        if (outcome.ok())
            outcome = execute(store, sql);
    if (outcome.ok())
        outcome = store.commit();
    else
        store.rollback();
    store.close(def);
    if (!outcome.ok())
        QFile::remove(path);
    return outcome;
}

FileError copyFileToTable(ServerConnection& connection, const QString& schemaName, const FileDef& def, Store& store,
                          std::int64_t raiseVersions)
{
    const QString table = schema::qualifiedTable(def, schemaName);
    // The kept totals go with the records; the triggers make them again as the records come in.
    QString emptied = table;
    if (def.keptTotals)
        emptied += QStringLiteral(", ") + schema::qualifiedKeptTotals(def, schemaName);
    if (FileError e = connection.exec(QStringLiteral("TRUNCATE ") + emptied); !e.ok())
        return e;
    // The keys (all but the row's) are made again after the records, over all of them at once, as the
    // catalog has them; the table is the transaction's alone since the TRUNCATE.
    ServerRows keys;
    if (FileError e = connection.exec(QStringLiteral("SELECT i.indexrelid::regclass::text, pg_get_indexdef(i.indexrelid) FROM pg_index i "
                                                     "WHERE i.indrelid = to_regclass($1) AND NOT i.indisprimary"),
                                      {table}, &keys);
        !e.ok())
        return e;
    for (std::size_t k = 0; k < keys.rows.size(); ++k)
        if (FileError e = connection.exec(QStringLiteral("DROP INDEX ") + keys.value(k, 0)); !e.ok())
            return e;
    // So are the kept totals, where this role may switch their trigger off (it owns the table);
    // elsewhere the trigger keeps them record by record.
    bool totalsAfter = false;
    if (def.keptTotals) {
        const QString trigger = schema::quoted(schema::keptTotalsTable(def) + QStringLiteral("_Keep"));
        totalsAfter =
            connection.exec(QStringLiteral("SAVEPOINT fundora_totals; ALTER TABLE %1 DISABLE TRIGGER %2").arg(table, trigger)).ok();
        if (FileError e = connection.exec(totalsAfter ? QStringLiteral("RELEASE SAVEPOINT fundora_totals")
                                                      : QStringLiteral("ROLLBACK TO SAVEPOINT fundora_totals"));
            !e.ok())
            return e;
    }

    const QStringList columns = schema::recordColumns(def);
    StoreStatement* read = store.cached(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY \"id\"").arg(columns.join(u','), schema::qualifiedTable(def, store.schemaOf(def))));
    if (!read)
        return storeError(store, def.fileName());
    FileError readError = FileError::success();
    bool done = false;
    const FileError outcome =
        connection.copyIn(QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(u',')), [&](QByteArray& chunk) {
            for (int n = 0; n < Batch && !done; ++n) {
                const int result = read->step();
                if (result != StoreStatement::Row) {
                    done = true;
                    if (result != StoreStatement::Done)
                        readError = store.failure(result, *read, def.fileName());
                    break;
                }
                for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
                    if (c > 0)
                        chunk += '\t';
                    if (textColumn(def, c))
                        ServerConnection::appendCopyField(chunk, read->text(c).toUtf8());
                    else
                        chunk += QByteArray::number(static_cast<qlonglong>(read->integer(c) + (c == VersionColumn ? raiseVersions : 0)));
                }
                chunk += '\n';
            }
            return !chunk.isEmpty() && readError.ok();
        });
    read->reset();
    if (!readError.ok())
        return readError;
    if (!outcome.ok())
        return outcome;
    for (std::size_t k = 0; k < keys.rows.size(); ++k)
        if (FileError e = connection.exec(keys.value(k, 1)); !e.ok())
            return e;
    if (totalsAfter) {
        const QString trigger = schema::quoted(schema::keptTotalsTable(def) + QStringLiteral("_Keep"));
        for (const QString& sql :
             {schema::fillKeptTotals(def, schemaName), QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER %2").arg(table, trigger)})
            if (FileError e = connection.exec(sql); !e.ok())
                return e;
    }
    // New records are numbered above the copied ones; stations see that the table changed.
    if (FileError e = connection.exec(
            QStringLiteral("SELECT setval(pg_get_serial_sequence($1, 'id'), COALESCE((SELECT MAX(\"id\") FROM %1), 0) + 1, false)")
                .arg(table),
            {table});
        !e.ok())
        return e;
    return connection.exec(QStringLiteral("SELECT nextval($1::regclass)"), {changeCounter(def, schemaName)});
}

FileError digestOfTable(ServerConnection& connection, const QString& schemaName, const FileDef& def, RecordDigest& digest)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    digest = {};
    const int columns = static_cast<int>(schema::recordColumns(def).size());
    const FileError e = forEachTableRow(connection, schemaName, def, [&](const ServerRows& rows, std::size_t r) {
        for (int c = 0; c < columns; ++c)
            addToDigest(hash, c, rows.value(r, static_cast<std::size_t>(c)));
        ++digest.records;
        return FileError::success();
    });
    digest.hash = hash.result();
    return e;
}

FileError digestOfFile(Store& store, const FileDef& def, RecordDigest& digest)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    digest = {};
    const QStringList columns = schema::recordColumns(def);
    StoreStatement* read = store.cached(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY \"id\"").arg(columns.join(u','), schema::qualifiedTable(def, store.schemaOf(def))));
    if (!read)
        return storeError(store, def.fileName());
    int result = StoreStatement::Row;
    while ((result = read->step()) == StoreStatement::Row) {
        for (int c = 0; c < static_cast<int>(columns.size()); ++c)
            addToDigest(hash, c, textColumn(def, c) ? read->text(c) : QString::number(read->integer(c)));
        ++digest.records;
    }
    FileError outcome = result == StoreStatement::Done ? FileError::success() : store.failure(result, *read, def.fileName());
    read->reset();
    digest.hash = hash.result();
    return outcome;
}

} // namespace fundora::platform
