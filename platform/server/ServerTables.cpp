#include "platform/server/ServerTables.h"

#include "platform/store/FileDefinitionText.h"
#include "platform/store/StoreSchema.h"

namespace fundora::platform {

namespace {

using schema::Dialect;

// The register's list of its files: every table a program made, with its layout.
QString fileList(const QString& schemaName)
{
    return schema::quoted(schemaName) + QStringLiteral(".\"fundora_files\"");
}

QString layoutComment(const FileDef& def)
{
    return QStringLiteral("fundora layout %1").arg(def.layoutVersion);
}

} // namespace

QString changeCounter(const FileDef& def, const QString& schemaName)
{
    return schema::quoted(schemaName) + u'.' + schema::quoted(def.label + QStringLiteral("_Changes"));
}

FileError checkServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName, bool& exists)
{
    // The columns in order, with their types as PostgreSQL writes them, and the table's comment: one query of the catalog.
    ServerRows rows;
    if (FileError e = connection.exec(QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), obj_description(c.oid, "
                                                     "'pg_class') FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid WHERE c.oid = "
                                                     "to_regclass($1) AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"),
                                      {schema::qualifiedTable(def, schemaName)}, &rows);
        !e.ok())
        return e;
    exists = !rows.rows.empty();
    if (!exists)
        return FileError::success();
    const std::vector<schema::ColumnShape> expected = schema::expectedColumns(def, Dialect::Postgres);
    bool same = rows.rows.size() == expected.size();
    for (std::size_t i = 0; same && i < expected.size(); ++i)
        same = rows.value(i, 0) == expected[i].name && rows.value(i, 1) == expected[i].type;
    if (!same)
        return FileError::of(ErrorCode::LayoutDiffers, QStringLiteral("%1: fields differ").arg(def.label));
    if (rows.value(0, 2) != layoutComment(def))
        return FileError::of(ErrorCode::LayoutDiffers,
                             QStringLiteral("%1: \"%2\", expected \"%3\"").arg(def.label, rows.value(0, 2), layoutComment(def)));
    return FileError::success();
}

FileError createServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName)
{
    // Made whole in one transaction; stations starting at once wait for each
    // other on a lock of the register's own and the later one finds it made.
    // Inside a transaction of the caller's it is a part of that one.
    const bool nested = connection.inTransaction();
    if (FileError e = connection.exec(nested ? QStringLiteral("SAVEPOINT fundora_table") : QStringLiteral("BEGIN")); !e.ok())
        return e;
    auto fail = [&](const FileError& e) {
        connection.exec(nested ? QStringLiteral("ROLLBACK TO SAVEPOINT fundora_table; RELEASE SAVEPOINT fundora_table")
                               : QStringLiteral("ROLLBACK"));
        return e;
    };
    ServerRows made;
    if (FileError e = connection.exec(QStringLiteral("SELECT pg_advisory_xact_lock($1::int, hashtext($2))"),
                                      RegisterLocks::keys(RegisterLocks::TableCreation, schemaName));
        !e.ok())
        return fail(e);
    if (FileError e = connection.exec(QStringLiteral("SELECT 1 FROM information_schema.tables WHERE table_schema = $1 AND table_name = $2"),
                                      {schemaName, def.label}, &made);
        !e.ok())
        return fail(e);
    if (made.rows.empty()) {
        const QString table = schema::qualifiedTable(def, schemaName);
        const QString counter = changeCounter(def, schemaName);
        const QString countFunction = schema::quoted(schemaName) + QStringLiteral(".\"fundora_count_change\"");
        // A role that owns the register's schema needs no right to make schemas in the database.
        ServerRows schemaMade;
        if (FileError e =
                connection.exec(QStringLiteral("SELECT to_regnamespace($1) IS NOT NULL"), {schema::quoted(schemaName)}, &schemaMade);
            !e.ok())
            return fail(e);
        QStringList create;
        if (schemaMade.value(0, 0) != u"t")
            create << QStringLiteral("CREATE SCHEMA ") + schema::quoted(schemaName);
        create << schema::createTable(def, schemaName, Dialect::Postgres);
        create << schema::createIndexes(def, schemaName, Dialect::Postgres)
               << schema::createSummaryIndexes(def, schemaName, Dialect::Postgres);
        if (def.keptTotals)
            create << schema::createKeptTotals(def, schemaName, Dialect::Postgres);
        create << QStringLiteral("CREATE SEQUENCE IF NOT EXISTS %1").arg(counter)
               << QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                                 "$$BEGIN PERFORM nextval(TG_ARGV[0]::regclass); RETURN NULL; END$$")
                      .arg(countFunction)
               << QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE ON %2 FOR EACH STATEMENT EXECUTE FUNCTION %3(%4)")
                      .arg(schema::quoted(def.label + QStringLiteral("_Changes")), table, countFunction, schema::textLiteral(counter))
               << QStringLiteral("COMMENT ON TABLE %1 IS '%2'").arg(table, layoutComment(def))
               << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"label\" text COLLATE \"C\" PRIMARY KEY, \"definition\" text NOT NULL)")
                      .arg(fileList(schemaName));
        for (const QString& sql : create)
            if (FileError e = connection.exec(sql); !e.ok())
                return fail(e);
        if (FileError e = connection.exec(QStringLiteral("INSERT INTO %1 VALUES ($1, $2) ON CONFLICT (\"label\") DO UPDATE SET "
                                                         "\"definition\" = EXCLUDED.\"definition\"")
                                              .arg(fileList(schemaName)),
                                          {def.label, QString::fromUtf8(definitionText(def))});
            !e.ok())
            return fail(e);
    }
    return connection.exec(nested ? QStringLiteral("RELEASE SAVEPOINT fundora_table") : QStringLiteral("COMMIT"));
}

FileError registerFiles(ServerConnection& connection, const QString& schemaName, std::vector<FileDef>& files)
{
    files.clear();
    ServerRows listed;
    if (FileError e = connection.exec(QStringLiteral("SELECT to_regclass($1) IS NOT NULL"), {fileList(schemaName)}, &listed); !e.ok())
        return e;
    if (listed.value(0, 0) != u"t")
        return FileError::success();
    ServerRows rows;
    if (FileError e = connection.exec(
            QStringLiteral("SELECT \"label\", \"definition\" FROM %1 ORDER BY \"label\"").arg(fileList(schemaName)), {}, &rows);
        !e.ok())
        return e;
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        QString why;
        std::optional<FileDef> def = definitionFromText(rows.value(i, 1).toUtf8(), &why);
        if (!def || def->label != rows.value(i, 0))
            return FileError::of(ErrorCode::LayoutDiffers,
                                 QStringLiteral("the layout kept for %1 is not one: %2").arg(rows.value(i, 0), why));
        bool exists = false;
        if (FileError e = checkServerTable(connection, *def, schemaName, exists); !e.ok())
            return e;
        if (exists)
            files.push_back(std::move(*def));
    }
    return FileError::success();
}

FileError openServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName)
{
    bool exists = false;
    if (FileError e = checkServerTable(connection, def, schemaName, exists); !e.ok() || exists)
        return e;
    if (FileError e = createServerTable(connection, def, schemaName); !e.ok())
        return e;
    return checkServerTable(connection, def, schemaName, exists);
}

} // namespace fundora::platform
