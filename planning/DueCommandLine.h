#pragma once

#include "core/DataFiles.h"

#include <QStringList>

#include <optional>

class QTextStream;

namespace fundora::planning {

// fundora --dir DIR --due [--within DAYS]
struct DueCommand {
    int within = 5;
};

// True when the arguments ask for the payments due (they hold --due).
bool asksForDue(const QStringList& arguments);
// The command, or nullopt with `error` saying what is wrong and what is accepted.
std::optional<DueCommand> parseDueCommand(const QStringList& arguments, QString* error);

// Prints a line a card whose minimum payment is due within the days asked or
// overdue (nothing when none is), for a scheduled job. 0: nothing due; 1:
// something is; 3: the register could not be read.
int runDueCommand(core::DataFiles& files, const DueCommand& command, QTextStream& out, QTextStream& err);

} // namespace fundora::planning
