#include "planning/DueCommandLine.h"

#include "core/OpenFile.h"
#include "planning/DueNotices.h"
#include "platform/Clock.h"
#include "platform/CommandOptions.h"
#include "statements/StatementRecords.h"

#include <QTextStream>

namespace fundora::planning {

namespace {
const QString DueUsage = QStringLiteral("Usage: fundora --dir DIR --due [--within DAYS]");
constexpr int MostDaysAhead = 365;
} // namespace

bool asksForDue(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--due"));
}

std::optional<DueCommand> parseDueCommand(const QStringList& arguments, QString* error)
{
    DueCommand c;
    c.within = DefaultDueWithin;
    auto fail = [error](const QString& text) {
        *error = text + u'\n' + DueUsage;
        return std::nullopt;
    };
    platform::CommandOptions options(arguments);
    while (options.next()) {
        const QString& a = options.option();
        if (a == u"--due")
            continue;
        if (a != u"--within")
            return fail(QStringLiteral("Unknown argument %1.").arg(a));
        bool ok = false;
        const int days = options.value().value_or(QString()).toInt(&ok);
        if (!ok || days < 0 || days > MostDaysAhead)
            return fail(QStringLiteral("--within needs a number of days from 0 to %1, as 5.").arg(MostDaysAhead));
        c.within = days;
    }
    if (!options.problem().isEmpty())
        return fail(options.problem());
    return c;
}

int runDueCommand(core::DataFiles& files, const DueCommand& command, QTextStream& out, QTextStream& err)
{
    const core::FileUses uses(files, {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile()});
    if (!uses.ok())
        return 3; // the warning said why
    std::vector<DueNotice> notices;
    if (const platform::FileError e = dueNotices(files, platform::Clock::current().today(), command.within, notices); !e.ok()) {
        err << "fundora: the register could not be read: " << e.text << '\n';
        return 3;
    }
    for (const DueNotice& n : notices)
        out << n.text() << '\n';
    return notices.empty() ? 0 : 1;
}

} // namespace fundora::planning
