#pragma once

#include <QString>
#include <QStringList>

namespace fundora::app {

// The directory a program works in: the one given with --dir DIR (or
// --dir=DIR), else the current directory. Returns an empty string and sets
// `error` when the arguments are wrong.
QString programDirectoryFrom(const QStringList& arguments, QString* error);

} // namespace fundora::app
