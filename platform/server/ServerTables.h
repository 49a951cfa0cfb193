#pragma once

#include "platform/server/ServerConnection.h"
#include "platform/store/FileDefinition.h"

namespace fundora::platform {

// A data file of a register on the server is a table of the register's
// schema, made by the store's schema functions in the server's dialect, with
// its layout version in the table's comment ("fundora layout N").
//
// Opens the table of `def` in `schemaName`: makes it whole with its keys when
// it is missing, in one transaction (two stations starting at once make it
// once; the other finds it made), then checks it. A table of another layout
// (a column missing, added, renamed or of another type, another layout
// version, or a table of something else) is 47 and is never changed.
FileError openServerTable(ServerConnection& connection, const FileDef& def, const QString& schemaName);

} // namespace fundora::platform
