#pragma once

#include "platform/server/RegisterPlace.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace fundora::app {

// The register a program works on: the directory given with --dir DIR (or
// --dir=DIR, relative to the current directory), else the user's own
// (platform::defaultRegisterDirectory). Returns an empty string and sets
// `error` when the arguments are wrong or the directory cannot be had.
QString programDirectoryFrom(const QStringList& arguments, QString* error);

// The register the arguments name, with the directory the program keeps its
// own files in (its settings, the pop-ups' options, work files): --dir DIR
// (the register's own directory), or --server URI, a register on a
// PostgreSQL server (in the schema FUNDORA_SERVER_SCHEMA names, else
// "fundora") whose program files stay in the user's own directory. Empty,
// with `error` set, when the arguments are wrong.
struct ProgramRegister {
    QString directory;
    platform::RegisterPlace place;
};
std::optional<ProgramRegister> programRegisterFrom(const QStringList& arguments, QString* error);

} // namespace fundora::app
