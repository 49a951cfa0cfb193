#include "import/ImportCommandLine.h"

#include "core/OpenFile.h"
#include "core/StandardWarning.h"
#include "import/ImportCommit.h"
#include "import/ImportRecords.h"
#include "import/ImportText.h"
#include "import/OfxReader.h"
#include "import/StatementSource.h"
#include "platform/CommandOptions.h"
#include "statements/StatementRecords.h"
#include "statements/StatementText.h"

#include <QFileInfo>
#include <QTextStream>

namespace fundora::importing {

namespace {

const QString Usage = QStringLiteral(
    "usage: fundora [--dir DIR | --server URI] --import FILE --account SYSID [--dry-run] [--flip-signs] [--other-account-ok]\n"
    "       [--date-format FORMAT]\n"
    "FILE is an OFX or QFX statement, or a CSV file; SYSID the number of the account it goes to");

} // namespace

bool asksForImport(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("--import"));
}

std::optional<ImportCommand> parseImportCommand(const QStringList& arguments, QString* error)
{
    ImportCommand c;
    auto fail = [error](const QString& text) {
        *error = text + u'\n' + Usage;
        return std::nullopt;
    };
    platform::CommandOptions options(arguments);
    while (options.next()) {
        const QString& a = options.option();
        if (a == u"--import") {
            const std::optional<QString> file = options.value();
            if (!file || file->isEmpty())
                return fail(QStringLiteral("--import needs the statement file."));
            c.file = QFileInfo(*file).absoluteFilePath(); // relative to where the command was started
        } else if (a == u"--account") {
            bool ok = false;
            const int n = options.value().value_or(QString()).toInt(&ok);
            if (!ok || n <= 0)
                return fail(QStringLiteral("--account needs an account's SysID, a whole number above 0."));
            c.account = n;
        } else if (a == u"--dry-run") {
            c.dryRun = true;
        } else if (a == u"--flip-signs") {
            c.flipSigns = true;
        } else if (a == u"--other-account-ok") {
            c.otherAccountOk = true;
        } else if (a == u"--date-format") {
            const std::optional<QString> format = options.value();
            if (!format || !csvDateFormats().contains(*format))
                return fail(QStringLiteral("--date-format needs one of: %1.").arg(csvDateFormats().join(QStringLiteral(", "))));
            c.dateFormat = *format;
        } else {
            return fail(QStringLiteral("Unknown argument %1.").arg(a));
        }
    }
    if (!options.problem().isEmpty())
        return fail(options.problem());
    if (c.file.isEmpty())
        return fail(QStringLiteral("--import needs the statement file."));
    if (c.account == 0)
        return fail(QStringLiteral("--account is needed: the SysID of the account the statement goes to."));
    return c;
}

int runImportCommand(core::DataFiles& files, const ImportCommand& command, QTextStream& out, QTextStream& err)
{
    // The account with its transactions and statements, and what imports remember.
    std::vector<core::FileId> used = statements::statementFiles();
    used.push_back(importing::importedLinesFile());
    used.push_back(importing::importSettingsFile());
    const core::FileUses uses(files, used);
    if (!uses.ok()) {
        err << "fundora: the data files could not be opened.\n";
        return 1;
    }
    core::Account account;
    if (const platform::FileError e = files.readAccount(command.account, account); !e.ok()) {
        err << "fundora: there is no account with SysID " << command.account << ".\n" << Usage << '\n';
        return 2;
    }
    importing::ImportSettings settings;
    if (const platform::FileError e = readImportSettings(files, command.account, settings); !e.ok()) {
        err << "fundora: the import settings could not be read: " << e.text << '\n';
        return 1;
    }

    StatementFile statement;
    ReadError readError;
    if (!readStatement(command.file, settings, statement, readError, command.dateFormat)) {
        err << "fundora: " << command.file << ": " << readError.message << "\nNothing was imported.\n";
        return 1;
    }
    const int index = accountOfFile(statement, account.accountNumber);
    if (index < 0) {
        err << "fundora: " << command.file << ": " << accountChoiceProblem(statement, account) << "\nNothing was imported.\n";
        return 1;
    }

    const FileAccount& fileAccount = statement.accounts[static_cast<std::size_t>(index)];
    if (const auto other = otherAccountNamed(files, fileAccount, account); other && !command.otherAccountOk) {
        err << "fundora: " << command.file << ": " << otherAccountText(fileAccount, *other, account)
            << "\nNothing was imported. Give --account " << other->sysId << ", or --other-account-ok to import into account "
            << account.sysId << " all the same.\n";
        return 2;
    }

    ImportPlan plan;
    bool flip = command.flipSigns || settings.flipSigns != 0;
    if (command.flipSigns) {
        out << "signs: flipped for this run (--flip-signs): positive amounts are charges\n";
    } else if (!settings.identity.isStored() && statement.format == u"CSV") {
        // The account's first import: the signs are proposed from the file, and said.
        const std::optional<bool> positive = chargesArePositive(fileAccount);
        flip = positive.value_or(false);
        out << (flip ? "signs: flipped: most lines of this file are positive, so positive amounts are charges (--flip-signs)\n"
                     : "signs: as written: negative amounts are charges\n");
    }
    if (const platform::FileError e = planImport(files, command.account, fileAccount, flip, QFileInfo(command.file).fileName(), plan);
        !e.ok()) {
        err << "fundora: the account's transactions could not be read: " << e.text << "\nNothing was imported.\n";
        return 1;
    }
    statement = StatementFile{}; // the plan holds what is left to do: a large file is not kept twice
    for (const PlannedLine& p : plan.lines)
        out << planLineText(p) << '\n';
    if (!command.dryRun) {
        CommitOutcome outcome;
        const platform::FileError e = commitImport(files, plan, outcome);
        if (!e.ok() || outcome.conflict) {
            err << "fundora: the import could not be written: " << (outcome.conflict ? outcome.conflictText : core::errorPart(e))
                << (outcome.conflict ? QString() : u' ' + platform::fullDiskHint(e)) << "\nNothing was imported.\n";
            return 1;
        }
    }
    out << planSummaryText(plan, command.dryRun) << '\n';
    return 0;
}

} // namespace fundora::importing
