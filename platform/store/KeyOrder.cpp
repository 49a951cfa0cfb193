#include "platform/store/KeyOrder.h"

#include "platform/store/StoreSchema.h"

namespace fundora::platform {

SqlValue toSql(const FieldDef& field, const FieldValue& value)
{
    switch (field.type) {
    case FieldType::String:
    case FieldType::Memo: {
        QString s = std::holds_alternative<QString>(value) ? std::get<QString>(value) : QString();
        while (s.endsWith(u' '))
            s.chop(1);
        return s;
    }
    case FieldType::Decimal: {
        const Decimal d = std::holds_alternative<Decimal>(value)        ? std::get<Decimal>(value)
                          : std::holds_alternative<std::int64_t>(value) ? Decimal::fromInteger(std::get<std::int64_t>(value))
                                                                        : Decimal();
        return d.rounded(field.places).units();
    }
    default:
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return *i;
        if (const auto* d = std::get_if<Decimal>(&value))
            return d->integerPart();
        return std::int64_t{0};
    }
}

FieldValue fromSql(const FieldDef& field, const StoreStatement& row, int column)
{
    switch (field.type) {
    case FieldType::String:
    case FieldType::Memo: return row.text(column);
    case FieldType::Decimal: return Decimal::fromUnits(row.integer(column), field.places);
    default: return row.integer(column);
    }
}

QString selectList(const FileDef& def)
{
    QStringList cols{QStringLiteral("\"id\""), QStringLiteral("\"rowversion\"")};
    for (const FieldDef& f : def.fields)
        cols << schema::quoted(f.column());
    return cols.join(QStringLiteral(", "));
}

Record readRecord(const FileDef& def, const StoreStatement& row)
{
    Record r;
    r.identity.row = row.integer(0);
    r.identity.version = row.integer(1);
    r.values.reserve(def.fields.size());
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i)
        r.values.push_back(fromSql(def.fields[static_cast<std::size_t>(i)], row, i + 2));
    return r;
}

int compareSqlValues(const SqlValue& a, const SqlValue& b, bool noCase)
{
    if (a.index() != b.index())
        return a.index() < b.index() ? -1 : 1; // numbers sort before texts
    if (const auto* x = std::get_if<std::int64_t>(&a)) {
        const std::int64_t y = std::get<std::int64_t>(b);
        return *x < y ? -1 : (*x > y ? 1 : 0);
    }
    const QByteArray x = std::get<QString>(a).toUtf8();
    const QByteArray y = std::get<QString>(b).toUtf8();
    const qsizetype n = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < n; ++i) {
        unsigned char cx = static_cast<unsigned char>(x[i]);
        unsigned char cy = static_cast<unsigned char>(y[i]);
        if (noCase) {
            if (cx >= 'A' && cx <= 'Z')
                cx = static_cast<unsigned char>(cx + 32);
            if (cy >= 'A' && cy <= 'Z')
                cy = static_cast<unsigned char>(cy + 32);
        }
        if (cx != cy)
            return cx < cy ? -1 : 1;
    }
    return x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
}

KeyOrder::KeyOrder(const FileDef& def, int key, schema::Dialect dialect)
    : m_def(&def), m_key(key), m_unique(def.keys.at(static_cast<std::size_t>(key)).unique),
      m_noCase(def.keys.at(static_cast<std::size_t>(key)).noCase), m_parts(def.keys.at(static_cast<std::size_t>(key)).parts),
      m_columns(schema::orderColumns(def, key, dialect))
{
    for (const KeyPart& part : m_parts)
        m_marks << schema::orderValue(def, part, QStringLiteral("?"), dialect);
    while (m_marks.size() < m_columns.size()) // "seq"
        m_marks << QStringLiteral("?");
}

QString KeyOrder::marks(int from, int to) const
{
    return u'(' + m_marks.mid(from, to - from).join(QStringLiteral(", ")) + u')';
}

QString KeyOrder::tuple(int from, int to) const
{
    return u'(' + m_columns.mid(from, to - from).join(QStringLiteral(", ")) + u')';
}

QString KeyOrder::orderBy(bool descending) const
{
    QStringList out;
    for (const QString& c : m_columns)
        out << (descending ? c + QStringLiteral(" DESC") : c);
    return out.join(QStringLiteral(", "));
}

std::vector<SqlValue> KeyOrder::values(const Record& r, int n) const
{
    std::vector<SqlValue> out;
    for (int i = 0; i < n && i < static_cast<int>(m_parts.size()); ++i) {
        const KeyPart& p = m_parts[static_cast<std::size_t>(i)];
        SqlValue v = toSql(m_def->fields.at(static_cast<std::size_t>(p.field)), r.values.at(static_cast<std::size_t>(p.field)));
        if (p.descending)
            v = -std::get<std::int64_t>(v);
        out.push_back(std::move(v));
    }
    return out;
}

} // namespace fundora::platform
