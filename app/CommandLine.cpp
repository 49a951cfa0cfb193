#include "app/CommandLine.h"

#include "app/BatchCommands.h"
#include "platform/Clock.h"
#include "sample/SampleRegister.h"

#include <QDir>

#include <cstdio>

namespace fundora::app {

QString usageText()
{
    return QStringLiteral(
        "usage: fundora [--dir DIR]                the windows, on the register in DIR (default: FUNDORA_DIR, else\n"
        "                                          $XDG_DATA_HOME/fundora, else ~/.local/share/fundora)\n"
        "       fundora --server URI               the windows, on a register kept on a PostgreSQL server: URI as libpq takes\n"
        "                                          it (postgresql://USER@HOST/DATABASE?sslmode=require, service=NAME); the\n"
        "                                          password from ~/.pgpass, the service file or PGPASSWORD\n"
        "       fundora [--dir DIR | --server URI] --print REPORT (--pdf FILE | --csv FILE) [--account SYSID] [--from MM/DD/YYYY --to "
        "MM/DD/YYYY]\n"
        "       fundora [--dir DIR | --server URI] --import FILE --account SYSID [--dry-run] [--flip-signs] [--other-account-ok]\n"
        "                                [--date-format FORMAT]   (a CSV file's dates: yyyy-MM-dd, M/d/yyyy, d/M/yyyy, ...)\n"
        "       fundora [--dir DIR | --server URI] --plan STRATEGY --monthly AMOUNT [--csv FILE] [--pdf FILE]\n"
        "                                a plan to pay every card with a balance off, paying AMOUNT a month\n"
        "       fundora [--dir DIR | --server URI] --due [--within DAYS]   the cards whose minimum payment is due within DAYS (5) or "
        "overdue\n"
        "       fundora --dir DIR --copy-to URI      copies the register in DIR onto a server (into an empty register there)\n"
        "       fundora --server URI --copy-to DIR   copies the register on the server into DIR (new or empty)\n"
        "       fundora --sample DIR                 makes a sample register to explore in DIR (new or empty)\n"
        "       fundora --help | --version\n"
        "\n"
        "REPORT is one of: accounts, open, history, purchases, payments.\n"
        "STRATEGY is one of: avalanche (highest rate first), snowball (smallest balance first), own (your order).\n"
        "Exit codes: 0 done, 1 nothing to do or it failed (the message says why), 2 wrong arguments;\n"
        "--due: 0 nothing due, 1 something is, 2 wrong arguments, 3 the register could not be read.\n");
}

std::optional<int> answerWithoutStarting(const QStringList& arguments)
{
    const QStringList options = arguments.mid(1);
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        std::fputs(qPrintable(usageText()), stdout);
        return 0;
    }
    if (options.contains(QStringLiteral("--version"))) {
        std::printf("fundora %s\n", FUNDORA_VERSION);
        return 0;
    }
    // The report, import and plan command lines check their own options.
    if (asksForBatchJob(arguments))
        return std::nullopt;
    for (qsizetype i = 0; i < options.size(); ++i) {
        const QString& a = options[i];
        if (a == QStringLiteral("--dir") || a == QStringLiteral("--server") || a == QStringLiteral("--sample")) {
            ++i;
            continue;
        }
        // Qt's own options (-platform, -style, ...) begin with one dash and are Qt's to take.
        if (a.startsWith(QStringLiteral("--")) && !a.startsWith(QStringLiteral("--dir=")) && !a.startsWith(QStringLiteral("--server="))) {
            std::fprintf(stderr, "fundora: unknown option %s\n%s", qPrintable(a), qPrintable(usageText()));
            return 2;
        }
    }
    return std::nullopt;
}

std::optional<int> makeSampleIfAsked(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--sample"));
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments.size() || arguments.size() != 3) {
        std::fprintf(stderr, "fundora: --sample needs a directory and nothing else: fundora --sample DIR\n");
        return 2;
    }
    const QString directory = QDir(arguments[at + 1]).absolutePath();
    sample::SampleSummary made;
    if (const QString error = sample::makeSampleRegister(directory, platform::Clock::current().today(), &made); !error.isEmpty()) {
        std::fprintf(stderr, "fundora: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Made a sample register in %s: %d cards, %d transactions, %d reconciled statements.\n"
                "Open it with: fundora --dir %s\n",
                qPrintable(directory), made.accounts, made.transactions, made.statements, qPrintable(directory));
    return 0;
}

} // namespace fundora::app
