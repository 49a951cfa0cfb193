#pragma once

#include "core/DataFiles.h"
#include "core/FileRegistry.h"
#include "core/OpenFile.h"
#include "platform/store/StoreSchema.h"

#include <gtest/gtest.h>

namespace fundora::test {

// Every record of every file of the register at `where` (the features' files
// that this process declared included), as text in row order, with their
// row numbers and without their row versions (a copy or load may renew them).
inline QStringList registerRecords(const platform::RegisterPlace& where)
{
    core::DataFiles files(where);
    QStringList out;
    for (core::FileId id : core::allFiles()) {
        EXPECT_TRUE(core::acquireFile(files, id));
        const platform::FileDef& def = files.file(id).def();
        QStringList columns{QStringLiteral("\"id\"")};
        for (const platform::FieldDef& f : def.fields)
            columns << platform::schema::quoted(f.column());
        platform::StoreStatement* read =
            files.store.cached(QStringLiteral("SELECT %1 FROM %2 ORDER BY \"id\"")
                                   .arg(columns.join(u','), platform::schema::qualifiedTable(def, files.store.schemaOf(def))));
        if (!read) {
            ADD_FAILURE() << qPrintable(files.store.lastError().text);
            return out;
        }
        while (read->step() == platform::StoreStatement::Row) {
            QString row = def.label;
            for (int c = 0; c < columns.size(); ++c)
                row += u'|' + read->text(c);
            out << row;
        }
        read->reset();
    }
    return out;
}

} // namespace fundora::test
