#pragma once

#include "core/DataFiles.h"

#include <QStringList>

#include <functional>
#include <optional>

class QTextStream;

namespace fundora::app {

// A command line that runs without windows (--print, --import, --plan,
// --due, --copy-to): checked before the register opens, then run on it; its status is
// the program's exit status.
using BatchJob = std::function<int(core::DataFiles& files, QTextStream& out, QTextStream& err)>;

// True when the arguments ask for one of them.
bool asksForBatchJob(const QStringList& arguments);
// The job the arguments ask for, or nullopt with `error` saying what is wrong
// and what is accepted (`arguments` must ask for one).
std::optional<BatchJob> batchJobFrom(const QStringList& arguments, QString* error);

} // namespace fundora::app
