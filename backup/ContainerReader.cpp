#include "backup/ContainerReader.h"

#include "backup/ContainerRecord.h"
#include "platform/FileCopy.h"

namespace fundora::backup {

bool ContainerReader::open(const QString& location, int disk)
{
    m_buffer.clear();
    m_offset = 0;
    m_file = std::make_unique<QFile>(containerName(location, disk));
    if (!m_file->open(QIODevice::ReadOnly)) {
        m_file.reset();
        return false;
    }
    return true;
}

void ContainerReader::rewind()
{
    m_file->seek(0);
    m_buffer.clear();
    m_offset = 0;
}

ContainerReader::Read ContainerReader::next(QByteArray& record)
{
    if (m_offset >= m_buffer.size()) {
        m_buffer = m_file->read(256 * RecordSize);
        m_offset = 0;
        if (m_buffer.isEmpty())
            return m_file->error() == QFileDevice::NoError ? Read::EndOfContainer : Read::Failed;
    }
    if (m_buffer.size() - m_offset < RecordSize) {
        // A piece that ends inside a record: the rest must follow, or the container is cut.
        const QByteArray more = m_file->read(RecordSize - (m_buffer.size() - m_offset));
        m_buffer = m_buffer.mid(m_offset) + more;
        m_offset = 0;
        if (m_buffer.size() < RecordSize)
            return Read::Failed;
    }
    record = QByteArray::fromRawData(m_buffer.constData() + m_offset, RecordSize);
    m_offset += RecordSize;
    return Read::Record;
}

std::int64_t ContainerReader::copyBlocksTo(QFile& out, std::int64_t bytes)
{
    if (!out.flush())
        return -1;
    const std::int64_t at = m_file->pos();
    const std::int64_t copied = platform::copyFileRange(m_file->handle(), at, out.handle(), bytes);
    if (copied < 0)
        return -1;
    const std::int64_t whole = copied / RecordSize * RecordSize;
    m_file->seek(at + whole);
    out.seek(out.size());
    return whole;
}

} // namespace fundora::backup
