#include "backup/CommandLine.h"

#include "backup/BackupRun.h"
#include "backup/Drives.h"
#include "backup/FileListing.h"
#include "backup/Leftovers.h"
#include "backup/RestoreRun.h"
#include "backup/ServerRegister.h"
#include "backup/Startup.h"
#include "platform/MessageService.h"
#include "platform/RegisterDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace fundora::backup {

namespace Button = platform::Button;

namespace {

struct Options {
    QString directory; // --dir, else the user's register
    QString server;    // --server: the register on that server instead
    bool backup = false;
    bool restore = false;
    QString to, from;
    bool compress = true;
    std::int64_t volumeSize = 0;
    bool allowOlder = false;
    bool syncSetNumbers = false;
};

// Prints every message and answers it as the flags say; a question the flags
// do not answer is refused (Cancel, No or Abort), so a run never waits for a person.
class ConsoleMessages final : public platform::MessageService {
public:
    explicit ConsoleMessages(const Options& o) : m_options(o) {}
    int show(const platform::Message& m) override
    {
        QString text = m.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(stderr, "vaultine: %s: %s\n", qPrintable(m.title.trimmed()), qPrintable(text.trimmed()));
        m_shown << text;
        int answer = refusal(m.buttons);
        if (m.title == QStringLiteral("Cannot Find CFG.TPS!") || m.title == QStringLiteral("Directory Not Found!"))
            answer = Button::Yes;
        else if (m.title.startsWith(QStringLiteral("Disk Set older than current Data!"))) {
            answer = m_options.allowOlder ? Button::Ok : Button::Cancel;
            if (!m_options.allowOlder)
                std::fprintf(stderr, "vaultine: the set is older than the last backup made; restore it anyway with --allow-older-set\n");
        } else if (m.title == QStringLiteral("Bring Set Numbers into Sync?"))
            answer = m_options.syncSetNumbers ? Button::Yes : Button::No;
        return (m.buttons & answer) ? answer : refusal(m.buttons);
    }

    // Whether a message printed so far said `text` already.
    bool said(const QString& text) const
    {
        return std::any_of(m_shown.begin(), m_shown.end(), [&](const QString& m) { return m.contains(text); });
    }

private:
    QStringList m_shown;
    static int refusal(int buttons)
    {
        for (int b : {Button::Cancel, Button::Abort, Button::No, Button::Ok})
            if (buttons & b)
                return b;
        return Button::Ok;
    }
    const Options& m_options;
};

class ConsoleBackup final : public BackupUi {
public:
    bool insertDisk(int disk) override
    {
        // A directory on one disk: the set does not fit in what is free there.
        std::fprintf(stderr,
                     "vaultine: the disk is full: the set needs more room than is free there (a disk %d would be needed, and a run "
                     "without a person cannot ask for one). Free some space, back up to a larger disk, or make containers of a "
                     "chosen size with --volume-size. Nothing was backed up.\n",
                     disk);
        return false;
    }
};

// Every container lies in the directory: a disk asked for twice is missing.
class ConsoleRestore final : public RestoreUi {
public:
    bool insertDisk(int disk) override
    {
        if (disk == m_lastAsked)
            return false;
        m_lastAsked = disk;
        return true;
    }
    // Without a person to ask, a container is accepted when it belongs to the same set as disk 1.
    bool acceptOtherSet(int disk, std::int32_t diskSet, std::int32_t, std::int32_t firstDiskSet) override
    {
        if (diskSet == firstDiskSet)
            return true;
        std::fprintf(stderr, "vaultine: container %d belongs to set %d, not to set %d of container 1\n", disk, diskSet, firstDiskSet);
        return false;
    }

private:
    int m_lastAsked = 0;
};

void usage(std::FILE* to)
{
    std::fprintf(to, "usage: vaultine [--dir DIR | --server URI] --backup --to DIR [--no-compress] [--volume-size BYTES]\n"
                     "       vaultine [--dir DIR | --server URI] --restore --from DIR [--allow-older-set] [--sync-set-numbers]\n"
                     "       vaultine [--dir DIR]            (the windows)\n"
                     "       vaultine --help | --version\n"
                     "\n"
                     "  --dir DIR            the register's directory (default: FUNDORA_DIR, else $XDG_DATA_HOME/fundora,\n"
                     "                       else ~/.local/share/fundora)\n"
                     "  --server URI         the register on a PostgreSQL server (a libpq connection URI; the schema is\n"
                     "                       FUNDORA_SERVER_SCHEMA, else fundora). A backup reads one snapshot while\n"
                     "                       Fundora goes on working; a restore needs every Fundora on it closed\n"
                     "  --backup --to DIR    back up every *.TPS file into the set 1.BKP, 2.BKP, ... in DIR\n"
                     "  --no-compress        store every file as it is (by default files over 5000 bytes are compressed)\n"
                     "  --volume-size BYTES  make containers of at most BYTES (at least 8192) side by side in DIR\n"
                     "  --restore --from DIR restore the set in DIR; the data files are replaced only when the whole\n"
                     "                       set has been read and checked\n"
                     "  --allow-older-set    restore a set older than the last backup made\n"
                     "  --sync-set-numbers   with --allow-older-set: check further containers against that set's number\n"
                     "\n"
                     "Exit codes: 0 done, 1 stopped or failed (nothing half-done), 2 wrong arguments, 3 cannot run\n"
                     "(Fundora or another copy of the utility runs, or CFG.TPS could not be made).\n");
}

bool parse(const QStringList& a, Options& o)
{
    for (qsizetype i = 1; i < a.size(); ++i) {
        const QString& s = a[i];
        auto value = [&](QString& out) {
            if (i + 1 >= a.size())
                return false;
            out = a[++i];
            return true;
        };
        if (s == QStringLiteral("--backup"))
            o.backup = true;
        else if (s == QStringLiteral("--restore"))
            o.restore = true;
        else if (s == QStringLiteral("--no-compress"))
            o.compress = false;
        else if (s == QStringLiteral("--allow-older-set"))
            o.allowOlder = true;
        else if (s == QStringLiteral("--sync-set-numbers"))
            o.syncSetNumbers = true;
        else if (s == QStringLiteral("--dir")) {
            if (!value(o.directory))
                return false;
        } else if (s == QStringLiteral("--server")) {
            if (!value(o.server) || o.server.isEmpty()) {
                std::fprintf(stderr, "vaultine: --server needs the server's connection URI (postgresql://USER@HOST/DATABASE, or "
                                     "service=NAME)\n");
                return false;
            }
        } else if (s.startsWith(QStringLiteral("--server="))) {
            o.server = s.mid(9);
        } else if (s == QStringLiteral("--to")) {
            if (!value(o.to))
                return false;
        } else if (s == QStringLiteral("--from")) {
            if (!value(o.from))
                return false;
        } else if (s == QStringLiteral("--volume-size")) {
            QString v;
            bool ok = false;
            if (!value(v) || (o.volumeSize = v.toLongLong(&ok), !ok) || o.volumeSize < 8 * 1024) {
                std::fprintf(stderr, "vaultine: --volume-size needs a number of bytes of at least 8192\n");
                return false;
            }
        } else {
            std::fprintf(stderr, "vaultine: unknown argument %s\n", qPrintable(s));
            return false;
        }
    }
    if (o.backup == o.restore || (o.backup && o.to.isEmpty()) || (o.restore && o.from.isEmpty()))
        return false;
    if (!o.server.isEmpty() && !o.directory.isEmpty()) {
        std::fprintf(stderr, "vaultine: --dir and --server each name a register: give one of them\n");
        return false;
    }
    return true;
}

QString asLocation(const QString& dir)
{
    QString l = QFileInfo(dir).absoluteFilePath();
    if (!l.endsWith(u'/'))
        l += u'/';
    return l;
}

int backUp(const Options& o, BackupConfig& config, Compressor& compressor, const QString& dataDirectory)
{
    const FileListing files = listDataFiles(dataDirectory, o.compress);
    if (const QString refused = refusedText(files); !refused.isEmpty())
        std::fprintf(stderr, "vaultine: %s\n", qPrintable(refused));
    if (o.compress && freeSpace(dataDirectory) < 2 * files.biggest) {
        std::fprintf(stderr, "vaultine: Insufficient Disk Space! to compress the biggest file\n");
        return Exit::Failed;
    }
    BackupTarget target;
    target.location = asLocation(o.to);
    target.shownLocation = o.to;
    target.pathSet = true;
    target.volumeSize = o.volumeSize;
    ConsoleBackup ui;
    BackupRun run(config, compressor, ui);
    if (run.run(files, target) != BackupRun::Result::Completed) {
        std::fprintf(stderr, "vaultine: backup stopped: %s\n", qPrintable(run.stopReason()));
        return Exit::Failed;
    }
    std::printf("Backed up %zu files as set %d in %d container(s) at %s\n", files.files.size(), config.record().setNumber - 1,
                run.disksWritten(), qPrintable(target.location));
    return Exit::Completed;
}

int restoreStopped(const RestoreRun& run, const ConsoleMessages& messages)
{
    // Said once: when a message of the run named what went wrong, the last line only says how it ended.
    const QString reason = run.stopReason();
    const QString firstPart = reason.section(QStringLiteral("; "), 0, 0).section(QStringLiteral(". "), 0, 0);
    if (messages.said(firstPart))
        std::fprintf(stderr, "vaultine: restore stopped; every data file is as it was.\n");
    else
        std::fprintf(stderr, "vaultine: restore stopped: %s\n", qPrintable(reason));
    return Exit::Failed;
}

// The register on a server: its tables are written into data files of a
// private work directory, which the runs then treat as a register in a
// directory (the same sets, checks and messages); a restore loads the files
// it restored back into the tables in one transaction. The work directory
// lies in the user's own directory (the snapshot may be large) and goes at the end.
int runOnServer(const Options& o, ConsoleMessages& messages)
{
    QString error;
    const QString own = platform::defaultRegisterDirectory(&error);
    if (own.isEmpty()) {
        std::fprintf(stderr, "vaultine: %s\n", qPrintable(error));
        return Exit::CannotRun;
    }
    removeServerWorkLeftovers(own);
    QTemporaryDir work(serverWorkTemplate(own));
    if (!work.isValid()) {
        std::fprintf(stderr, "vaultine: no work directory could be made in %s: %s\n", qPrintable(own), qPrintable(work.errorString()));
        return Exit::CannotRun;
    }
    ServerRegister server(platform::serverRegister(o.server));
    bool alone = false;
    if (const platform::FileError e = server.holdUtility(alone); !e.ok()) {
        std::fprintf(stderr, "vaultine: %s\n", qPrintable(e.text));
        return Exit::CannotRun;
    }
    if (!alone) {
        std::fprintf(stderr,
                     "vaultine: another copy of the utility works on the register on %s (on this computer or another); "
                     "nothing was done.\n",
                     qPrintable(server.shown()));
        return Exit::CannotRun;
    }
    if (o.restore) {
        // Held alone from before the set is read until the load ends: no station can start meanwhile.
        bool held = false;
        int stations = 0;
        if (platform::FileError e = server.holdAlone(held); !e.ok() || (!held && !(e = server.stations(stations)).ok())) {
            std::fprintf(stderr, "vaultine: %s\n", qPrintable(e.text));
            return Exit::CannotRun;
        }
        if (!held) {
            std::fprintf(stderr,
                         "vaultine: Fundora works on the register on %s at %d station(s); close it there (on every computer) and "
                         "restore again. Nothing was restored.\n",
                         qPrintable(server.shown()), stations);
            return Exit::CannotRun;
        }
    }
    // The set number and the utility's settings are a file of the register, as in a directory.
    const QString configName = QStringLiteral("CFG.TPS");
    QStringList written;
    if (const platform::FileError e = server.writeFiles(work.path(), written, o.backup ? QStringList() : QStringList{configName});
        !e.ok()) {
        std::fprintf(stderr, "vaultine: the register on %s could not be read: %s\n", qPrintable(server.shown()), qPrintable(e.text));
        return Exit::Failed;
    }
    BackupConfig config(work.path());
    config.setIsRegister(false);
    if (config.start() != BackupConfig::Start::Ready)
        return Exit::CannotRun; // its message said why
    Compressor compressor(work.path());
    if (o.backup) {
        if (const int status = backUp(o, config, compressor, work.path()); status != Exit::Completed)
            return status;
        // The set number the backup raised, kept with the register (the set is complete either way).
        config.close();
        if (const platform::FileError e = server.loadFiles(work.path(), {configName}, {configFileDef()}); !e.ok()) {
            std::fprintf(stderr, "vaultine: the backup is complete, but the register on %s could not record its set number: %s\n",
                         qPrintable(server.shown()), qPrintable(e.text));
            return Exit::Failed;
        }
        return Exit::Completed;
    }
    ConsoleRestore ui;
    RestoreRun run(config, compressor, ui);
    run.start(asLocation(o.from));
    if (run.runToEnd() != RestoreRun::State::Complete)
        return restoreStopped(run, messages);
    QStringList files = run.restoredFiles();
    if (!files.contains(configName, Qt::CaseInsensitive))
        files << configName;
    config.close();
    if (const platform::FileError e = server.loadFiles(work.path(), files, {configFileDef()}); !e.ok()) {
        std::fprintf(stderr,
                     "vaultine: restore stopped: the register on %s could not take the set: %s. Nothing was restored; the "
                     "register is as it was.\n",
                     qPrintable(server.shown()), qPrintable(e.text));
        return Exit::Failed;
    }
    std::printf("Restored %lld files from %s into the register on %s\n", static_cast<long long>(run.restoredFiles().size()),
                qPrintable(o.from), qPrintable(server.shown()));
    return Exit::Completed;
}
} // namespace

bool isCommandLine(const QStringList& arguments)
{
    for (const char* a : {"--backup", "--restore", "--help", "-h", "--version"})
        if (arguments.contains(QString::fromLatin1(a)))
            return true;
    return false;
}

int runCommandLine(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        usage(stdout);
        return Exit::Completed;
    }
    if (arguments.contains(QStringLiteral("--version"))) {
        std::printf("vaultine %s\n", FUNDORA_VERSION);
        return Exit::Completed;
    }
    Options o;
    if (!parse(arguments, o)) {
        usage(stderr);
        return Exit::Usage;
    }
    const auto messages = std::make_shared<ConsoleMessages>(o);
    if (!o.server.isEmpty()) {
        platform::MessageService::install(messages);
        return runOnServer(o, *messages);
    }
    if (o.directory.isEmpty()) {
        QString error;
        o.directory = platform::defaultRegisterDirectory(&error);
        if (o.directory.isEmpty()) {
            std::fprintf(stderr, "vaultine: %s\n", qPrintable(error));
            return Exit::CannotRun;
        }
    }
    if (!QFileInfo(o.directory).isDir()) {
        std::fprintf(stderr, "vaultine: the program directory %s does not exist\n", qPrintable(o.directory));
        return Exit::Usage;
    }
    o.directory = QFileInfo(o.directory).absoluteFilePath();
    platform::MessageService::install(messages);

    BackupConfig config(o.directory);
    if (startUtility(config) != StartupResult::Ready)
        return Exit::CannotRun; // its message said why
    Compressor compressor(o.directory);

    if (o.backup)
        return backUp(o, config, compressor, o.directory);
    ConsoleRestore ui;
    RestoreRun run(config, compressor, ui);
    run.start(asLocation(o.from));
    if (run.runToEnd() != RestoreRun::State::Complete)
        return restoreStopped(run, *messages);
    std::printf("Restored %lld files from %s\n", static_cast<long long>(run.restoredFiles().size()), qPrintable(o.from));
    return Exit::Completed;
}

} // namespace fundora::backup
