// Two stations make random changes and deletes to the same 200 accounts and
// their transactions; then the logs and the files are checked.
// Usage: fundora_stress [--seconds N] [--server URI] (default 60 s, a
// register in a new directory; with --server a new schema on that server).
//
// A lost update is a write that succeeded without a conflict and yet was
// overwritten: two successful writes that produced the same version of the
// same row. Rows are never reused, so any such pair is a lost update.
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "platform/MessageService.h"
#include "platform/server/ServerConnection.h"
#include "tests/station/StressWorker.h"
#include "tests/support/RegisterArgument.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

#include <cstdio>

using namespace fundora;

namespace {

struct Log {
    QStringList writes;
    QStringList summary;
    QStringList failures; // what a station was told when a write failed
};

Log readLog(const QString& path)
{
    Log log;
    QFile f(path);
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QStringLiteral("W ")))
            log.writes << line;
        else if (line.startsWith(QStringLiteral("F ")))
            log.failures << line.mid(2);
        else if (line.startsWith(QStringLiteral("SUMMARY ")))
            log.summary = line.split(u' ').mid(1);
    }
    return log;
}

int integrityFailures(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 1;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    int failures = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        if (std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) != "ok")
            ++failures;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return failures;
}

long orphanTransactions(core::DataFiles& files)
{
    QSet<std::int32_t> accounts;
    files.accounts.set(core::AccSysIDKey);
    while (files.accounts.next().ok())
        accounts.insert(files.accounts.record.sysId);
    long orphans = 0;
    files.transactions.set(core::TraSysIDKey);
    while (files.transactions.next().ok())
        if (!accounts.contains(files.transactions.record.sysId))
            ++orphans;
    return orphans;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    int seconds = 60;
    QString server;
    const QStringList args = QCoreApplication::arguments();
    const auto usage = [] {
        std::printf("usage: fundora_stress [--seconds N] [--server URI]\n"
                    "Two stations make random changes and deletes to the same accounts for N seconds (default 60),\n"
                    "then the files are checked: lost updates, broken files, orphaned transactions, crashes.\n"
                    "Exit code 0 when all of them are 0, 1 otherwise, 2 for wrong arguments.\n");
    };
    for (qsizetype i = 1; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QStringLiteral("--help") || args[i] == QStringLiteral("-h")) {
            usage();
            return 0;
        }
        if (args[i] == QStringLiteral("--seconds") && i + 1 < args.size() && (seconds = args[i + 1].toInt(&ok), ok) && seconds > 0) {
            ++i;
            continue;
        }
        if (args[i] == QStringLiteral("--server") && i + 1 < args.size()) {
            server = args[++i];
            continue;
        }
        std::fprintf(stderr, "fundora_stress: unknown or bad argument %s\n", qPrintable(args[i]));
        usage();
        return 2;
    }

    QTemporaryDir dir; // the logs, and the register unless it is on a server
    platform::RegisterPlace place = platform::RegisterPlace::inDirectory(dir.path());
    if (!server.isEmpty()) {
        place = platform::RegisterPlace::onServer(server, QStringLiteral("stress_%1").arg(QCoreApplication::applicationPid()));
        qputenv("FUNDORA_TEST_SERVER_URI", server.toUtf8()); // for the stations (tests/support/RegisterArgument.h)
    }
    const auto dropSchema = [&] {
        if (place.isOnServer())
            platform::ServerConnection(server).exec(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(place.serverSchema));
    };
    dropSchema();
    {
        core::DataFiles files(place);
        for (core::FileId id : core::allFiles())
            if (!core::openFile(files, id))
                return 2;
        for (std::int32_t id = 1; id <= test::StressAccounts; ++id)
            if (!test::addStressAccount(files, id))
                return 3;
    }

    QList<QProcess*> stations;
    for (int s = 1; s <= 2; ++s) {
        auto* p = new QProcess(&app);
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QStringLiteral(FUNDORA_STATION), {QStringLiteral("stress"), test::registerArgument(place), QString::number(seconds),
                                                   QString::number(s), dir.filePath(QStringLiteral("log%1").arg(s))});
        stations << p;
    }
    int crashed = 0;
    for (QProcess* p : stations)
        if (!p->waitForFinished((seconds + 60) * 1000) || p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0)
            ++crashed;

    long writes = 0, conflicts = 0, failures = 0, deletes = 0, inserts = 0;
    QSet<QString> versions;
    long lost = 0;
    bool bothWrote = true;
    for (int s = 1; s <= 2; ++s) {
        const Log log = readLog(dir.filePath(QStringLiteral("log%1").arg(s)));
        if (log.summary.size() != 5 || log.writes.isEmpty())
            bothWrote = false;
        else {
            writes += log.summary[0].toLong();
            conflicts += log.summary[1].toLong();
            failures += log.summary[2].toLong();
            deletes += log.summary[3].toLong();
            inserts += log.summary[4].toLong();
        }
        for (const QString& f : log.failures)
            std::printf("station %d was told: %s\n", s, qPrintable(f));
        for (const QString& w : log.writes) {
            if (versions.contains(w))
                ++lost;
            versions.insert(w);
        }
    }
    int broken = 0; // the server checks its own tables
    if (!place.isOnServer())
        for (const char* name : {"ACCOUNTS.TPS", "TRANSACT.TPS"})
            broken += integrityFailures(dir.filePath(QString::fromLatin1(name)));
    long orphans = 0;
    {
        core::DataFiles files(place);
        core::openFile(files, core::FileId::Accounts);
        core::openFile(files, core::FileId::Transactions);
        orphans = orphanTransactions(files);
    }

    dropSchema();
    std::printf("two stations%s, %d s: %ld writes, %ld conflicts detected, %ld other failures, %ld accounts deleted, "
                "%ld re-created, %ld lost updates, %d integrity-check failures, %ld orphan transactions, %d stations crashed\n",
                place.isOnServer() ? " on the server" : "", seconds, writes, conflicts, failures, deletes, inserts, lost, broken, orphans,
                crashed);
    const bool ok = lost == 0 && broken == 0 && orphans == 0 && crashed == 0 && bothWrote;
    std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
    return ok ? 0 : 1;
}
