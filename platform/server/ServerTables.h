#pragma once

#include "platform/server/ServerConnection.h"
#include "platform/store/FileDefinition.h"

#include <vector>

namespace fundora::platform {

// A data file of a register on the server is a table of the register's
// schema, made by the store's schema functions in the server's dialect, with
// its layout version in the table's comment ("fundora layout N"). Beside it
// stand its kept totals (when the file keeps them) and its change counter: a
// sequence that every statement writing the table moves on, so that a station
// sees another's commits by reading one number (changeCounter).

// Whether the table of `def` exists in `schemaName`; when it does, 47 unless
// it is of the layout `def` describes (a column missing, added, renamed or of
// another type, another layout version, or a table of something else).
FileError checkServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName, bool& exists);
// Makes the missing table of `def` whole with its keys, kept totals and
// change counter, in one transaction (two stations at once make it once; the
// later finds it made), or as a part of the connection's open one. A table
// that exists is left as it is.
FileError createServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName);
// Every file of the register whose table is there and of its layout, as the
// programs that made the tables described them (they keep each layout in the
// register's list of its files), in the order of their labels.
FileError registerFiles(ServerConnection& connection, const QString& schemaName, std::vector<FileDef>& files);
// Makes the table when it is missing, then checks it.
FileError openServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName);

// The quoted name of the sequence that counts the writes of `def`'s table.
QString changeCounter(const FileDef& def, const QString& schemaName);

} // namespace fundora::platform
