#include "reports/ReportCommandLine.h"

#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "platform/MessageService.h"
#include "platform/pictures/Picture.h"
#include "platform/report/ReportOutput.h"
#include "reports/AccountsReport.h"
#include "reports/ReportDisplayStrings.h"
#include "reports/ReportGenerator.h"
#include "reports/TransactionReport.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

namespace fundora::reports {

namespace {

const QString Usage = QStringLiteral("usage: fundora [--dir DIR | --server URI] --print REPORT (--pdf FILE | --csv FILE) [--account SYSID] "
                                     "[--from MM/DD/YYYY --to MM/DD/YYYY]\n"
                                     "REPORT is one of: accounts, open, history, purchases, payments");

std::optional<platform::DayNumber> dateArgument(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\d{1,2}/\\d{1,2}/\\d{4}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const std::optional<std::int64_t> day = platform::DatePicture{2}.deformat(text);
    if (!day || *day < 4 || *day > 109211)
        return std::nullopt;
    return static_cast<platform::DayNumber>(*day);
}

class ConsoleMessages final : public platform::MessageService {
public:
    int show(const platform::Message& m) override
    {
        QString text = m.text;
        if (m.barsBreakLines)
            text.replace(u'|', u' ');
        std::fprintf(stderr, "fundora: %s: %s\n", qPrintable(m.title.trimmed()), qPrintable(text.simplified()));
        return platform::defaultButtonOf(m);
    }
};

} // namespace

std::shared_ptr<platform::MessageService> consoleMessages()
{
    return std::make_shared<ConsoleMessages>();
}

bool asksForReport(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--print"));
}

QStringList reportNames()
{
    return {QStringLiteral("accounts"), QStringLiteral("open"), QStringLiteral("history"), QStringLiteral("purchases"),
            QStringLiteral("payments")};
}

std::unique_ptr<Report> makeReport(const QString& name)
{
    using Kind = TransactionReport::Kind;
    if (name == u"accounts")
        return std::make_unique<AccountsReport>();
    if (name == u"open")
        return std::make_unique<TransactionReport>(Kind::Open);
    if (name == u"history")
        return std::make_unique<TransactionReport>(Kind::History);
    if (name == u"purchases")
        return std::make_unique<TransactionReport>(Kind::Purchases);
    if (name == u"payments")
        return std::make_unique<TransactionReport>(Kind::Payments);
    return nullptr;
}

std::optional<ReportCommand> parseReportCommand(const QStringList& arguments, QString* error)
{
    ReportCommand c;
    auto fail = [error](const QString& text) {
        *error = text + u'\n' + Usage;
        return std::nullopt;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](QString& out) {
            if (i + 1 >= arguments.size())
                return false;
            out = arguments[++i];
            return true;
        };
        QString v;
        if (a == u"--dir" || a == u"--server") {
            if (!value(v))
                return fail(a == u"--dir" ? QStringLiteral("--dir needs a directory.")
                                          : QStringLiteral("--server needs the server's connection URI."));
        } else if (a.startsWith(QStringLiteral("--dir=")) || a.startsWith(QStringLiteral("--server="))) {
        } else if (a == u"--print") {
            if (!value(c.report) || !makeReport(c.report))
                return fail(QStringLiteral("--print needs the name of a report."));
        } else if (a == u"--pdf") {
            if (!value(c.pdfFile) || c.pdfFile.isEmpty())
                return fail(QStringLiteral("--pdf needs a file name."));
        } else if (a == u"--csv") {
            if (!value(c.csvFile) || c.csvFile.isEmpty())
                return fail(QStringLiteral("--csv needs a file name."));
        } else if (a == u"--account") {
            bool ok = false;
            const int n = value(v) ? v.toInt(&ok) : 0;
            if (!ok || n <= 0)
                return fail(QStringLiteral("--account needs an account's SysID, a whole number above 0."));
            c.account = n;
        } else if (a == u"--from" || a == u"--to") {
            const std::optional<platform::DayNumber> d = value(v) ? dateArgument(v) : std::nullopt;
            if (!d)
                return fail(QStringLiteral("%1 needs a date as MM/DD/YYYY between 01/01/1801 and 12/31/2099.").arg(a));
            (a == u"--from" ? c.from : c.to) = d;
        } else {
            return fail(QStringLiteral("Unknown argument %1.").arg(a));
        }
    }
    if (c.report.isEmpty())
        return fail(QStringLiteral("--print needs the name of a report."));
    if (c.pdfFile.isEmpty() == c.csvFile.isEmpty())
        return fail(QStringLiteral("Give one of --pdf FILE and --csv FILE."));
    if (c.report != u"accounts" && !c.account)
        return fail(QStringLiteral("The %1 report needs --account SYSID.").arg(c.report));
    if (c.from.has_value() != c.to.has_value())
        return fail(QStringLiteral("Give both --from and --to, or neither."));
    if (c.from && *c.from > *c.to)
        return fail(QStringLiteral("--from must not come after --to: the range runs from the first date to the last."));
    // Relative to the directory the command was started in, not to the register.
    for (QString* file : {&c.pdfFile, &c.csvFile})
        if (!file->isEmpty())
            *file = QFileInfo(*file).absoluteFilePath();
    return c;
}

int runReportCommand(core::DataFiles& files, const ReportCommand& command, QTextStream& err)
{
    std::unique_ptr<Report> report = makeReport(command.report);
    const ReportDisplayStrings texts = ReportDisplayStrings::load(ReportDisplayStringsFile, {});
    const ReportFiles open(files, report->selection());
    if (!open.ok()) {
        err << "fundora: the data files could not be opened.\n";
        return 1;
    }
    core::GlobalState& g = core::glo();
    if (command.from) {
        g.lowDate = *command.from;
        g.highDate = *command.to;
    }
    if (command.account) {
        g.currentSysid = *command.account;
        files.accounts.record.sysId = *command.account;
        if (!files.accounts.get(core::AccSysIDKey).ok()) {
            err << "fundora: there is no account with SysID " << *command.account << ".\n";
            return 2;
        }
    }

    platform::PageQueue pages;
    ReportGenerator generator(files, *report, pages);
    const ReportGenerator::Start start = generator.runToEnd();
    if (start == ReportGenerator::Start::Failed) {
        err << "fundora: the report's records could not be read.\n";
        return 1;
    }
    if (!generator.error().isEmpty()) {
        err << "fundora: the report could not be made: " << generator.error() << '\n';
        return 1;
    }
    if (!pages.errorString().isEmpty()) {
        // Pages that could not be kept are no empty report.
        err << "fundora: the report's pages could not be kept: " << pages.errorString() << '\n';
        return 1;
    }
    if (pages.isEmpty()) {
        err << texts.nothingToPrvwText << '\n';
        return 1;
    }
    QString error;
    const bool ok = command.pdfFile.isEmpty() ? platform::writeRows(pages, command.csvFile, &error)
                                              : platform::writePdf(pages, command.pdfFile, report->title(), &error);
    if (!ok) {
        err << "fundora: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace fundora::reports
