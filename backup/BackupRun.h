#pragma once

#include "backup/BackupConfig.h"
#include "backup/Compressor.h"
#include "backup/ContainerWriter.h"
#include "backup/FileListing.h"

#include <chrono>
#include <memory>
#include <vector>

class QProcess;

namespace fundora::backup {

// Where a backup goes.
struct BackupTarget {
    QString location;            // directory of the containers, ending with "/"
    QString shownLocation;       // as the user knows it ("A:\BACKUP\"), for messages
    bool pathSet = false;        // a directory was named (it may have to be created)
    std::int64_t volumeSize = 0; // > 0: containers side by side in the location, each at most this size
};

// What the backup asks of its user while it runs.
class BackupUi {
public:
    virtual ~BackupUi() = default;
    // "Please insert disk N": true when the user pressed OK, false for Cancel.
    virtual bool insertDisk(int disk) = 0;
    virtual void progress(const QString& file, bool compressing, std::int64_t thisDisk, std::int64_t total)
    {
        Q_UNUSED(file);
        Q_UNUSED(compressing);
        Q_UNUSED(thisDisk);
        Q_UNUSED(total);
    }
};

// The backup run: every listed file, compressed where chosen, into a set of
// containers; the set number rises by one when (and only when) it completes.
// The data files are held still while the set is written (see SnapshotHold),
// so the set holds whole transactions only.
class BackupRun : private DiskSupplier {
public:
    // How long the run waits for a station that is writing the data files.
    static constexpr std::chrono::milliseconds HoldWait{10000};

    BackupRun(BackupConfig& config, Compressor& compressor, BackupUi& ui);
    ~BackupRun();

    enum class Result { Completed, Stopped };
    Result run(const FileListing& files, const BackupTarget& target);
    // Why the run stopped (empty after a completed run).
    const QString& stopReason() const { return m_stopReason; }
    int disksWritten() const { return m_disks; }

private:
    QString containerPath(int disk) const override;
    std::int64_t nextDisk(int disk) override;
    bool prepareFirstDisk(std::int64_t& free);
    bool ensureDirectory();
    Result stop(const QString& reason);

    BackupConfig& m_config;
    Compressor& m_compressor;
    BackupUi& m_ui;
    BackupTarget m_target;
    QString m_stopReason;
    QStringList m_pendingBkx;                              // compressed temporaries not yet removed
    std::vector<std::unique_ptr<QProcess>> m_compressions; // per listed file, while it is compressed
    int m_disks = 0;
};

// Deletes the container files (*.BKP, without regard to case) of a directory;
// `keep(name)` may spare one. Returns the names deleted.
QStringList deleteContainers(const QString& location, const std::function<bool(const QString&)>& confirm = {});

} // namespace fundora::backup
