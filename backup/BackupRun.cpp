#include "backup/BackupRun.h"

#include "backup/Drives.h"
#include "backup/Leftovers.h"
#include "backup/Messages.h"
#include "backup/Startup.h"
#include "platform/Clock.h"
#include "platform/InstalledFiles.h"
#include "platform/MessageService.h"
#include "platform/store/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

QStringList deleteContainers(const QString& location, const std::function<bool(const QString&)>& confirm)
{
    QStringList deleted;
    const QDir dir(location);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (!name.endsWith(QStringLiteral(".BKP"), Qt::CaseInsensitive))
            continue;
        if (confirm && !confirm(name))
            continue;
        if (QFile::remove(dir.filePath(name)))
            deleted << name;
    }
    return deleted;
}

BackupRun::BackupRun(BackupConfig& config, Compressor& compressor, BackupUi& ui) : m_config(config), m_compressor(compressor), m_ui(ui)
{
}

BackupRun::~BackupRun() = default;

QString BackupRun::containerPath(int disk) const
{
    return containerName(m_target.location, disk);
}

BackupRun::Result BackupRun::stop(const QString& reason)
{
    m_stopReason = reason;
    m_compressor.setWhileWaiting({});
    m_compressions.clear(); // ends every compression still running, before its temporary goes
    for (const QString& bkx : m_pendingBkx)
        QFile::remove(bkx);
    m_pendingBkx.clear();
    m_config.reopen();
    return Result::Stopped;
}

bool BackupRun::ensureDirectory()
{
    if (!m_target.pathSet || QFileInfo(m_target.location).isDir())
        return true;
    if (ask("Directory Not Found!",
            QStringLiteral("Directory : ") + m_target.shownLocation +
                QStringLiteral(" was not found. Do you want to create this directory?"),
            MessageIcon::Question, Button::Yes | Button::No, Button::Yes) != Button::Yes)
        return false;
    // A directory the utility makes is the user's alone: the sets hold every data file.
    if (!QDir().mkpath(m_target.location) ||
        !QFile::setPermissions(m_target.location, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        ask("Error creating directory!",
            QStringLiteral("This directory could not be created.  Please check you have used a valid drive and directory name "
                           "(max of 8 characters for directory name)."),
            MessageIcon::Stop, Button::Abort, Button::Abort);
        return false;
    }
    return true;
}

bool BackupRun::prepareFirstDisk(std::int64_t& free)
{
    for (;;) {
        deleteContainers(m_target.location);
        free = m_target.volumeSize > 0 ? m_target.volumeSize : freeSpace(m_target.location);
        if (free >= ContainerWriter::MinimumFree)
            return true;
        if (ask("Disk Full!", QStringLiteral("This disk does not have enough free space.\r\n"), MessageIcon::Exclamation,
                Button::Ok | Button::Cancel, Button::Ok) != Button::Ok)
            return false;
    }
}

std::int64_t BackupRun::nextDisk(int disk)
{
    m_disks = disk;
    if (m_target.volumeSize > 0)
        return m_target.volumeSize; // the next container lies beside the last one
    for (;;) {
        if (!m_ui.insertDisk(disk))
            return 0;
        bool keptJustWritten = false;
        const QString justWritten = QString::number(disk - 1);
        deleteContainers(m_target.location, [&](const QString& name) {
            if (!name.startsWith(justWritten))
                return true;
            const bool go = ask("WARNING",
                                QStringLiteral("You are about to delete ") + name +
                                    QStringLiteral("\r\nThis file appears to be the Back Up file just created!\r\nClick on Ok to "
                                                   "continue deleting - Cancel will prompt for another disk."),
                                MessageIcon::Exclamation, Button::Ok | Button::Cancel, Button::Ok) == Button::Ok;
            keptJustWritten = keptJustWritten || !go;
            return go;
        });
        if (keptJustWritten) {
            beep();
            continue;
        }
        const std::int64_t free = freeSpace(m_target.location);
        if (free <= 4999) {
            beep();
            continue;
        }
        return free;
    }
}

BackupRun::Result BackupRun::run(const FileListing& files, const BackupTarget& target)
{
    m_target = target;
    m_stopReason.clear();
    m_disks = 1;
    if (m_config.isRegister() && refuseIfFundoraRuns())
        return stop(QStringLiteral("Fundora is running; nothing was backed up."));
    const QString directory = m_config.directory();
    removeLeftovers(directory);
    // Before anything is written: the compressor must be there when a file is to be compressed.
    const bool compresses = std::any_of(files.files.begin(), files.files.end(), [](const ListedFile& f) { return f.compress; });
    if (compresses && m_compressor.launcher().isEmpty()) {
        ask("PIF file not found!",
            QStringLiteral("PKLAUNCH.PIF has not been found in the current directory.\r\n\r\nCurrent Directory is: ") + directory.toUpper(),
            MessageIcon::Stop, Button::Abort, Button::Abort);
        return stop(QStringLiteral("PKLAUNCH.PIF is missing from %1 and was not installed with the program (in %2). Install "
                                   "Fundora again, or copy it into %1 from Fundora's sources (data/PKLAUNCH.PIF, executable).")
                        .arg(directory, platform::installedDataDirectory()));
    }
    if (!ensureDirectory())
        return stop(QStringLiteral("The directory ") + target.shownLocation + QStringLiteral(" is not there."));
    std::int64_t free = 0;
    if (!prepareFirstDisk(free))
        return stop(QStringLiteral("Disk 1 has too little free space."));
    const std::int32_t setNumber = m_config.record().setNumber;
    m_config.close();

    // The files are opened before the hold and closed after it: closing a
    // file drops the locks this process holds on it.
    std::vector<std::unique_ptr<QFile>> sources;
    QStringList paths;
    for (const ListedFile& f : files.files) {
        // Opened without following a link, and checked again on what was opened.
        auto in = std::make_unique<QFile>(f.sourcePath);
        const int fd = ::open(QFile::encodeName(f.sourcePath).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (const QString why = fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : refusalOf(f.sourcePath, fd); !why.isEmpty()) {
            if (fd >= 0)
                ::close(fd);
            return stop(QStringLiteral("%1 is not backed up: %2.").arg(f.sourcePath, why));
        }
        if (!in->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ask("Error Opening File! ", QStringLiteral("Cannot Open File: ") + f.sourcePath, MessageIcon::Stop, Button::Cancel,
                Button::Cancel);
            return stop(QStringLiteral("%1 could not be opened: %2").arg(f.sourcePath, in->errorString()));
        }
        sources.push_back(std::move(in));
        paths << f.sourcePath;
    }
    // Every data file is held still for the whole set: no station can commit
    // a change meanwhile, and what a crashed writer left half-done is undone
    // first, so the set is one consistent snapshot.
    platform::SnapshotHold hold;
    if (const platform::FileError e = hold.hold(paths, HoldWait); !e.ok()) {
        ask("Data Files in Use!",
            QStringLiteral("The data files could not be held still for the back up (%1). Another station keeps writing them: close "
                           "Fundora everywhere and start the back up again.")
                .arg(e.text),
            MessageIcon::Stop, Button::Cancel, Button::Cancel);
        return stop(QStringLiteral("The data files could not be held still: %1").arg(e.text));
    }

    ContainerWriter writer(*this, setNumber);
    writer.onRecord = [&] {
        if (writer.bytesTotal() % 2048 == 0)
            m_ui.progress(QString(), false, writer.bytesThisDisk(), writer.bytesTotal());
    };
    if (!writer.begin(free)) {
        ask("Error Creating File!", QStringLiteral("Cannot Create File: ") + containerPath(1), MessageIcon::Stop, Button::Cancel,
            Button::Cancel);
        return stop(writer.error());
    }

    // Up to two files are compressed ahead while the one before them is written.
    m_compressions.clear();
    m_compressions.resize(files.files.size());
    auto& compressing = m_compressions;
    std::size_t nextToCompress = 0;
    auto bkxOf = [&](std::size_t i) {
        return QDir(directory).filePath(QFileInfo(files.files[i].name).completeBaseName().toUpper() + QStringLiteral(".BKX"));
    };
    // Keeps two compressions running, at most three files ahead of the one being written.
    std::size_t current = 0;
    bool startFailed = false;
    auto startAhead = [&] {
        int running = 0;
        for (std::size_t k = current; k < nextToCompress; ++k)
            // A look without waiting: a process's end is noticed only when someone asks.
            running += compressing[k] && !compressing[k]->waitForFinished(0) && compressing[k]->state() != QProcess::NotRunning;
        while (!startFailed && running < 2 && nextToCompress < files.files.size() && nextToCompress < current + 3) {
            const std::size_t k = nextToCompress;
            if (files.files[k].compress) {
                // Two names that differ only in case share one temporary: the second waits.
                for (std::size_t other = current; other < k; ++other)
                    if (compressing[other] && bkxOf(other) == bkxOf(k))
                        return;
                compressing[k] = m_compressor.startCompress(files.files[k].sourcePath);
                if (!compressing[k]) {
                    startFailed = true;
                    return;
                }
                m_pendingBkx << bkxOf(k);
                ++running;
            }
            ++nextToCompress;
        }
    };
    m_compressor.setWhileWaiting(startAhead);
    auto compressionFailed = [&](const ListedFile& f) {
        writer.abandon();
        ask("Unable to carry out compression!", QStringLiteral("An error has occurred when trying to compress a data file."),
            MessageIcon::Stop, Button::Abort, Button::Abort);
        return stop(QStringLiteral("%1 could not be compressed (%2).").arg(f.name, m_compressor.failure()));
    };

    for (std::size_t i = 0; i < files.files.size(); ++i) {
        const ListedFile& f = files.files[i];
        if (f.name.size() > 80) {
            writer.abandon();
            return stop(QStringLiteral("The name %1 is too long to be backed up.").arg(f.name));
        }
        m_ui.progress(f.name, f.compress, writer.bytesThisDisk(), writer.bytesTotal());
        current = i;
        startAhead();
        QFile* in = sources[i].get();
        std::unique_ptr<QFile> packed;
        if (f.compress) {
            if (startFailed || !compressing[i] || !m_compressor.finishCompress(*compressing[i], f.sourcePath))
                return compressionFailed(f);
            compressing[i].reset();
            m_ui.progress(f.name, false, writer.bytesThisDisk(), writer.bytesTotal());
            packed = std::make_unique<QFile>(bkxOf(i));
            if (!packed->open(QIODevice::ReadOnly)) {
                writer.abandon();
                ask("Error Opening File! ", QStringLiteral("Cannot Open File: ") + bkxOf(i), MessageIcon::Stop, Button::Cancel,
                    Button::Cancel);
                return stop(QStringLiteral("%1 could not be opened: %2").arg(bkxOf(i), packed->errorString()));
            }
            in = packed.get();
        }
        StoredFile stored;
        stored.name = f.name.toLatin1();
        stored.shortName = f.name.toLatin1();
        stored.date = f.date;
        stored.time = f.time;
        stored.compressed = f.compress;
        // The size as held, not as listed: undoing a crashed writer's journal may have changed it.
        in->seek(0);
        if (!writer.writeFile(stored, *in, in->size())) {
            writer.abandon();
            return stop(writer.error());
        }
        if (packed) {
            packed.reset();
            QFile::remove(bkxOf(i));
            m_pendingBkx.removeAll(bkxOf(i));
        }
    }
    if (!writer.finish()) {
        // Without its end record the set cannot be restored: this is no completed backup.
        ask("Fundora 2000 - Backup/Restore Module", QStringLiteral("error adding EOF - incomplete backup"), MessageIcon::Exclamation,
            Button::Ok, Button::Ok);
        return stop(QStringLiteral("The end record could not be written: ") + writer.error());
    }
    m_compressor.setWhileWaiting({});
    hold.release();
    sources.clear();
    m_disks = writer.disk();
    if (!m_config.reopen())
        return stop(QStringLiteral("CFG.TPS could not be read again; the set number was not advanced."));
    ConfigRecord& cfg = m_config.record();
    cfg.setNumber += 1;
    cfg.lastDate = platform::Clock::current().today();
    cfg.lastTime = platform::Clock::current().timeOfDay();
    if (!m_config.save()) {
        m_stopReason = QStringLiteral("The backup is complete, but CFG.TPS could not record its set number.");
        return Result::Stopped;
    }
    return Result::Completed;
}

} // namespace fundora::backup
