#pragma once

#include "core/DataFiles.h"

#include <QStringList>

#include <optional>

class QTextStream;

namespace fundora::moving {

// fundora --dir DIR --copy-to URI      a register in a directory onto a server
// fundora --server URI --copy-to DIR   a register on a server into a directory
struct CopyCommand {
    QString target;        // the server's URI, or the directory (absolute)
    bool toServer = false; // the register is in a directory and goes onto a server
};

// True when the arguments ask for a copy (they hold --copy-to).
bool asksForCopy(const QStringList& arguments);
// The command, or nullopt with `error` saying what is wrong and what is accepted.
std::optional<CopyCommand> parseCopyCommand(const QStringList& arguments, QString* error);

// Copies the register into the target and says, file by file, what the
// check after the copy found. 0 copied and checked; 1 not copied (the
// target held data, the copy failed: nothing changed).
int runCopyCommand(core::DataFiles& files, const CopyCommand& command, QTextStream& out, QTextStream& err);

} // namespace fundora::moving
