#include "app/BatchCommands.h"

#include "import/ImportCommandLine.h"
#include "moving/CopyCommandLine.h"
#include "planning/DueCommandLine.h"
#include "planning/PlanCommandLine.h"
#include "reports/ReportCommandLine.h"

namespace fundora::app {

namespace {

// Parses with `parse`; the job runs the parsed command with `run`.
template <class Command, class Parse, class Run>
std::optional<BatchJob> jobOf(const QStringList& arguments, QString* error, Parse parse, Run run)
{
    std::optional<Command> command = parse(arguments, error);
    if (!command)
        return std::nullopt;
    return BatchJob(
        [command = *command, run](core::DataFiles& files, QTextStream& out, QTextStream& err) { return run(files, command, out, err); });
}

} // namespace

bool asksForBatchJob(const QStringList& arguments)
{
    return reports::asksForReport(arguments) || importing::asksForImport(arguments) || planning::asksForPlan(arguments) ||
           planning::asksForDue(arguments) || moving::asksForCopy(arguments);
}

std::optional<BatchJob> batchJobFrom(const QStringList& arguments, QString* error)
{
    if (reports::asksForReport(arguments))
        return jobOf<reports::ReportCommand>(arguments, error, reports::parseReportCommand,
                                             [](core::DataFiles& files, const reports::ReportCommand& c, QTextStream&, QTextStream& err) {
                                                 return reports::runReportCommand(files, c, err);
                                             });
    if (importing::asksForImport(arguments))
        return jobOf<importing::ImportCommand>(arguments, error, importing::parseImportCommand, importing::runImportCommand);
    if (moving::asksForCopy(arguments))
        return jobOf<moving::CopyCommand>(arguments, error, moving::parseCopyCommand, moving::runCopyCommand);
    if (planning::asksForPlan(arguments))
        return jobOf<planning::PlanCommand>(arguments, error, planning::parsePlanCommand, planning::runPlanCommand);
    return jobOf<planning::DueCommand>(arguments, error, planning::parseDueCommand, planning::runDueCommand);
}

} // namespace fundora::app
