#include "backup/ContainerWriter.h"

#include "platform/Clock.h"

#include <unistd.h>

namespace fundora::backup {

ContainerWriter::ContainerWriter(DiskSupplier& disks, std::int32_t setNumber) : m_disks(disks), m_setNumber(setNumber) {}

ContainerWriter::~ContainerWriter()
{
    abandon();
}

bool ContainerWriter::openContainer()
{
    const QString name = m_disks.containerPath(m_disk);
    m_file = std::make_unique<QFile>(name);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_error = QStringLiteral("Cannot Create File: ") + name + QStringLiteral(" (") + m_file->errorString() + u')';
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

bool ContainerWriter::append(const QByteArray& record)
{
    if (m_file->write(record) != RecordSize) {
        m_error = QStringLiteral("Cannot write to ") + m_file->fileName() + QStringLiteral(": ") + m_file->errorString();
        return false;
    }
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
    QByteArray block(RecordSize, '\0');
    while (written < size) {
        const std::int64_t want = std::min<std::int64_t>(RecordSize, size - written);
        const qint64 got = data.read(block.data(), want);
        if (got != want) {
            m_error = QStringLiteral("%1 changed or could not be read while it was being backed up.").arg(QString::fromLatin1(file.name));
            return false;
        }
        if (got < RecordSize)
            std::fill(block.begin() + got, block.end(), '\0');
        if (!append(block))
            return false;
        written += got;
        if (m_free < MinimumFree) {
            m_file->flush();
            ::fsync(m_file->handle());
            m_file->close();
            if (m_file->error() != QFileDevice::NoError) {
                m_error = m_file->errorString();
                return false;
            }
            m_file.reset();
            const std::int64_t free = m_disks.nextDisk(m_disk + 1);
            if (free <= 0) {
                m_error = QStringLiteral("The back up was stopped at disk %1.").arg(m_disk + 1);
                return false;
            }
            ++m_disk;
            m_free = free;
            if (!openContainer() || !append(headerFor(file, size, RecordKind::Continuation).encode()))
                return false;
        }
    }
    return true;
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
    // A backup is only as good as what reached the disk.
    m_file->flush();
    ::fsync(m_file->handle());
    m_file->close();
    const bool closed = m_file->error() == QFileDevice::NoError;
    m_file.reset();
    return ok && closed;
}

void ContainerWriter::abandon()
{
    if (m_file) {
        m_file->close();
        m_file.reset();
    }
}

} // namespace fundora::backup
