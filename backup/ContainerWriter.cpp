#include "backup/ContainerWriter.h"

#include "platform/Clock.h"
#include "platform/FileCopy.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace fundora::backup {

ContainerWriter::ContainerWriter(DiskSupplier& disks, std::int32_t setNumber) : m_disks(disks), m_setNumber(setNumber)
{
}

ContainerWriter::~ContainerWriter()
{
    abandon();
}

bool ContainerWriter::openContainer()
{
    const QString name = m_disks.containerPath(m_disk);
    m_file = std::make_unique<QFile>(name);
    m_path = name; // a QFile opened on a descriptor forgets its name
    // Private to the user (it holds every data file), and never written through a link.
    const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 || ::fchmod(fd, 0600) != 0 || !m_file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : m_file->errorString();
        if (fd >= 0 && !m_file->isOpen())
            ::close(fd);
        m_error = QStringLiteral("Cannot Create File: ") + name + QStringLiteral(" (") + why + u')';
        m_file.reset();
        return false;
    }
    m_thisDisk = 0;
    return true;
}

bool ContainerWriter::begin(std::int64_t freeBytes)
{
    m_disk = 1;
    m_free = freeBytes;
    m_total = 0;
    return openContainer();
}

namespace {
constexpr qsizetype WriteChunk = 1024 * RecordSize;

// What to do when a write failed because the disk is full; empty for other failures.
QString fullDiskHint(const QString& why)
{
    return why.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))
               ? QStringLiteral(". The disk is full: free some space there, or back up to another disk.")
               : QString();
}
} // namespace

bool ContainerWriter::flushPending()
{
    if (m_pending.isEmpty())
        return true;
    if (m_file->write(m_pending) != m_pending.size()) {
        m_error = QStringLiteral("Cannot write to ") + m_path + QStringLiteral(": ") + m_file->errorString();
        m_error += fullDiskHint(m_file->errorString());
        return false;
    }
    m_pending.clear();
    return true;
}

bool ContainerWriter::closeContainer()
{
    const bool written = flushPending() && m_file->flush();
    // A backup is only as good as what reached the disk.
    const bool synced = written && ::fsync(m_file->handle()) == 0;
    const QString why = synced ? m_file->errorString() : QString::fromLocal8Bit(std::strerror(errno));
    m_file->close();
    const bool closed = synced && m_file->error() == QFileDevice::NoError;
    if (!closed && m_error.isEmpty())
        m_error = QStringLiteral("Cannot write to ") + m_path + QStringLiteral(": ") + why + fullDiskHint(why);
    m_file.reset();
    if (!closed)
        QFile::remove(m_path); // a container that did not reach the disk whole is no part of a set
    return closed;
}

bool ContainerWriter::append(const char* record)
{
    if (m_pending.capacity() < WriteChunk)
        m_pending.reserve(WriteChunk);
    m_pending.append(record, RecordSize);
    if (m_pending.size() >= WriteChunk && !flushPending())
        return false;
    m_free -= RecordSize;
    m_thisDisk += RecordSize;
    m_total += RecordSize;
    if (onRecord)
        onRecord();
    return true;
}

ContainerHeader ContainerWriter::headerFor(const StoredFile& file, std::int64_t size, RecordKind kind) const
{
    ContainerHeader h;
    h.kind = kind;
    h.fileName = file.name;
    h.fileSize = static_cast<std::int32_t>(size);
    h.fileDate = file.date;
    h.fileTime = file.time;
    h.setNumber = m_setNumber;
    const platform::Clock& clock = platform::Clock::current();
    h.createdDate = clock.today();
    h.createdTime = clock.timeOfDay();
    h.diskNumber = static_cast<std::int16_t>(kind == RecordKind::Header ? 1 : m_disk);
    h.compressed = file.compressed;
    h.path = file.shortName;
    h.compressionType = 1;
    h.version = FormatVersion;
    return h;
}

bool ContainerWriter::writeFile(const StoredFile& file, QIODevice& data, std::int64_t size)
{
    if (size < 0 || size > INT32_MAX) {
        m_error = QStringLiteral("%1 is too large to back up (%2 bytes).").arg(QString::fromLatin1(file.name)).arg(size);
        return false;
    }
    if (!append(headerFor(file, size, RecordKind::Header).encode()))
        return false;
    std::int64_t written = 0;
    auto* source = qobject_cast<QFileDevice*>(&data);
    const std::int64_t sourceStart = source ? source->pos() : 0;
    QByteArray chunk;
    qsizetype offset = 0;
    QByteArray block(RecordSize, '\0');
    while (written < size) {
        // Whole blocks of a file go straight from file to container, as many as
        // fit before the disk's free space drops below the minimum.
        const std::int64_t wholeBlocks = (size - written) / RecordSize;
        if (source && source->handle() >= 0 && wholeBlocks > 0 && offset >= chunk.size()) {
            const std::int64_t fit = std::max<std::int64_t>(1, (m_free - MinimumFree) / RecordSize + 1);
            const std::int64_t bytes = std::min(wholeBlocks, fit) * RecordSize;
            if (!flushPending())
                return false;
            if (!m_file->flush()) {
                m_error = QStringLiteral("Cannot write to ") + m_path + QStringLiteral(": ") + m_file->errorString() +
                          fullDiskHint(m_file->errorString());
                return false;
            }
            const std::int64_t copied = platform::copyFileRange(source->handle(), sourceStart + written, m_file->handle(), bytes);
            if (copied < 0 && errno == ENOSPC) {
                m_error =
                    QStringLiteral("Cannot write to %1: the disk is full. Free some space there, or back up to another disk.").arg(m_path);
                return false;
            }
            if (copied != bytes) {
                m_error =
                    QStringLiteral("%1 changed or could not be read while it was being backed up.").arg(QString::fromLatin1(file.name));
                return false;
            }
            m_file->seek(m_file->size());
            written += bytes;
            m_free -= bytes;
            m_thisDisk += bytes;
            m_total += bytes;
            if (onRecord)
                onRecord();
            if (written < size)
                data.seek(sourceStart + written);
            if (m_free < MinimumFree && !nextDisk(file, size))
                return false;
            continue;
        }
        // The data is read in large pieces and cut into blocks.
        if (offset >= chunk.size()) {
            chunk = data.read(std::min<std::int64_t>(WriteChunk, size - written));
            offset = 0;
            if (chunk.isEmpty()) {
                m_error =
                    QStringLiteral("%1 changed or could not be read while it was being backed up.").arg(QString::fromLatin1(file.name));
                return false;
            }
        }
        const qsizetype got = std::min<qsizetype>(RecordSize, chunk.size() - offset);
        const char* blockData = chunk.constData() + offset;
        if (got < RecordSize) {
            if (written + got < size) {
                m_error =
                    QStringLiteral("%1 changed or could not be read while it was being backed up.").arg(QString::fromLatin1(file.name));
                return false;
            }
            std::copy(blockData, blockData + got, block.begin());
            std::fill(block.begin() + got, block.end(), '\0');
            blockData = block.constData();
        }
        offset += got;
        if (!append(blockData))
            return false;
        written += got;
        if (m_free < MinimumFree && !nextDisk(file, size))
            return false;
    }
    return true;
}

bool ContainerWriter::nextDisk(const StoredFile& file, std::int64_t size)
{
    if (!closeContainer())
        return false;
    const std::int64_t free = m_disks.nextDisk(m_disk + 1);
    if (free <= 0) {
        m_error = QStringLiteral("The back up was stopped at disk %1.").arg(m_disk + 1);
        return false;
    }
    ++m_disk;
    m_free = free;
    return openContainer() && append(headerFor(file, size, RecordKind::Continuation).encode());
}

bool ContainerWriter::finish()
{
    ContainerHeader end;
    end.kind = RecordKind::End;
    end.setNumber = m_setNumber;
    end.createdDate = platform::Clock::current().today();
    end.createdTime = platform::Clock::current().timeOfDay();
    end.diskNumber = static_cast<std::int16_t>(m_disk);
    end.compressionType = 1;
    end.version = FormatVersion;
    const bool ok = append(end.encode());
    return closeContainer() && ok;
}

void ContainerWriter::abandon()
{
    if (m_file) {
        // The container being written is of no use without the rest of the set:
        // removed, so no partial one is left to be taken for a set. (Containers
        // of earlier disks are on other media and are not touched.)
        m_file->close();
        m_file.reset();
        QFile::remove(m_path);
    }
    m_pending.clear();
}

} // namespace fundora::backup
