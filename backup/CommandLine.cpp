#include "backup/CommandLine.h"

#include "backup/BackupRun.h"
#include "backup/Drives.h"
#include "backup/FileListing.h"
#include "backup/RestoreRun.h"
#include "backup/Startup.h"
#include "platform/MessageService.h"
#include "platform/RegisterDirectory.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace fundora::backup {

namespace Button = platform::Button;

namespace {

struct Options {
    QString directory; // --dir, else the user's register
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
    std::fprintf(to, "usage: vaultine [--dir DIR] --backup --to DIR [--no-compress] [--volume-size BYTES]\n"
                     "       vaultine [--dir DIR] --restore --from DIR [--allow-older-set] [--sync-set-numbers]\n"
                     "       vaultine [--dir DIR]            (the windows)\n"
                     "       vaultine --help | --version\n"
                     "\n"
                     "  --dir DIR            the register's directory (default: FUNDORA_DIR, else $XDG_DATA_HOME/fundora,\n"
                     "                       else ~/.local/share/fundora)\n"
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
    return true;
}

QString asLocation(const QString& dir)
{
    QString l = QFileInfo(dir).absoluteFilePath();
    if (!l.endsWith(u'/'))
        l += u'/';
    return l;
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
    const auto messages = std::make_shared<ConsoleMessages>(o);
    platform::MessageService::install(messages);

    BackupConfig config(o.directory);
    if (startUtility(config) != StartupResult::Ready)
        return Exit::CannotRun; // its message said why
    Compressor compressor(o.directory);

    if (o.backup) {
        const FileListing files = listDataFiles(o.directory, o.compress);
        if (const QString refused = refusedText(files); !refused.isEmpty())
            std::fprintf(stderr, "vaultine: %s\n", qPrintable(refused));
        if (o.compress && freeSpace(o.directory) < 2 * files.biggest) {
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

    ConsoleRestore ui;
    RestoreRun run(config, compressor, ui);
    run.start(asLocation(o.from));
    if (run.runToEnd() != RestoreRun::State::Complete) {
        // Said once: when a message of the run named what went wrong, the last line only says how it ended.
        const QString reason = run.stopReason();
        const QString firstPart = reason.section(QStringLiteral("; "), 0, 0).section(QStringLiteral(". "), 0, 0);
        if (messages->said(firstPart))
            std::fprintf(stderr, "vaultine: restore stopped; every data file is as it was.\n");
        else
            std::fprintf(stderr, "vaultine: restore stopped: %s\n", qPrintable(reason));
        return Exit::Failed;
    }
    std::printf("Restored %lld files from %s\n", static_cast<long long>(run.restoredFiles().size()), qPrintable(o.from));
    return Exit::Completed;
}

} // namespace fundora::backup
