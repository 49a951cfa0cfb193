#pragma once

#include <QString>

namespace fundora::platform {

// The user's own directory for sockets and work files that must not be seen,
// blocked or planted by another local user: $XDG_RUNTIME_DIR when it is a
// real directory of this user's that nobody else may enter, else
// "<temporary directory>/fundora-<uid>", made with mode 0700 and used only
// when it is exactly that (a directory, not a link, this user's, 0700).
// Empty when neither can be had.
QString userRuntimeDirectory();

// A directory of the program's own below userRuntimeDirectory() for work
// files of one kind (report pages, copies a library makes of a statement):
// "<runtime>/fundora-<kind>", made 0700. A run keeps its files in an entry
// whose name begins with its process id and a dash (workEntryTemplate), so
// that cleanWorkDirectory, at the next start, removes what killed runs left
// and never what a running copy is using.
QString workDirectory(const QString& kind);
// "<work directory>/<pid>-XXXXXX", for QTemporaryDir or QTemporaryFile; empty without a work directory.
QString workEntryTemplate(const QString& kind);
// "<work directory>/<pid>", made 0700: this process's own entry.
QString processWorkDirectory(const QString& kind);
void cleanWorkDirectory(const QString& kind);

// Whether `path` is a directory of this user's that nobody else may enter
// (checked without following a link).
bool isPrivateDirectory(const QString& path);

} // namespace fundora::platform
