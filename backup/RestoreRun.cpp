#include "backup/RestoreRun.h"

#include "backup/Drives.h"
#include "backup/Leftovers.h"
#include "backup/Messages.h"
#include "backup/Startup.h"
#include "platform/Clock.h"
#include "platform/FileCopy.h"
#include "platform/MessageService.h"
#include "platform/pictures/Picture.h"
#include "platform/store/FileInstall.h"
#include "platform/store/WholeFile.h"

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

// "6 Dec 2026"
QString shortDate(std::int32_t day)
{
    const QDate d = platform::qDateOf(day);
    return d.isValid() ? QStringLiteral("%1 %2 %3").arg(d.day()).arg(QLocale::c().monthName(d.month(), QLocale::ShortFormat)).arg(d.year())
                       : QString();
}

bool isRegularFile(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") || name.size() > 80)
        return false;
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32)
            return false;
    return !name.startsWith(u'.');
}

bool isRestorableName(const QString& name)
{
    return isPlainFileName(name) && name.size() > 4 && name.endsWith(QStringLiteral(".TPS"), Qt::CaseInsensitive);
}

RestoreRun::RestoreRun(BackupConfig& config, Compressor& compressor, RestoreUi& ui)
    : m_config(config), m_compressor(compressor), m_ui(ui), m_directory(config.directory()),
      m_staging(QDir(m_directory).filePath(StagingName))
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
    for (const Staged& s : m_staged)
        s.problem.wait();
    if (!m_keepStaging)
        removeStaging(m_directory);
}

QString RestoreRun::stagingPath(const QString& name) const
{
    return QDir(m_staging).filePath(name);
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

bool RestoreRun::openContainer(int disk)
{
    m_readBuffer.clear();
    m_readOffset = 0;
    m_container = std::make_unique<QFile>(containerName(m_location, disk));
    if (!m_container->open(QIODevice::ReadOnly)) {
        m_container.reset();
        return false;
    }
    return true;
}

RestoreRun::Read RestoreRun::readRecord(QByteArray& record)
{
    if (m_readOffset >= m_readBuffer.size()) {
        m_readBuffer = m_container->read(256 * RecordSize);
        m_readOffset = 0;
        if (m_readBuffer.isEmpty())
            return m_container->error() == QFileDevice::NoError ? Read::EndOfContainer : Read::Failed;
    }
    if (m_readBuffer.size() - m_readOffset < RecordSize) {
        // A piece that ends inside a record: the rest must follow, or the container is cut.
        const QByteArray more = m_container->read(RecordSize - (m_readBuffer.size() - m_readOffset));
        m_readBuffer = m_readBuffer.mid(m_readOffset) + more;
        m_readOffset = 0;
        if (m_readBuffer.size() < RecordSize)
            return Read::Failed;
    }
    record = QByteArray::fromRawData(m_readBuffer.constData() + m_readOffset, RecordSize);
    m_readOffset += RecordSize;
    return Read::Record;
}

RestoreRun::State RestoreRun::start(const QString& location)
{
    m_location = location;
    m_state = State::Running;
    m_restored.clear();
    m_staged.clear();
    m_progress = RestoreProgress();
    m_progress.status = QStringLiteral("Reading file data ...");
    m_ui.progress(m_progress);
    m_disk = 1;
    m_expectedSet = m_config.record().setNumber;
    m_setBefore = m_expectedSet;
    if (refuseIfFundoraRuns())
        return stop(QStringLiteral("Fundora is running; nothing was restored."), false);
    m_config.close();
    removeLeftovers(m_directory);
    // Made new and private: whatever stood under its name was removed above, or is an unfinished restore's.
    if (::mkdir(QFile::encodeName(m_staging).constData(), 0700) != 0) {
        m_keepStaging = errno == EEXIST;
        return stop(QStringLiteral("The directory %1 could not be made to restore into.").arg(m_staging));
    }

    const QString first = containerName(location, 1);
    if (!openContainer(1)) {
        ask("Error Opening File!", QStringLiteral("Cannot Open File: ") + first + QStringLiteral(".   Please Insert Disk ONE"),
            MessageIcon::Question, Button::Cancel, Button::Cancel);
        return stop(QStringLiteral("%1 could not be opened.").arg(first), false);
    }
    std::optional<ContainerHeader> header;
    for (;;) {
        m_container->seek(0);
        m_readBuffer.clear();
        m_readOffset = 0;
        QByteArray record;
        if (readRecord(record) == Read::Record)
            header = ContainerHeader::decode(record);
        if (header && (header->diskNumber == 1 || header->kind == RecordKind::Header))
            break;
        header.reset();
        if (ask("Disk out of Sequence!", QStringLiteral("Please Insert Disk ONE"), MessageIcon::Exclamation, Button::Ok | Button::Cancel,
                Button::Cancel) != Button::Ok)
            return stop(QStringLiteral("Disk 1 was not inserted."), false);
        openContainer(1);
        if (!m_container)
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
    if (header.setNumber < m_expectedSet - 1) {
        const QString warning =
            QStringLiteral("The disk set you are restoring from is sequence no. %1 whereas the last back up done was sequence %2. If "
                           "you continue you could be overwriting (and thus losing) data entered since %3 at %4. Click on Cancel "
                           "to abort the restore.")
                .arg(header.setNumber)
                .arg(m_expectedSet - 1)
                .arg(shortDate(header.createdDate), platform::formatPicture(std::int64_t{header.createdTime}, u"T3"));
        if (ask("Disk Set older than current Data!   WARNING!", warning, MessageIcon::Exclamation, Button::Ok | Button::Cancel,
                Button::Cancel) != Button::Ok) {
            stop(QStringLiteral("The set is older than the data; the restore was cancelled."), false);
            return false;
        }
        for (;;) {
            const int answer =
                ask("Bring Set Numbers into Sync?",
                    QStringLiteral(
                        "You have chosen to carry out a restore even though the diskette set number does not tally with the "
                        "system set number.  If you answer YES the system set number will be set to this diskette set's "
                        "number.  To cancel the restore altogether press Abort. For more information press Help.   "
                        "Answering either Yes or No will start the restoration.  \r\n\r\nDo you want to synchronize set numbers?\r\n"),
                    MessageIcon::Question, Button::Yes | Button::No | Button::Abort | Button::Help, Button::Yes);
            if (answer == Button::Help) {
                m_ui.showSyncHelp();
                continue;
            }
            if (answer != Button::Yes && answer != Button::No) {
                stop(QStringLiteral("The restore was cancelled."), false);
                return false;
            }
            // The further disks are checked against this set. The number stored
            // for the next backup is never lowered (see end()): a lower one
            // would be given again to a new set, and two sets could no longer be told apart.
            if (answer == Button::Yes)
                m_expectedSet = header.setNumber + 1;
            break;
        }
    }
    if (header.version != FormatVersion.leftJustified(5, ' ')) {
        ask("Incorrect Version!",
            QStringLiteral("These files have been backed up using version ") + header.versionText() +
                QStringLiteral(" of the back up program.  \r\n\r\nThe current version of the program is 3.6\r\n"),
            MessageIcon::Stop, Button::Cancel, Button::Cancel);
        stop(QStringLiteral("The set was written by version %1.").arg(header.versionText()), false);
        return false;
    }
    return true;
}

bool RestoreRun::copyWholeBlocks()
{
    // Blocks whose every byte belongs to the file go straight from the
    // container to the file, a few megabytes at a time.
    const std::int64_t whole = std::min(m_blocksLeft, (m_fileSize - m_written) / RecordSize);
    const std::int64_t bytes = std::min<std::int64_t>(whole, 4096) * RecordSize;
    if (bytes <= 0 || !m_output->flush())
        return false;
    const std::int64_t at = m_container->pos();
    const std::int64_t copied = platform::copyFileRange(m_container->handle(), at, m_output->handle(), bytes);
    if (copied < 0)
        return false;
    const std::int64_t blocks = copied / RecordSize;
    m_container->seek(at + blocks * RecordSize);
    m_output->seek(m_output->size());
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
        if (m_output && m_readOffset >= m_readBuffer.size() && copyWholeBlocks()) {
            if (m_blocksLeft == 0 && !finishFile())
                return m_state;
            continue;
        }
        QByteArray record;
        const Read r = readRecord(record);
        if (r == Read::Failed)
            return stop(QStringLiteral("Error reading from floppy %1. Restore ABORTED").arg(m_container->error()));
        if (r == Read::EndOfContainer) {
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
    for (const Staged& s : m_staged) {
        if (s.fileName.compare(m_fileName, Qt::CaseInsensitive) == 0) {
            stop(QStringLiteral("The backup set is damaged: it holds %1 twice.").arg(m_fileName));
            return false;
        }
    }
    if (m_fileSize < 0) {
        stop(QStringLiteral("The backup set is damaged: %1 has a negative size.").arg(m_fileName));
        return false;
    }
    QString outputName = QStringLiteral("%1.part").arg(++m_stagedFiles);
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
        outputName = m_baseName + QStringLiteral(".BKX");
    }
    m_output = std::make_unique<QFile>(stagingPath(outputName));
    // A new file in the fresh staging directory: no truncation (ext4 would flush it when it is closed).
    if (!m_output->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        ask("Error Creating File!", QStringLiteral("Cannot Create File: ") + outputName, MessageIcon::Stop, Button::Cancel, Button::Cancel);
        m_output.reset();
        stop(QStringLiteral("%1 could not be created.").arg(stagingPath(outputName)), false);
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
        stage(m_fileName, written, false);
        return true;
    }
    // The expansion runs while the next file is read; two may run at once.
    if (!reapExpansions())
        return false;
    if (m_expanding.size() >= 2 && !completeExpansion())
        return false;
    // An expansion may fill the disk but for a reserve, and no more.
    const std::int64_t limit = freeSpace(m_staging) - ReserveBytes;
    if (limit <= 0) {
        stop(QStringLiteral("The disk of %1 has no room to expand %2.").arg(m_directory, m_fileName));
        return false;
    }
    Expansion e{m_compressor.startExpand(m_baseName, m_staging, limit), m_baseName, m_fileName, m_nameWithExtension};
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
    QFile::remove(stagingPath(e.baseName + QStringLiteral(".BKX")));
    const QString result = stagingPath(e.nameWithExtension);
    if (!expanded || !isRegularFile(result)) {
        ask("Error Uncompressing Files!", QStringLiteral("An error has occurred while uncompressing : ") + e.baseName,
            MessageIcon::Exclamation, Button::Abort, Button::Abort);
        stop(QStringLiteral("%1 could not be expanded (%2).")
                 .arg(e.baseName, expanded ? QStringLiteral("it did not give %1").arg(e.nameWithExtension) : m_compressor.failure()),
             false);
        return false;
    }
    // Kept under a name of its own, so that no later file of the set meets it.
    const QString kept = stagingPath(QStringLiteral("%1.part").arg(++m_stagedFiles));
    if (std::rename(QFile::encodeName(result).constData(), QFile::encodeName(kept).constData()) != 0) {
        stop(QStringLiteral("%1 could not be kept for the restore.").arg(e.fileName));
        return false;
    }
    stage(e.fileName, kept, true);
    return true;
}

void RestoreRun::stage(const QString& fileName, const QString& path, bool contentVerified)
{
    // The file it replaces decides whether it must be a database: damage to
    // its header must not pass for a file of another kind.
    const bool mustBeDatabase = platform::looksLikeDatabase(QDir(m_directory).filePath(fileName));
    const auto depth = contentVerified ? platform::DatabaseCheck::Quick : platform::DatabaseCheck::Full;
    m_staged.push_back({fileName, path, std::async(std::launch::async, [path, mustBeDatabase, depth] {
                                            QString problem;
                                            if (platform::looksLikeDatabase(path))
                                                problem = platform::databaseProblem(path, depth);
                                            else if (mustBeDatabase)
                                                problem = QStringLiteral("it is not a data file");
                                            // On its way to the disk meanwhile, so that putting it in place waits for nothing.
                                            if (problem.isEmpty() && !platform::syncFile(path))
                                                problem = QStringLiteral("it could not be written to the disk");
                                            return problem;
                                        }).share()});
}

bool RestoreRun::installStaged()
{
    // First every file is checked: a set that is damaged anywhere replaces nothing.
    for (const Staged& s : m_staged) {
        const QString problem = s.problem.get();
        if (!problem.isEmpty()) {
            ask("Error Copying File! ",
                QStringLiteral("%1 in the backup set is damaged (%2). Nothing of this set is restored; every data file stays as it was.")
                    .arg(s.fileName, problem),
                MessageIcon::Stop, Button::Abort, Button::Abort);
            stop(QStringLiteral("%1 in the backup set is damaged (%2).").arg(s.fileName, problem), false);
            return false;
        }
    }
    // The set number of the next backup is never lowered, not even by the older
    // CFG.TPS the set brings back: its staged copy gets the number before it is put in place.
    std::vector<platform::FileToInstall> install;
    for (const Staged& s : m_staged) {
        if (s.fileName.compare(QStringLiteral("CFG.TPS"), Qt::CaseInsensitive) == 0 && !raiseStoredSetNumber(s.path, m_setBefore)) {
            stop(QStringLiteral("The set number could not be kept in %1; nothing was restored.").arg(s.fileName));
            return false;
        }
        install.push_back({StagingName + u'/' + QFileInfo(s.path).fileName(), s.fileName});
    }
    // Every file of the set is held before the first is replaced, and the
    // install finishes even when the utility is killed half-way (see installFiles).
    const platform::FileError e = platform::installFiles(m_directory, install, 2s);
    if (!e.ok()) {
        const QString why = e.osText.isEmpty() ? e.text : e.osText;
        ask("Error Copying File! ",
            QStringLiteral("The data files could not be replaced: %1. Nothing of this set is restored; every data file stays as it "
                           "was. Close every program that uses the data files (on this or another computer) and restore again.")
                .arg(why),
            MessageIcon::Stop, Button::Abort, Button::Abort);
        if (platform::installNamesStaging(m_directory, StagingName)) {
            // Decided but not finished (a rename failed): the next start of either program finishes it.
            m_keepStaging = true;
            stop(QStringLiteral("The data files could not all be put in place (%1); the next start finishes the restore.").arg(why), false);
        } else {
            stop(QStringLiteral("The data files could not be replaced: %1.").arg(why), false);
        }
        return false;
    }
    for (const Staged& s : m_staged)
        m_restored << s.fileName;
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
    m_container.reset();
    for (;;) {
        if (!m_ui.insertDisk(wanted)) {
            stop(QStringLiteral("The restore was abandoned at disk %1.").arg(wanted));
            return false;
        }
        int code = 0;
        std::optional<ContainerHeader> header;
        if (openContainer(wanted)) {
            QByteArray record;
            if (readRecord(record) == Read::Record)
                header = ContainerHeader::decode(record);
        } else {
            code = platform::ErrorCode::NoSuchFile;
        }
        if (!header || header->kind != RecordKind::Continuation || header->diskNumber != wanted) {
            m_container.reset();
            beep();
            say(QStringLiteral("Error %1: Incorrect disk - please insert disk %2").arg(code).arg(wanted));
            continue;
        }
        if (header->setNumber != m_expectedSet - 1 && !m_ui.acceptOtherSet(wanted, header->setNumber, m_expectedSet, m_firstDiskSet)) {
            m_container.reset();
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
    if (!m_keepStaging)
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
    m_container.reset();
    for (const Staged& s : m_staged)
        s.problem.wait(); // no check may still read a file when the staging directory goes
    if (!m_keepStaging)
        removeStaging(m_directory);
    m_staged.clear();
    // The set number of the next backup is never lowered by a restore, not
    // even by the older CFG.TPS that the set brings back.
    if (m_config.reopen() && m_config.record().setNumber < m_setBefore) {
        m_config.record().setNumber = m_setBefore;
        m_config.save();
    }
}

} // namespace fundora::backup
