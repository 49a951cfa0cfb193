#include "backup/RestoreRun.h"

#include "backup/Drives.h"
#include "backup/Leftovers.h"
#include "backup/Messages.h"
#include "backup/RestoreChecks.h"
#include "backup/Startup.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace fundora::backup {

namespace Button = platform::Button;
using platform::MessageIcon;

namespace {

using namespace std::chrono_literals;

// Room kept free on the disk beside what an expansion may fill.
constexpr std::int64_t ReserveBytes = 16 * 1024 * 1024;

bool isRegularFile(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

RestoreRun::RestoreRun(BackupConfig& config, Compressor& compressor, RestoreUi& ui)
    : m_config(config), m_compressor(compressor), m_ui(ui), m_directory(config.directory()), m_staging(m_directory)
{
}

RestoreRun::~RestoreRun()
{
    for (Expansion& e : m_expanding) {
        e.process->kill();
        e.process->waitForFinished(5000);
    }
    m_expanding.clear();
    discardOutput();
}

void RestoreRun::discardOutput()
{
    if (!m_output)
        return;
    const QString name = m_output->fileName();
    m_output->close();
    QFile::remove(name);
    m_output.reset();
}

RestoreRun::State RestoreRun::start(const QString& location)
{
    m_location = location;
    m_state = State::Running;
    m_restored.clear();
    m_staging.end();
    m_progress = RestoreProgress();
    m_progress.status = QStringLiteral("Reading file data ...");
    m_ui.progress(m_progress);
    m_disk = 1;
    m_expectedSet = m_config.record().setNumber;
    m_setBefore = m_expectedSet;
    if (m_config.isRegister() && refuseIfFundoraRuns())
        return stop(QStringLiteral("Fundora is running; nothing was restored."), false);
    m_config.close();
    removeLeftovers(m_directory);
    // Made new and private: whatever stood under its name was removed above, or is an unfinished restore's.
    if (bool wasThere = false; !m_staging.make(wasThere)) {
        if (wasThere)
            m_staging.keep();
        return stop(QStringLiteral("The directory %1 could not be made to restore into.").arg(m_staging.directory()));
    }

    const QString first = containerName(location, 1);
    if (!m_container.open(location, 1)) {
        ask("Error Opening File!", QStringLiteral("Cannot Open File: ") + first + QStringLiteral(".   Please Insert Disk ONE"),
            MessageIcon::Question, Button::Cancel, Button::Cancel);
        return stop(QStringLiteral("%1 could not be opened.").arg(first), false);
    }
    std::optional<ContainerHeader> header;
    for (;;) {
        m_container.rewind();
        QByteArray record;
        if (m_container.next(record) == ContainerReader::Read::Record)
            header = ContainerHeader::decode(record);
        if (header && (header->diskNumber == 1 || header->kind == RecordKind::Header))
            break;
        header.reset();
        if (ask("Disk out of Sequence!", QStringLiteral("Please Insert Disk ONE"), MessageIcon::Exclamation, Button::Ok | Button::Cancel,
                Button::Cancel) != Button::Ok)
            return stop(QStringLiteral("Disk 1 was not inserted."), false);
        if (!m_container.open(location, 1))
            return stop(QStringLiteral("%1 could not be opened.").arg(first), false);
    }
    if (!checkFirstDisk(*header))
        return m_state;
    if (header->kind != RecordKind::Header)
        return stop(QStringLiteral("Disk 1 does not begin with a file."));
    m_firstDiskSet = header->setNumber;
    beginFile(*header);
    return m_state;
}

bool RestoreRun::checkFirstDisk(const ContainerHeader& header)
{
    const FirstDiskVerdict verdict = backup::checkFirstDisk(header, m_expectedSet, [this] { m_ui.showSyncHelp(); });
    if (!verdict.go) {
        stop(verdict.stopReason, false);
        return false;
    }
    m_expectedSet = verdict.expectedSet;
    return true;
}

bool RestoreRun::copyWholeBlocks()
{
    // Blocks whose every byte belongs to the file go straight from the
    // container to the file, a few megabytes at a time.
    const std::int64_t whole = std::min(m_blocksLeft, (m_fileSize - m_written) / RecordSize);
    const std::int64_t bytes = std::min<std::int64_t>(whole, 4096) * RecordSize;
    if (bytes <= 0)
        return false;
    const std::int64_t copied = m_container.copyBlocksTo(*m_output, bytes);
    if (copied < 0)
        return false;
    const std::int64_t blocks = copied / RecordSize;
    m_written += blocks * RecordSize;
    m_blocksLeft -= blocks;
    m_progress.thisFile = m_written;
    m_progress.totalBytes += blocks * RecordSize;
    m_progress.thisDisk += blocks * RecordSize;
    m_ui.progress(m_progress);
    return blocks > 0;
}

RestoreRun::State RestoreRun::step(int records)
{
    for (int i = 0; i < records && m_state == State::Running; ++i) {
        if (m_output && m_container.atPieceEnd() && copyWholeBlocks()) {
            if (m_blocksLeft == 0 && !finishFile())
                return m_state;
            continue;
        }
        QByteArray record;
        const ContainerReader::Read r = m_container.next(record);
        if (r == ContainerReader::Read::Failed)
            return stop(QStringLiteral("Error reading from floppy %1. Restore ABORTED").arg(m_container.error()));
        if (r == ContainerReader::Read::EndOfContainer) {
            if (!nextDisk())
                return m_state;
            continue;
        }
        if (m_output && m_blocksLeft > 0) {
            // Blocks are counted from the header's size, so data that happens
            // to spell a record kind is still data.
            if (!writeBlock(record))
                return m_state;
            continue;
        }
        switch (ContainerHeader::kindOf(record)) {
        case RecordKind::End: return complete();
        case RecordKind::Header: {
            const auto header = ContainerHeader::decode(record);
            if (!header || !beginFile(*header))
                return m_state;
            break;
        }
        default: return stop(QStringLiteral("The backup set is damaged: disk %1 holds data where a file should begin.").arg(m_disk));
        }
    }
    return m_state;
}

RestoreRun::State RestoreRun::runToEnd()
{
    while (m_state == State::Running)
        step(64);
    return m_state;
}

bool RestoreRun::writeBlock(const QByteArray& block)
{
    const std::int64_t keep = std::min<std::int64_t>(RecordSize, m_fileSize - m_written);
    if (m_output->write(block.constData(), keep) != keep) {
        stop(QStringLiteral("add(outfile) %1: %2").arg(m_output->error()).arg(m_output->errorString()));
        return false;
    }
    m_written += keep;
    --m_blocksLeft;
    m_progress.thisFile = m_written;
    m_progress.totalBytes += RecordSize;
    m_progress.thisDisk += RecordSize;
    if (m_written % 2048 == 0)
        m_ui.progress(m_progress);
    if (m_blocksLeft == 0)
        return finishFile();
    return true;
}

bool RestoreRun::beginFile(const ContainerHeader& header)
{
    if (m_output) {
        // A header before the last file was whole: the set is damaged.
        stop(QStringLiteral("The backup set is damaged: %1 ends early.").arg(m_fileName));
        return false;
    }
    m_fileName = header.fileNameText();
    m_fileSize = header.fileSize;
    m_compressed = header.compressed;
    if (!isRestorableName(m_fileName)) {
        ask("Error Creating File!",
            QStringLiteral("The backup holds a file named \"%1\". Only data files (names ending in .TPS, without a directory) "
                           "are restored, so this set is not restored and every data file stays as it was.")
                .arg(m_fileName),
            MessageIcon::Stop, Button::Cancel, Button::Cancel);
        stop(QStringLiteral("Refused the file \"%1\": only data files (*.TPS) are restored.").arg(m_fileName), false);
        return false;
    }
    if (m_staging.holds(m_fileName)) {
        stop(QStringLiteral("The backup set is damaged: it holds %1 twice.").arg(m_fileName));
        return false;
    }
    if (m_fileSize < 0) {
        stop(QStringLiteral("The backup set is damaged: %1 has a negative size.").arg(m_fileName));
        return false;
    }
    QString outputPath = m_staging.nextPartPath();
    if (m_compressed && header.compressionType != 1) {
        // Without an expansion step the stored data could only be thrown away.
        stop(
            QStringLiteral("%1 was compressed in a way this program does not know (type %2).").arg(m_fileName).arg(header.compressionType));
        return false;
    }
    if (m_compressed) {
        const QString path = header.pathText();
        m_baseName = QFileInfo(path).completeBaseName().toUpper();
        m_nameWithExtension = path.toUpper();
        if (!isRestorableName(path) || m_baseName.isEmpty() || !isPlainFileName(m_baseName)) {
            stop(QStringLiteral("Refused the compressed file \"%1\" of %2: only data files (*.TPS) are restored.").arg(path, m_fileName));
            return false;
        }
        // Two expansions of one name cannot share the staging directory.
        for (const Expansion& e : m_expanding)
            if (e.baseName == m_baseName && !completeExpansion())
                return false;
        outputPath = m_staging.path(m_baseName + QStringLiteral(".BKX"));
    }
    m_output = std::make_unique<QFile>(outputPath);
    // A new file in the fresh staging directory: no truncation (ext4 would flush it when it is closed).
    if (!m_output->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        ask("Error Creating File!", QStringLiteral("Cannot Create File: ") + QFileInfo(outputPath).fileName(), MessageIcon::Stop,
            Button::Cancel, Button::Cancel);
        m_output.reset();
        stop(QStringLiteral("%1 could not be created.").arg(outputPath), false);
        return false;
    }
    m_output->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    m_written = 0;
    m_blocksLeft = (m_fileSize + RecordSize - 1) / RecordSize;
    m_progress.thisFile = 0;
    m_progress.status = (QStringLiteral("Restoring ") + m_fileName.toUpper()).left(40);
    m_ui.progress(m_progress);
    if (m_blocksLeft == 0)
        return finishFile();
    return true;
}

bool RestoreRun::finishFile()
{
    if (!m_output->flush()) {
        stop(QStringLiteral("%1 could not be written: %2").arg(m_fileName, m_output->errorString()));
        return false;
    }
    // Its data starts on its way to the disk now; it is synced before it is put in place.
    ::sync_file_range(m_output->handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
    const QString written = m_output->fileName();
    m_output->close();
    const bool failed = m_output->error() != QFileDevice::NoError;
    m_output.reset();
    if (failed) {
        stop(QStringLiteral("%1 could not be written.").arg(m_fileName));
        return false;
    }
    if (!m_compressed) {
        m_staging.add(m_fileName, written, false);
        return true;
    }
    // The expansion runs while the next file is read; two may run at once.
    if (!reapExpansions())
        return false;
    if (m_expanding.size() >= 2 && !completeExpansion())
        return false;
    // An expansion may fill the disk but for a reserve, and no more.
    const std::int64_t limit = freeSpace(m_staging.directory()) - ReserveBytes;
    if (limit <= 0) {
        stop(QStringLiteral("The disk of %1 has no room to expand %2.").arg(m_directory, m_fileName));
        return false;
    }
    Expansion e{m_compressor.startExpand(m_baseName, m_staging.directory(), limit), m_baseName, m_fileName, m_nameWithExtension};
    if (!e.process) {
        stop(QStringLiteral("%1 could not be expanded (%2).").arg(m_baseName, m_compressor.failure()), false);
        return false;
    }
    m_expanding.push_back(std::move(e));
    return true;
}

bool RestoreRun::reapExpansions()
{
    for (std::size_t i = 0; i < m_expanding.size();) {
        // A look without waiting: a process's end is noticed only when someone asks.
        if (m_expanding[i].process->waitForFinished(0) || m_expanding[i].process->state() == QProcess::NotRunning) {
            if (!completeExpansion(i))
                return false;
        } else {
            ++i;
        }
    }
    return true;
}

bool RestoreRun::completeExpansion(std::size_t index)
{
    if (index >= m_expanding.size())
        return true;
    Expansion e = std::move(m_expanding[index]);
    m_expanding.erase(m_expanding.begin() + static_cast<std::ptrdiff_t>(index));
    const bool expanded = m_compressor.finishExpand(*e.process, e.baseName);
    QFile::remove(m_staging.path(e.baseName + QStringLiteral(".BKX")));
    const QString result = m_staging.path(e.nameWithExtension);
    if (!expanded || !isRegularFile(result)) {
        ask("Error Uncompressing Files!", QStringLiteral("An error has occurred while uncompressing : ") + e.baseName,
            MessageIcon::Exclamation, Button::Abort, Button::Abort);
        stop(QStringLiteral("%1 could not be expanded (%2).")
                 .arg(e.baseName, expanded ? QStringLiteral("it did not give %1").arg(e.nameWithExtension) : m_compressor.failure()),
             false);
        return false;
    }
    // Kept under a name of its own, so that no later file of the set meets it.
    const QString kept = m_staging.nextPartPath();
    if (std::rename(QFile::encodeName(result).constData(), QFile::encodeName(kept).constData()) != 0) {
        stop(QStringLiteral("%1 could not be kept for the restore.").arg(e.fileName));
        return false;
    }
    m_staging.add(e.fileName, kept, true);
    return true;
}

bool RestoreRun::installStaged()
{
    const RestoreStaging::Outcome outcome = m_staging.install(m_setBefore);
    if (!outcome.damagedFile.isEmpty()) {
        ask("Error Copying File! ",
            QStringLiteral("%1 in the backup set is damaged (%2). Nothing of this set is restored; every data file stays as it was.")
                .arg(outcome.damagedFile, outcome.damage),
            MessageIcon::Stop, Button::Abort, Button::Abort);
        stop(QStringLiteral("%1 in the backup set is damaged (%2).").arg(outcome.damagedFile, outcome.damage), false);
        return false;
    }
    if (!outcome.setNumberNotKept.isEmpty()) {
        stop(QStringLiteral("The set number could not be kept in %1; nothing was restored.").arg(outcome.setNumberNotKept));
        return false;
    }
    if (!outcome.installError.isEmpty()) {
        ask("Error Copying File! ",
            QStringLiteral("The data files could not be replaced: %1. Nothing of this set is restored; every data file stays as it "
                           "was. Close every program that uses the data files (on this or another computer) and restore again.")
                .arg(outcome.installError),
            MessageIcon::Stop, Button::Abort, Button::Abort);
        if (outcome.finishesAtNextStart)
            stop(QStringLiteral("The data files could not all be put in place (%1); the next start finishes the restore.")
                     .arg(outcome.installError),
                 false);
        else
            stop(QStringLiteral("The data files could not be replaced: %1.").arg(outcome.installError), false);
        return false;
    }
    m_restored = m_staging.installed();
    return true;
}

bool RestoreUi::acceptOtherSet(int, std::int32_t, std::int32_t, std::int32_t)
{
    beep();
    return ask("Incorrect Set?",
               QStringLiteral("This disk appears to be from the wrong backup set. However, if you are restoring after a complete hard "
                              "disk failure then the stored set number might not correspond with this disk.  In this case, and if you "
                              "are sure all disks ARE from the correct set, press OK. Otherwise press Abort."),
               MessageIcon::Question, Button::Ok | Button::Abort, Button::Ok) == Button::Ok;
}

bool RestoreRun::nextDisk()
{
    const int wanted = m_disk + 1;
    m_container.close();
    for (;;) {
        if (!m_ui.insertDisk(wanted)) {
            stop(QStringLiteral("The restore was abandoned at disk %1.").arg(wanted));
            return false;
        }
        int code = 0;
        std::optional<ContainerHeader> header;
        if (m_container.open(m_location, wanted)) {
            QByteArray record;
            if (m_container.next(record) == ContainerReader::Read::Record)
                header = ContainerHeader::decode(record);
        } else {
            code = platform::ErrorCode::NoSuchFile;
        }
        if (!header || header->kind != RecordKind::Continuation || header->diskNumber != wanted) {
            m_container.close();
            beep();
            say(QStringLiteral("Error %1: Incorrect disk - please insert disk %2").arg(code).arg(wanted));
            continue;
        }
        if (header->setNumber != m_expectedSet - 1 && !m_ui.acceptOtherSet(wanted, header->setNumber, m_expectedSet, m_firstDiskSet)) {
            m_container.close();
            continue;
        }
        m_disk = wanted;
        m_progress.thisDisk = 0;
        return true;
    }
}

RestoreRun::State RestoreRun::stop(const QString& reason, bool tellUser)
{
    discardOutput();
    for (Expansion& e : m_expanding) {
        e.process->kill();
        e.process->waitForFinished(5000);
    }
    m_expanding.clear();
    m_stopReason = reason;
    if (!m_staging.kept())
        m_stopReason += QStringLiteral(" Nothing was restored; every data file is as it was.");
    m_state = State::Stopped;
    if (tellUser)
        say(m_stopReason);
    end();
    return m_state;
}

RestoreRun::State RestoreRun::complete()
{
    while (!m_expanding.empty())
        if (!completeExpansion())
            return m_state;
    if (!installStaged())
        return m_state;
    m_state = State::Complete;
    m_progress.status = QStringLiteral("Restore complete");
    m_ui.progress(m_progress);
    end();
    return m_state;
}

void RestoreRun::end()
{
    m_container.close();
    m_staging.end();
    // The set number of the next backup is never lowered by a restore, not
    // even by the older CFG.TPS that the set brings back.
    if (m_config.reopen() && m_config.record().setNumber < m_setBefore) {
        m_config.record().setNumber = m_setBefore;
        m_config.save();
    }
}

} // namespace fundora::backup
