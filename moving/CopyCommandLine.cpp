#include "moving/CopyCommandLine.h"

#include "core/FileRegistry.h"
#include "moving/RegisterCopy.h"
#include "platform/CommandOptions.h"
#include "platform/server/ServerConnection.h"

#include <QDir>
#include <QTextStream>

#include <algorithm>

namespace fundora::moving {

namespace {
const QString CopyUsage = QStringLiteral("Usage: fundora --dir DIR --copy-to URI   or   fundora --server URI --copy-to DIR");
} // namespace

bool asksForCopy(const QStringList& arguments)
{
    return std::any_of(arguments.begin(), arguments.end(), [](const QString& a) { return a.startsWith(QStringLiteral("--copy-to")); });
}

std::optional<CopyCommand> parseCopyCommand(const QStringList& arguments, QString* error)
{
    CopyCommand c;
    auto fail = [error](const QString& text) {
        *error = text + u'\n' + CopyUsage;
        return std::nullopt;
    };
    platform::CommandOptions options(arguments);
    while (options.next()) {
        const QString& a = options.option();
        if (a != u"--copy-to")
            return fail(QStringLiteral("Unknown argument %1.").arg(a));
        c.target = options.value().value_or(QString());
    }
    if (!options.problem().isEmpty())
        return fail(options.problem());
    if (c.target.isEmpty())
        return fail(QStringLiteral("--copy-to needs the register to copy into: a server's URI, or a directory."));
    c.toServer =
        !std::any_of(arguments.begin(), arguments.end(), [](const QString& a) { return a.startsWith(QStringLiteral("--server")); });
    // A directory is the caller's, named from where the command was started.
    if (!c.toServer)
        c.target = QDir(c.target).absolutePath();
    return c;
}

int runCopyCommand(core::DataFiles& files, const CopyCommand& command, QTextStream& out, QTextStream& err)
{
    const platform::RegisterPlace& from = files.place();
    CopyOutcome outcome;
    QString into;
    if (command.toServer) {
        std::vector<platform::FileDef> layouts;
        for (core::FileId id : core::allFiles())
            layouts.push_back(files.file(id).def());
        const platform::RegisterPlace to = platform::serverRegister(command.target);
        into = QStringLiteral("the register on %1 (schema %2)").arg(platform::withoutPassword(to.serverUri), to.serverSchema);
        outcome = copyToServer(from.directory, layouts, to);
    } else {
        into = command.target;
        outcome = copyToDirectory(from, command.target);
    }
    if (!outcome.ok()) {
        err << "fundora: the register was not copied: " << outcome.error << '\n';
        return 1;
    }
    std::int64_t records = 0;
    for (const CopiedFile& f : outcome.files) {
        out << f.name << ": " << f.records << (f.records == 1 ? " record" : " records") << ", the same in both\n";
        records += f.records;
    }
    out << "Copied " << outcome.files.size() << " files (" << records << " records) into " << into
        << ", and found each the same as the register's.\n";
    return 0;
}

} // namespace fundora::moving
