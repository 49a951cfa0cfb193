#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/FileError.h"
#include "platform/store/Record.h"
#include "platform/store/Statement.h"
#include "platform/store/StoreSchema.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

namespace fundora::platform {

// Names that filter expressions may use besides the file's own fields: program
// variables and fields of other records, each read when the filter runs.
class FilterBindings {
public:
    using Getter = std::function<FieldValue()>;
    void bind(const QString& name, Getter getter) { m_names.insert(name.toUpper(), std::move(getter)); }
    const Getter* find(const QString& name) const
    {
        auto it = m_names.constFind(name.toUpper());
        return it == m_names.constEnd() ? nullptr : &*it;
    }

private:
    QHash<QString, Getter> m_names;
};

// A filter compiled to an SQL condition with parameters. Bound names are read
// again each time parameters() is called, so a filter follows its variables.
class CompiledFilter {
public:
    struct Parameter {
        SqlValue fixed;
        FilterBindings::Getter getter; // when set, read at each use
        int places = 0;                // numbers are compared as units of this many places
    };

    bool isEmpty() const { return m_sql.isEmpty(); }
    const QString& sql() const { return m_sql; }
    std::vector<SqlValue> parameters() const;
    // The file's fields the filter names.
    const std::vector<int>& fields() const { return m_fields; }

private:
    friend class FilterCompiler;
    QString m_sql;
    std::vector<int> m_fields;
    std::vector<Parameter> m_parameters;
};

// Compiles expressions such as
//   TRA:SysID = BRW1::Sort1:Reset:ACC:SysID AND (TRA:ReconciledTransaction = 0)
// Supported: = <> < > <= >=, AND OR NOT, parentheses, + and -, UPPER(text),
// numbers, texts in single quotes ('' for a quote), the file's fields and bound
// names (without regard to case). Field and bound money compares exactly.
// The fields in `unindexed` are written so that no index seeks on them (the
// condition holds the same). Every value is a parameter; the SQL is written
// for the engine `dialect` names, and holds the same on both.
FileError compileFilter(const QString& expression, const FileDef& def, const FilterBindings& names, CompiledFilter& out,
                        const std::vector<int>& unindexed = {}, schema::Dialect dialect = schema::Dialect::Sqlite);

} // namespace fundora::platform
