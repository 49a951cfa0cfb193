#include "platform/store/DataFile.h"

#include "platform/store/KeyOrder.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"

#include <sqlite3.h>

namespace fundora::platform {

namespace {
constexpr int QuickScanRows = 256;
}

DataFile::DataFile(Store& store, FileDef def) : m_store(store), m_def(std::move(def))
{
}

bool DataFile::isOpen() const
{
    return m_store.isOpen(m_def);
}

FileError DataFile::checkOpen() const
{
    if (isOpen())
        return FileError::success();
    return m_store.note(FileError::of(ErrorCode::FileNotOpen, m_def.label));
}

FileError DataFile::open()
{
    return m_store.open(m_def);
}

FileError DataFile::create()
{
    return m_store.create(m_def);
}

FileError DataFile::close()
{
    m_cursor.reset();
    return m_store.close(m_def);
}

FileError DataFile::rebuildKeys()
{
    return m_store.rebuildKeys(m_def);
}

FileError DataFile::sendOption(const QString& option)
{
    const QString o = option.trimmed();
    if (o.compare(QStringLiteral("QUICKSCAN=on"), Qt::CaseInsensitive) == 0 ||
        o.compare(QStringLiteral("QUICKSCAN=off"), Qt::CaseInsensitive) == 0) {
        m_readAhead = o.endsWith(QStringLiteral("on"), Qt::CaseInsensitive) ? QuickScanRows : 1;
        if (m_cursor)
            m_cursor->setReadAhead(m_readAhead);
        return m_store.note(FileError::success());
    }
    return m_store.sendOption(m_def, o);
}

FileError DataFile::add(Record& r)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    if (r.values.size() != m_def.fields.size())
        return m_store.note(FileError::of(ErrorCode::InvalidValue, QStringLiteral("record of another layout")));
    QStringList columns{QStringLiteral("\"id\""), QStringLiteral("\"seq\""), QStringLiteral("\"rowversion\"")};
    QStringList values{QStringLiteral("m"), QStringLiteral("m"), QStringLiteral("1")};
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        if (FileError e = checkFieldValue(m_def.fields[i], r.values[i]); !e.ok())
            return m_store.note(e);
        columns << schema::quoted(m_def.fields[i].column());
        values << QStringLiteral("?");
    }
    const QString table = schema::qualifiedTable(m_def, m_store.schemaOf(m_def));
    // The new row number is one above the highest ever given (the table's
    // sequence remembers deleted ones), so a row number is never reused.
    const QString sequence = schema::quoted(m_store.schemaOf(m_def)) + QStringLiteral(".sqlite_sequence");
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM (SELECT MAX(IFNULL((SELECT \"seq\" FROM %4 WHERE "
                                       "\"name\" = %5), 0), IFNULL(MAX(\"id\"), 0)) + 1 AS m FROM %1)")
                            .arg(table, columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")), sequence,
                                 QStringLiteral("'") + m_def.label + QStringLiteral("'"));
    FileError error;
    Statement& s = m_store.cached(sql, &error);
    if (!error.ok())
        return error;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        s.bind(static_cast<int>(i) + 1, toSql(m_def.fields[i], r.values[i]));
    const int rc = s.step();
    s.reset();
    if (rc != SQLITE_DONE)
        return m_store.fromSqlite(rc, m_def.label);
    r.identity.row = sqlite3_last_insert_rowid(m_store.handle());
    r.identity.version = 1;
    return m_store.note(FileError::success());
}

FileError DataFile::put(Record& r)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    if (!r.identity.isStored())
        return m_store.note(FileError::of(ErrorCode::RecordNotFound, QStringLiteral("the record was not read")));
    if (r.values.size() != m_def.fields.size())
        return m_store.note(FileError::of(ErrorCode::InvalidValue, QStringLiteral("record of another layout")));
    QStringList assignments;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        if (FileError e = checkFieldValue(m_def.fields[i], r.values[i]); !e.ok())
            return m_store.note(e);
        assignments << schema::quoted(m_def.fields[i].column()) + QStringLiteral(" = ?");
    }
    assignments << QStringLiteral("\"rowversion\" = \"rowversion\" + 1");
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE \"id\" = ? AND \"rowversion\" = ?")
                            .arg(schema::qualifiedTable(m_def, m_store.schemaOf(m_def)), assignments.join(QStringLiteral(", ")));
    FileError error;
    Statement& s = m_store.cached(sql, &error);
    if (!error.ok())
        return error;
    int index = 1;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i)
        s.bind(index++, toSql(m_def.fields[i], r.values[i]));
    s.bind(index++, r.identity.row);
    s.bind(index++, r.identity.version);
    const int rc = s.step();
    s.reset();
    if (rc != SQLITE_DONE)
        return m_store.fromSqlite(rc, m_def.label);
    if (sqlite3_changes(m_store.handle()) == 0)
        return m_store.note(FileError::of(ErrorCode::ChangedElsewhere));
    ++r.identity.version;
    return m_store.note(FileError::success());
}

FileError DataFile::remove(const Record& r)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    if (!r.identity.isStored())
        return m_store.note(FileError::of(ErrorCode::RecordNotFound, QStringLiteral("the record was not read")));
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE \"id\" = ? AND \"rowversion\" = ?")
                            .arg(schema::qualifiedTable(m_def, m_store.schemaOf(m_def)));
    FileError error;
    Statement& s = m_store.cached(sql, &error);
    if (!error.ok())
        return error;
    s.bind(1, r.identity.row);
    s.bind(2, r.identity.version);
    const int rc = s.step();
    s.reset();
    if (rc != SQLITE_DONE)
        return m_store.fromSqlite(rc, m_def.label);
    if (sqlite3_changes(m_store.handle()) == 0)
        return m_store.note(FileError::of(ErrorCode::ChangedElsewhere));
    return m_store.note(FileError::success());
}

FileError DataFile::get(int key, const Record& keyValues, Record& out)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    const KeyOrder order(m_def, key);
    const int n = order.componentCount();
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = (%4) ORDER BY %5 LIMIT 1")
                            .arg(selectList(m_def), schema::qualifiedTable(m_def, m_store.schemaOf(m_def)), order.tuple(n),
                                 QStringList(n, QStringLiteral("?")).join(u','), order.orderBy(false));
    FileError error;
    Statement& s = m_store.cached(sql, &error);
    if (!error.ok())
        return error;
    s.bindAll(order.values(keyValues, n));
    const int rc = s.step();
    if (rc == SQLITE_ROW)
        out = readRecord(m_def, s);
    s.reset();
    if (rc == SQLITE_ROW)
        return m_store.note(FileError::success());
    if (rc == SQLITE_DONE)
        return m_store.note(FileError::of(ErrorCode::RecordNotFound));
    return m_store.fromSqlite(rc, m_def.label);
}

FileError DataFile::fetch(std::int64_t row, Record& out)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE \"id\" = ?").arg(selectList(m_def), schema::qualifiedTable(m_def, m_store.schemaOf(m_def)));
    FileError error;
    Statement& s = m_store.cached(sql, &error);
    if (!error.ok())
        return error;
    s.bind(1, row);
    const int rc = s.step();
    if (rc == SQLITE_ROW)
        out = readRecord(m_def, s);
    s.reset();
    if (rc == SQLITE_ROW)
        return m_store.note(FileError::success());
    if (rc == SQLITE_DONE)
        return m_store.note(FileError::of(ErrorCode::RecordNotFound));
    return m_store.fromSqlite(rc, m_def.label);
}

FileError DataFile::reget(const QString& position, Record& out)
{
    const auto p = Position::decode(position);
    if (!p)
        return m_store.note(FileError::of(ErrorCode::RecordNotFound, QStringLiteral("bad position")));
    return fetch(p->row, out);
}

QString DataFile::position(int key, const Record& r) const
{
    Position p;
    p.key = key;
    p.row = r.identity.row;
    p.values = KeyOrder(m_def, key).values(r, static_cast<int>(m_def.keys.at(static_cast<std::size_t>(key)).parts.size()));
    return p.encode();
}

View& DataFile::cursor(int key)
{
    if (!m_cursor || m_cursor->key() != key) {
        m_cursor = std::make_unique<View>(*this, key);
        m_cursor->setReadAhead(m_readAhead);
    }
    return *m_cursor;
}

void DataFile::set(int key)
{
    cursor(key).toStart();
}

void DataFile::set(int key, const Record& keyValues)
{
    cursor(key).toValue(keyValues);
}

FileError DataFile::reset(int key, const QString& position)
{
    return cursor(key).toPosition(position);
}

FileError DataFile::next(Record& out)
{
    if (!m_cursor)
        return m_store.note(FileError::of(ErrorCode::EndOfFile, QStringLiteral("no key set")));
    return m_cursor->next(out);
}

FileError DataFile::previous(Record& out)
{
    if (!m_cursor)
        return m_store.note(FileError::of(ErrorCode::EndOfFile, QStringLiteral("no key set")));
    return m_cursor->previous(out);
}

FileError DataFile::aggregate(const QString& expression, std::int64_t& out, bool fromKeptTotals)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    const QString schemaName = m_store.schemaOf(m_def);
    const QString table = fromKeptTotals ? schema::qualifiedKeptTotals(m_def, schemaName) : schema::qualifiedTable(m_def, schemaName);
    FileError error;
    Statement& s = m_store.cached(QStringLiteral("SELECT %1 FROM %2").arg(expression, table), &error);
    if (!error.ok())
        return error;
    const int rc = s.step();
    if (rc == SQLITE_ROW)
        out = s.integer(0);
    s.reset();
    return rc == SQLITE_ROW ? m_store.note(FileError::success()) : m_store.fromSqlite(rc, m_def.label);
}

FileError DataFile::count(std::int64_t& out)
{
    if (m_store.keepsTotals(m_def))
        return aggregate(QStringLiteral("IFNULL(SUM(\"Count\"), 0)"), out, true);
    return aggregate(QStringLiteral("COUNT(*)"), out);
}

FileError DataFile::sum(int field, std::int64_t& out)
{
    if (m_store.keepsTotals(m_def) && m_def.keepsTotalsOf({}, field))
        return aggregate(QStringLiteral("IFNULL(SUM(\"Sum\"), 0)"), out, true);
    return aggregate(QStringLiteral("IFNULL(SUM(%1), 0)").arg(schema::quoted(m_def.fields.at(static_cast<std::size_t>(field)).column())),
                     out);
}

} // namespace fundora::platform
