#pragma once

#include "platform/server/ServerConnection.h"
#include "platform/store/FileDefinition.h"

#include <QByteArray>

#include <cstdint>

namespace fundora::platform {

class Store;

// The records of one data file copied between a register on a server and a
// data file in a directory (the same layout on both sides), record for
// record: the row numbers, the store's own columns and every field.

// Writes the table of `def` into a new data file of `directory` (replacing
// one of its name). Run it inside a transaction of the caller's: every table
// read in one REPEATABLE READ transaction is one snapshot of the register.
FileError copyTableToFile(ServerConnection& connection, const QString& schemaName, const FileDef& def, const QString& directory);

// Replaces the records of the table of `def` by those of its data file,
// open in `source` (a store of a directory), inside the caller's
// transaction. Every row version is raised by `raiseVersions`. The table's
// next row number follows the copied ones, and the stations see that it changed.
FileError copyFileToTable(ServerConnection& connection, const QString& schemaName, const FileDef& def, Store& source,
                          std::int64_t raiseVersions = 0);

// What the records of a file are, to tell whether two copies hold the same:
// their count and a hash of every row number and field in row order (the
// row versions left out).
struct RecordDigest {
    std::int64_t records = 0;
    QByteArray hash;
    friend bool operator==(const RecordDigest&, const RecordDigest&) = default;
};
FileError digestOfTable(ServerConnection& connection, const QString& schemaName, const FileDef& def, RecordDigest& digest);
// Of the data file of `def` open in `source`.
FileError digestOfFile(Store& source, const FileDef& def, RecordDigest& digest);

} // namespace fundora::platform
