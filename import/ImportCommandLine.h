#pragma once

#include "core/DataFiles.h"

#include <QStringList>

#include <optional>

class QTextStream;

namespace fundora::importing {

// fundora --dir DIR --import FILE --account SYSID [--dry-run] [--flip-signs] [--other-account-ok] [--date-format FORMAT]
struct ImportCommand {
    QString file;
    std::int32_t account = 0;
    bool dryRun = false;
    bool flipSigns = false;      // for this run, whatever the account's own choice
    bool otherAccountOk = false; // the file names another account of the register: import all the same
    QString dateFormat;          // a CSV file's date format where its dates fit several
};

// True when the arguments ask for an import (they hold --import).
bool asksForImport(const QStringList& arguments);
// The command, or nullopt with `error` saying what is wrong and what is accepted.
std::optional<ImportCommand> parseImportCommand(const QStringList& arguments, QString* error);

// Imports without windows: one line on `out` per statement line (new,
// duplicate, matched or refused, with the reason) and a summary line.
// 0: done (or, with --dry-run, shown and nothing written); 1: the file cannot
// be read, or the import could not be written (message on `err`, nothing
// written); 2: wrong arguments (no such account, or the file names another
// account of the register than --account, unless --other-account-ok).
int runImportCommand(core::DataFiles& files, const ImportCommand& command, QTextStream& out, QTextStream& err);

} // namespace fundora::importing
