#pragma once

#include "backup/ContainerRecord.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>

namespace fundora::backup {

// Where the containers of a set go, disk by disk.
class DiskSupplier {
public:
    virtual ~DiskSupplier() = default;
    // Container file of disk `n`.
    virtual QString containerPath(int disk) const = 0;
    // The next disk (2, 3, ...) is wanted: the previous container is closed.
    // Returns its free bytes, or 0 when the run is to stop.
    virtual std::int64_t nextDisk(int disk) = 0;
};

// The data of one file to store.
struct StoredFile {
    QByteArray name;      // FNAME
    QByteArray shortName; // PATH (the data file's name, for compressed data)
    std::int32_t date = 0;
    std::int32_t time = 0;
    bool compressed = false;
};

// Writes a set: each file's header and its data in 1024-byte blocks, a
// continuation header first on every further disk, an end record last. The
// free space of a disk is tracked: every record takes 1024 bytes, and after a
// data block that leaves less than 3000 the next disk is asked for.
class ContainerWriter {
public:
    static constexpr std::int64_t MinimumFree = 3000;

    ContainerWriter(DiskSupplier& disks, std::int32_t setNumber);
    ~ContainerWriter();

    // Creates disk 1's container; `freeBytes` is that disk's free space.
    bool begin(std::int64_t freeBytes);
    // Appends `file` with the `size` bytes read from `data`.
    bool writeFile(const StoredFile& file, QIODevice& data, std::int64_t size);
    // The end record; closes the container.
    bool finish();
    void abandon();

    const QString& error() const { return m_error; }
    int disk() const { return m_disk; }
    std::int64_t bytesThisDisk() const { return m_thisDisk; }
    std::int64_t bytesTotal() const { return m_total; }
    // Called after every record.
    std::function<void()> onRecord;

private:
    bool openContainer();
    bool append(const char* record);
    bool append(const QByteArray& record) { return append(record.constData()); }
    // Writes what is gathered to the container (records go out in large writes).
    bool flushPending();
    bool closeContainer();
    // The disk is full: the next one, starting with a continuation header of `file`.
    bool nextDisk(const StoredFile& file, std::int64_t size);
    ContainerHeader headerFor(const StoredFile& file, std::int64_t size, RecordKind kind) const;

    DiskSupplier& m_disks;
    std::int32_t m_setNumber;
    std::unique_ptr<QFile> m_file;
    QString m_path; // the container being written
    QByteArray m_pending;
    int m_disk = 0;
    std::int64_t m_free = 0;
    std::int64_t m_thisDisk = 0;
    std::int64_t m_total = 0;
    QString m_error;
};

} // namespace fundora::backup
