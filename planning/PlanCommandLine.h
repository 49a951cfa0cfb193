#pragma once

#include "core/DataFiles.h"
#include "planning/PayoffPlan.h"

#include <QStringList>

#include <optional>

class QTextStream;

namespace fundora::planning {

// fundora --dir DIR --plan STRATEGY --monthly AMOUNT [--csv FILE] [--pdf FILE]
struct PlanCommand {
    Strategy strategy = Strategy::Avalanche;
    platform::Decimal monthly;
    QString csvFile;
    QString pdfFile;
};

// True when the arguments ask for a payoff plan (they hold --plan).
bool asksForPlan(const QStringList& arguments);
// The command, or nullopt with `error` saying what is wrong and what is accepted.
std::optional<PlanCommand> parsePlanCommand(const QStringList& arguments, QString* error);

// Makes the plan over the register's cards and prints its length and total
// interest (and those of paying only the minimums); writes the CSV and the
// PDF (the printed plan) when asked.
// 0: a plan; 1: refused (the message says why) or the file could not be
// written; 2: the register could not be read.
int runPlanCommand(core::DataFiles& files, const PlanCommand& command, QTextStream& out, QTextStream& err);

// The plan as CSV: a row per card and month.
QByteArray planCsv(const PayoffPlan& plan);

} // namespace fundora::planning
