#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>

namespace fundora::backup {

// Reads the containers of a backup set (1.BKP, 2.BKP, ... at a location)
// record by record, in large pieces; whole blocks of a file's data can go
// straight from the container into the file.
class ContainerReader {
public:
    enum class Read { Record, EndOfContainer, Failed };

    // Opens container `disk` at `location`; false when it cannot be opened.
    bool open(const QString& location, int disk);
    void close() { m_file.reset(); }
    bool isOpen() const { return m_file != nullptr; }
    // Back to the container's first record.
    void rewind();
    // The next record (it stays valid until the next call).
    Read next(QByteArray& record);
    // Whether the piece read ahead is used up (whole blocks may then be copied directly).
    bool atPieceEnd() const { return m_offset >= m_buffer.size(); }
    // Copies up to `bytes` (whole records) from the container into `out` at its end; the count copied, -1 on failure.
    std::int64_t copyBlocksTo(QFile& out, std::int64_t bytes);
    // The error of the last failed read.
    QFileDevice::FileError error() const { return m_file ? m_file->error() : QFileDevice::OpenError; }

private:
    std::unique_ptr<QFile> m_file;
    QByteArray m_buffer;
    qsizetype m_offset = 0;
};

} // namespace fundora::backup
