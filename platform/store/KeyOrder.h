#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/Record.h"
#include "platform/store/StoreSchema.h"
#include "platform/store/StoreStatement.h"

#include <QStringList>

#include <vector>

namespace fundora::platform {

// Field values as the table holds them: money as units of its last place,
// texts without trailing blanks.
SqlValue toSql(const FieldDef& field, const FieldValue& value);
FieldValue fromSql(const FieldDef& field, const StoreStatement& row, int column);

// "id", "rowversion", then every field column: what a read selects.
QString selectList(const FileDef& def);
// Reads a row selected with selectList().
Record readRecord(const FileDef& def, const StoreStatement& row);

// The SQL view of one key: the columns that order it and the values a record
// has in them.
// Compares two values as the key's index does: numbers by value, texts by
// their UTF-8 bytes, with ASCII letters folded when the key ignores case.
int compareSqlValues(const SqlValue& a, const SqlValue& b, bool noCase);

class KeyOrder {
public:
    KeyOrder(const FileDef& def, int key, schema::Dialect dialect = schema::Dialect::Sqlite);

    int key() const { return m_key; }
    bool unique() const { return m_unique; }
    bool noCase() const { return m_noCase; }
    int componentCount() const { return static_cast<int>(m_parts.size()); }
    const std::vector<KeyPart>& parts() const { return m_parts; }

    // The first `n` ordering columns as an SQL row value "(a, b)". n may count "seq" for non-unique keys.
    QString tuple(int n) const { return tuple(0, n); }
    // Ordering columns [from, to) as a row value.
    QString tuple(int from, int to) const;
    // Placeholders for values of ordering columns [from, to), as a row value
    // "(?, ?)": on the server a text without case is folded as its column is.
    QString marks(int from, int to) const;
    QString marks(int n) const { return marks(0, n); }
    // ORDER BY list, ascending or descending throughout.
    QString orderBy(bool descending) const;
    int orderColumnCount() const { return static_cast<int>(m_columns.size()); }

    // The values a record has in the first `n` key components (negated where the
    // component descends, as the index holds them).
    std::vector<SqlValue> values(const Record& r, int n) const;

private:
    const FileDef* m_def;
    int m_key;
    bool m_unique;
    bool m_noCase;
    std::vector<KeyPart> m_parts;
    QStringList m_columns;
    QStringList m_marks;
};

} // namespace fundora::platform
