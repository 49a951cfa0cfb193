#include "platform/store/DataFile.h"

#include "platform/store/KeyOrder.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"

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
    const schema::Dialect dialect = m_store.dialect();
    QStringList columns{QStringLiteral("\"id\""), QStringLiteral("\"seq\""), QStringLiteral("\"rowversion\"")};
    QStringList values{QStringLiteral("m"), QStringLiteral("m"), QStringLiteral("1")};
    for (const FieldDef& field : m_def.fields) {
        columns << schema::quoted(field.column());
        values << schema::valueMark(field, dialect);
    }
    const QString schemaName = m_store.schemaOf(m_def);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM (%4) AS n")
                            .arg(schema::qualifiedTable(m_def, schemaName), columns.join(QStringLiteral(", ")),
                                 values.join(QStringLiteral(", ")), schema::newRowNumber(m_def, schemaName, dialect)) +
                        schema::returningRow(dialect);
    std::int64_t row = 0;
    if (FileError e = write(sql, r, {}, &row); !e.ok())
        return e;
    r.identity.row = row;
    r.identity.version = 1;
    return m_store.note(FileError::success());
}

FileError DataFile::write(const QString& sql, const Record& r, const std::vector<std::int64_t>& after, std::int64_t* row)
{
    int index = 1;
    if (!r.values.empty()) {
        for (std::size_t i = 0; i < m_def.fields.size(); ++i)
            if (FileError e = checkFieldValue(m_def.fields[i], r.values[i]); !e.ok())
                return m_store.note(e);
    }
    StoreStatement* s = m_store.cached(sql);
    if (!s)
        return m_store.lastError();
    for (std::size_t i = 0; i < r.values.size(); ++i)
        s->bind(index++, toSql(m_def.fields[i], r.values[i]));
    for (std::int64_t value : after)
        s->bind(index++, value);
    int rc = s->step();
    while (rc == StoreStatement::Row) // the rows a write on the server returns
        rc = s->step();
    if (rc != StoreStatement::Done) {
        const FileError e = m_store.failure(rc, *s, m_def.label);
        s->reset();
        return e;
    }
    // No row changed: the record's version moved on.
    const bool wrote = s->changedRows() > 0;
    if (wrote && row)
        *row = s->insertedRow();
    s->reset();
    if (!wrote)
        return m_store.note(FileError::of(ErrorCode::ChangedElsewhere));
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
    for (const FieldDef& field : m_def.fields)
        assignments << schema::quoted(field.column()) + QStringLiteral(" = ?");
    assignments << QStringLiteral("\"rowversion\" = \"rowversion\" + 1");
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE \"id\" = ? AND \"rowversion\" = ?")
                            .arg(schema::qualifiedTable(m_def, m_store.schemaOf(m_def)), assignments.join(QStringLiteral(", "))) +
                        schema::returningRow(m_store.dialect());
    if (FileError e = write(sql, r, {r.identity.row, r.identity.version}); !e.ok())
        return e;
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
                            .arg(schema::qualifiedTable(m_def, m_store.schemaOf(m_def))) +
                        schema::returningRow(m_store.dialect());
    return write(sql, Record(), {r.identity.row, r.identity.version});
}

FileError DataFile::get(int key, const Record& keyValues, Record& out)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    const KeyOrder order(m_def, key, m_store.dialect());
    const int n = order.componentCount();
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = %4 ORDER BY %5 LIMIT 1")
                            .arg(selectList(m_def), schema::qualifiedTable(m_def, m_store.schemaOf(m_def)), order.tuple(n), order.marks(n),
                                 order.orderBy(false));
    return readOne(sql, order.values(keyValues, n), out);
}

FileError DataFile::readOne(const QString& sql, const std::vector<SqlValue>& values, Record& out)
{
    StoreStatement* s = m_store.cached(sql);
    if (!s)
        return m_store.lastError();
    s->bindAll(values);
    const int rc = s->step();
    if (rc == StoreStatement::Row)
        out = readRecord(m_def, *s);
    const FileError e = rc == StoreStatement::Row    ? FileError::success()
                        : rc == StoreStatement::Done ? FileError::of(ErrorCode::RecordNotFound)
                                                     : m_store.failure(rc, *s, m_def.label);
    s->reset();
    return m_store.note(e);
}

FileError DataFile::fetch(std::int64_t row, Record& out)
{
    if (FileError e = checkOpen(); !e.ok())
        return e;
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2 WHERE \"id\" = ?").arg(selectList(m_def), schema::qualifiedTable(m_def, m_store.schemaOf(m_def)));
    return readOne(sql, {row}, out);
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
    p.values =
        KeyOrder(m_def, key, m_store.dialect()).values(r, static_cast<int>(m_def.keys.at(static_cast<std::size_t>(key)).parts.size()));
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
    StoreStatement* s = m_store.cached(QStringLiteral("SELECT %1 FROM %2").arg(expression, table));
    if (!s)
        return m_store.lastError();
    const int rc = s->step();
    if (rc == StoreStatement::Row)
        out = s->integer(0);
    const FileError e = rc == StoreStatement::Row ? FileError::success() : m_store.failure(rc, *s, m_def.label);
    s->reset();
    return m_store.note(e);
}

FileError DataFile::count(std::int64_t& out)
{
    if (m_store.keepsTotals(m_def))
        return aggregate(QStringLiteral("COALESCE(SUM(\"Count\"), 0)"), out, true);
    return aggregate(QStringLiteral("COUNT(*)"), out);
}

FileError DataFile::sum(int field, std::int64_t& out)
{
    if (m_store.keepsTotals(m_def) && m_def.keepsTotalsOf({}, field))
        return aggregate(QStringLiteral("COALESCE(SUM(\"Sum\"), 0)"), out, true);
    return aggregate(QStringLiteral("COALESCE(SUM(%1), 0)").arg(schema::quoted(m_def.fields.at(static_cast<std::size_t>(field)).column())),
                     out);
}

} // namespace fundora::platform
