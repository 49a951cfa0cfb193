#pragma once

#include "platform/store/FileDefinition.h"

#include <QString>
#include <QStringList>

// How a FileDef is laid out as one SQLite table. Every table has three columns
// of the store's own besides the fields: "id" (the row), "seq" (a copy of id
// that indexes carry as their last component, so every key order is total and
// a page can be sought in the index), and "rowversion" (raised by every write).
// A descending numeric key component is indexed through a generated column
// holding the negated value, so that every index is ascending.
namespace fundora::platform::schema {

inline constexpr int ApplicationId = 0x46554e44; // "FUND": marks a file of this program

// Which SQL the statements are written in: a register in a directory is
// SQLite's, one on a server PostgreSQL's. A text key component without case
// orders the same on both: SQLite's NOCASE folds ASCII letters only and then
// compares bytes; on the server the text is stored with the "C" collation
// (byte order) and ordered by a stored generated column "lc_<field>" holding
// lower() of it, which under "C" also folds ASCII letters only.
enum class Dialect { Sqlite, Postgres };

QString quoted(const QString& identifier);
// Whether a field holds text (a string or a memo); every other field is a whole number.
bool isText(const FieldDef& field);
// The quoted columns that make up a record as stored: "id", "seq", "rowversion",
// then every field (not the generated columns), in that order.
QStringList recordColumns(const FileDef& def);
// A text as an SQL literal in single quotes (for names the store made itself, where a parameter cannot go).
QString textLiteral(const QString& text);
QString table(const FileDef& def);
QString qualifiedTable(const FileDef& def, const QString& schemaName);
// The quoted column a key component orders by.
QString orderColumn(const FileDef& def, const KeyPart& part, Dialect dialect = Dialect::Sqlite);
// What a value bound as `parameter` is compared with `orderColumn` as: on the
// server a text without case is folded as its column is.
QString orderValue(const FileDef& def, const KeyPart& part, const QString& parameter, Dialect dialect = Dialect::Sqlite);
QString indexName(const FileDef& def, int key);
// The columns that make a key's order total: its components, and "seq" unless the key is unique.
QStringList orderColumns(const FileDef& def, int key, Dialect dialect = Dialect::Sqlite);

QString createTable(const FileDef& def, const QString& schemaName, Dialect dialect = Dialect::Sqlite);
QStringList createIndexes(const FileDef& def, const QString& schemaName, Dialect dialect = Dialect::Sqlite);
// The summary indexes and the keys kept within a fixed field, "IF NOT EXISTS"
// (an older file gets them when it opens).
QStringList createSummaryIndexes(const FileDef& def, const QString& schemaName, Dialect dialect = Dialect::Sqlite);

// A query of one row whose column "m" is the row number a new record takes:
// one above the highest ever given, so that a row number is never reused
// (SQLite's sequence remembers deleted rows; the server's identity sequence
// never goes back).
QString newRowNumber(const FileDef& def, const QString& schemaName, Dialect dialect);
// What ends the store's writes: on the server " RETURNING \"id\"", so that
// the statement says which rows it changed (StoreStatement::changedRows);
// nothing in SQLite, which says it without (and runs faster so).
QString returningRow(Dialect dialect);
// The placeholder of a value of `field` where nothing around it says its type
// (an INSERT's SELECT list): on the server it says it.
QString valueMark(const FieldDef& field, Dialect dialect);

// The kept totals (FileDef::keptTotals): the table's name, the table and the
// three triggers that keep it (one statement each), the statement that fills
// it from the records, and the names of the four.
QString keptTotalsTable(const FileDef& def);
QString qualifiedKeptTotals(const FileDef& def, const QString& schemaName);
// On the server the three triggers are one trigger and its PL/pgSQL function,
// and a text group is kept exactly (in the "C" collation), as filters compare it.
QStringList createKeptTotals(const FileDef& def, const QString& schemaName, Dialect dialect = Dialect::Sqlite);
// The same on both engines.
QString fillKeptTotals(const FileDef& def, const QString& schemaName);
QStringList keptTotalsObjects(const FileDef& def);

// Column names and declared types, in table order, as PRAGMA table_xinfo
// reports them (on the server: as information_schema.columns names the type).
struct ColumnShape {
    QString name;
    QString type;
};
std::vector<ColumnShape> expectedColumns(const FileDef& def, Dialect dialect = Dialect::Sqlite);

} // namespace fundora::platform::schema
