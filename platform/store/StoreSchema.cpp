#include "platform/store/StoreSchema.h"

namespace fundora::platform::schema {

namespace {

QString declaredType(const FieldDef& f)
{
    return (f.type == FieldType::String || f.type == FieldType::Memo) ? QStringLiteral("TEXT") : QStringLiteral("INTEGER");
}

QString negatedColumn(const FieldDef& f)
{
    return QStringLiteral("neg_") + f.column();
}

} // namespace

QString quoted(const QString& identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString table(const FileDef& def)
{
    return quoted(def.label);
}

QString qualifiedTable(const FileDef& def, const QString& schemaName)
{
    return quoted(schemaName) + u'.' + table(def);
}

QString orderColumn(const FileDef& def, const KeyPart& part)
{
    const FieldDef& f = def.fields.at(static_cast<std::size_t>(part.field));
    return quoted(part.descending ? negatedColumn(f) : f.column());
}

QString indexName(const FileDef& def, int key)
{
    QString name = def.keys.at(static_cast<std::size_t>(key)).name;
    name.replace(u':', u'_');
    return name;
}

QStringList orderColumns(const FileDef& def, int key)
{
    const KeyDef& k = def.keys.at(static_cast<std::size_t>(key));
    QStringList cols;
    for (const KeyPart& p : k.parts)
        cols << orderColumn(def, p);
    if (!k.unique)
        cols << QStringLiteral("\"seq\"");
    return cols;
}

QString createTable(const FileDef& def, const QString& schemaName)
{
    QStringList cols{QStringLiteral("\"id\" INTEGER PRIMARY KEY AUTOINCREMENT"), QStringLiteral("\"seq\" INTEGER NOT NULL"),
                     QStringLiteral("\"rowversion\" INTEGER NOT NULL DEFAULT 1")};
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i) {
        const FieldDef& f = def.fields[static_cast<std::size_t>(i)];
        QString col = quoted(f.column()) + u' ' + declaredType(f) + QStringLiteral(" NOT NULL DEFAULT ");
        col += declaredType(f) == QStringLiteral("TEXT") ? QStringLiteral("''") : QStringLiteral("0");
        if (def.fieldIsNoCase(i))
            col += QStringLiteral(" COLLATE NOCASE");
        cols << col;
    }
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i) {
        const FieldDef& f = def.fields[static_cast<std::size_t>(i)];
        if (def.fieldIsDescending(i))
            cols << quoted(negatedColumn(f)) + QStringLiteral(" INTEGER GENERATED ALWAYS AS (-") + quoted(f.column()) +
                        QStringLiteral(") VIRTUAL");
    }
    return QStringLiteral("CREATE TABLE ") + qualifiedTable(def, schemaName) + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) +
           QStringLiteral(")");
}

QStringList createIndexes(const FileDef& def, const QString& schemaName)
{
    QStringList out;
    for (int k = 0; k < static_cast<int>(def.keys.size()); ++k) {
        const KeyDef& key = def.keys[static_cast<std::size_t>(k)];
        out << QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                   .arg(key.unique ? QStringLiteral("UNIQUE ") : QString(), quoted(schemaName), quoted(indexName(def, k)), table(def),
                        orderColumns(def, k).join(QStringLiteral(", ")));
    }
    return out;
}

QStringList createSummaryIndexes(const FileDef& def, const QString& schemaName)
{
    QStringList out;
    for (std::size_t i = 0; i < def.summaryIndexes.size(); ++i) {
        QStringList cols;
        for (int field : def.summaryIndexes[i])
            cols << quoted(def.fields.at(static_cast<std::size_t>(field)).column());
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS %1.%2 ON %3 (%4)")
                   .arg(quoted(schemaName), quoted(QStringLiteral("%1_Summary%2").arg(def.label).arg(i + 1)), table(def),
                        cols.join(QStringLiteral(", ")));
    }
    for (const FileDef::FixedFieldKey& fixed : def.fixedFieldKeys) {
        const FieldDef& field = def.fields.at(static_cast<std::size_t>(fixed.field));
        QStringList cols = orderColumns(def, fixed.key);
        cols.insert(fixed.components, quoted(field.column()));
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS %1.%2 ON %3 (%4)")
                   .arg(quoted(schemaName), quoted(indexName(def, fixed.key) + u'_' + field.column()), table(def),
                        cols.join(QStringLiteral(", ")));
    }
    return out;
}

QString keptTotalsTable(const FileDef& def)
{
    return def.label + QStringLiteral("_Totals");
}

QStringList keptTotalsObjects(const FileDef& def)
{
    const QString t = keptTotalsTable(def);
    return {t, t + QStringLiteral("_Insert"), t + QStringLiteral("_Update"), t + QStringLiteral("_Delete")};
}

namespace {

// The totals of the whole file (no group field) are one row, keyed by a column of zero.
const QString WholeFile = QStringLiteral("\"Whole\"");

QStringList groupColumns(const FileDef& def)
{
    QStringList cols;
    for (int field : def.keptTotals->groupFields)
        cols << quoted(def.fields.at(static_cast<std::size_t>(field)).column());
    if (cols.isEmpty())
        cols << WholeFile;
    return cols;
}

// What a record (`row`: new or old) has in a group column.
QString groupValue(const QString& row, const QString& column)
{
    return column == WholeFile ? QStringLiteral("0") : row + u'.' + column;
}

QString sumColumn(const FileDef& def)
{
    return quoted(def.fields.at(static_cast<std::size_t>(def.keptTotals->sumField)).column());
}

// The statements of a trigger body that add `sign` (+ or -) times the record `row` (new or old) to its group.
QString moveGroup(const FileDef& def, const QString& row, QChar sign)
{
    const QStringList groups = groupColumns(def);
    QStringList values, match;
    for (const QString& g : groups) {
        values << groupValue(row, g);
        match << g + QStringLiteral(" = ") + groupValue(row, g);
    }
    const QString table = quoted(keptTotalsTable(def));
    QString sql;
    if (sign == u'+')
        sql += QStringLiteral("INSERT OR IGNORE INTO %1 (%2, \"Count\", \"Sum\") VALUES (%3, 0, 0); ")
                   .arg(table, groups.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
    sql += QStringLiteral("UPDATE %1 SET \"Count\" = \"Count\" %2 1, \"Sum\" = \"Sum\" %2 %3.%4 WHERE %5; ")
               .arg(table, QString(sign), row, sumColumn(def), match.join(QStringLiteral(" AND ")));
    return sql;
}

} // namespace

QStringList createKeptTotals(const FileDef& def, const QString& schemaName)
{
    const QStringList names = keptTotalsObjects(def);
    QStringList columns;
    for (int field : def.keptTotals->groupFields) {
        const FieldDef& f = def.fields.at(static_cast<std::size_t>(field));
        // The same types and collations as the records' columns, so that a filter compares alike in both.
        columns << quoted(f.column()) + u' ' + declaredType(f) + QStringLiteral(" NOT NULL") +
                       (def.fieldIsNoCase(field) ? QStringLiteral(" COLLATE NOCASE") : QString());
    }
    if (def.keptTotals->groupFields.empty())
        columns << WholeFile + QStringLiteral(" INTEGER NOT NULL");
    columns << QStringLiteral("\"Count\" INTEGER NOT NULL") << QStringLiteral("\"Sum\" INTEGER NOT NULL");
    const QString on = QStringLiteral(" ON ") + table(def) + QStringLiteral(" BEGIN ");
    const QString target = quoted(schemaName) + u'.';
    QStringList watched = groupColumns(def);
    watched << sumColumn(def);
    return {QStringLiteral("CREATE TABLE %1%2 (%3, PRIMARY KEY (%4)) WITHOUT ROWID")
                .arg(target, quoted(names[0]), columns.join(QStringLiteral(", ")), groupColumns(def).join(QStringLiteral(", "))),
            QStringLiteral("CREATE TRIGGER ") + target + quoted(names[1]) + QStringLiteral(" AFTER INSERT") + on +
                moveGroup(def, QStringLiteral("new"), u'+') + QStringLiteral("END"),
            QStringLiteral("CREATE TRIGGER ") + target + quoted(names[2]) + QStringLiteral(" AFTER UPDATE OF ") +
                watched.join(QStringLiteral(", ")) + on + moveGroup(def, QStringLiteral("old"), u'-') +
                moveGroup(def, QStringLiteral("new"), u'+') + QStringLiteral("END"),
            QStringLiteral("CREATE TRIGGER ") + target + quoted(names[3]) + QStringLiteral(" AFTER DELETE") + on +
                moveGroup(def, QStringLiteral("old"), u'-') + QStringLiteral("END")};
}

QString fillKeptTotals(const FileDef& def, const QString& schemaName)
{
    const QString target = quoted(schemaName) + u'.' + quoted(keptTotalsTable(def));
    if (def.keptTotals->groupFields.empty())
        return QStringLiteral("INSERT INTO %1 (%2, \"Count\", \"Sum\") SELECT 0, COUNT(*), IFNULL(SUM(%3), 0) FROM %4")
            .arg(target, WholeFile, sumColumn(def), qualifiedTable(def, schemaName));
    const QString groups = groupColumns(def).join(QStringLiteral(", "));
    return QStringLiteral("INSERT INTO %1 (%2, \"Count\", \"Sum\") SELECT %2, COUNT(*), SUM(%3) FROM %4 GROUP BY %2")
        .arg(target, groups, sumColumn(def), qualifiedTable(def, schemaName));
}

std::vector<ColumnShape> expectedColumns(const FileDef& def)
{
    std::vector<ColumnShape> cols{{QStringLiteral("id"), QStringLiteral("INTEGER")},
                                  {QStringLiteral("seq"), QStringLiteral("INTEGER")},
                                  {QStringLiteral("rowversion"), QStringLiteral("INTEGER")}};
    for (const FieldDef& f : def.fields)
        cols.push_back({f.column(), declaredType(f)});
    for (int i = 0; i < static_cast<int>(def.fields.size()); ++i)
        if (def.fieldIsDescending(i))
            cols.push_back({negatedColumn(def.fields[static_cast<std::size_t>(i)]), QStringLiteral("INTEGER")});
    return cols;
}

} // namespace fundora::platform::schema
