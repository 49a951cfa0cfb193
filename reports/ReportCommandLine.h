#pragma once

#include "core/DataFiles.h"
#include "platform/Dates.h"
#include "reports/Report.h"

#include <QStringList>

#include <memory>
#include <optional>

class QTextStream;

namespace fundora::platform {
class MessageService;
}

namespace fundora::reports {

// fundora --dir DIR --print REPORT (--pdf FILE | --csv FILE) [--account SYSID]
//         [--from MM/DD/YYYY --to MM/DD/YYYY]
struct ReportCommand {
    QString report; // accounts, open, history, purchases, payments
    QString pdfFile;
    QString csvFile;
    std::optional<std::int32_t> account;
    std::optional<platform::DayNumber> from;
    std::optional<platform::DayNumber> to;
};

// True when the arguments ask for a report (they hold --print).
bool asksForReport(const QStringList& arguments);
// The command, or nullopt with `error` saying what is wrong and what is accepted.
std::optional<ReportCommand> parseReportCommand(const QStringList& arguments, QString* error);

// The report of that name ("accounts", ...), or nullptr.
std::unique_ptr<Report> makeReport(const QString& name);
QStringList reportNames();

// Runs the report without windows into its file. 0: written; 1: nothing to
// report or it could not be made (message on `err`, no file); 2: wrong
// arguments (an account that does not exist).
int runReportCommand(core::DataFiles& files, const ReportCommand& command, QTextStream& err);

// Messages of a run without windows: written to standard error, answered with their default button.
std::shared_ptr<platform::MessageService> consoleMessages();

} // namespace fundora::reports
