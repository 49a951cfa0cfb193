#pragma once

#include <QString>
#include <QStringList>

namespace fundora::app {

// The register a program works on: the directory given with --dir DIR (or
// --dir=DIR, relative to the current directory), else the user's own
// (platform::defaultRegisterDirectory). Returns an empty string and sets
// `error` when the arguments are wrong or the directory cannot be had.
QString programDirectoryFrom(const QStringList& arguments, QString* error);

} // namespace fundora::app
