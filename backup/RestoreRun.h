#pragma once

#include "backup/BackupConfig.h"
#include "backup/Compressor.h"
#include "backup/ContainerReader.h"
#include "backup/ContainerRecord.h"
#include "backup/RestoreChecks.h"
#include "backup/RestoreStaging.h"

#include <QFile>
#include <QProcess>

#include <deque>
#include <memory>
#include <optional>

namespace fundora::backup {

struct RestoreProgress {
    std::int64_t totalBytes = 0;
    std::int64_t thisDisk = 0;
    std::int64_t thisFile = 0;
    QString status;
};

// What the restore asks of its user while it runs.
class RestoreUi {
public:
    virtual ~RestoreUi() = default;
    // "Please insert disk N": true for Continue, false when the user abandons the restore.
    virtual bool insertDisk(int disk) = 0;
    virtual void progress(const RestoreProgress&) {}
    // The help on bringing set numbers into sync.
    virtual void showSyncHelp() {}
    // A continuation disk carries set `diskSet` where `expected` was looked
    // for (disk 1 carried `firstDiskSet`): true to accept it. By default the
    // user is asked ("Incorrect Set?").
    virtual bool acceptOtherSet(int disk, std::int32_t diskSet, std::int32_t expected, std::int32_t firstDiskSet);
};

// The restore run: checks disk 1 (sequence, set number, version), then reads
// the set file after file, disk after disk, into a private staging directory
// below the program directory. Only data files (names ending in .TPS) are
// taken; compressed ones are expanded there. When the whole set has been read
// and every file checked (a database must pass SQLite's quick check), the
// files are put in place one rename each; a set that is damaged anywhere, or
// a run that stops, leaves every data file as it was. The system's set
// number is never lowered by a restore.
class RestoreRun {
public:
    static inline const QString StagingName = RestoreStaging::Name;

    RestoreRun(BackupConfig& config, Compressor& compressor, RestoreUi& ui);
    ~RestoreRun();

    enum class State { Running, Complete, Stopped };
    // Opens disk 1 at `location` (ending with "/") and makes the checks.
    State start(const QString& location);
    // Processes up to `records` records (the progress window does three a tick).
    State step(int records);
    // Runs to the end.
    State runToEnd();

    State state() const { return m_state; }
    const QString& stopReason() const { return m_stopReason; }
    const QStringList& restoredFiles() const { return m_restored; }
    const RestoreProgress& progress() const { return m_progress; }

private:
    bool checkFirstDisk(const ContainerHeader& header);
    bool beginFile(const ContainerHeader& header);
    bool finishFile();
    bool writeBlock(const QByteArray& block);
    // Copies whole blocks of the current file in one go; false when none could be.
    bool copyWholeBlocks();
    // Waits for an expansion under way (the oldest by default); false when the run stopped.
    bool completeExpansion(std::size_t index = 0);
    // Completes the expansions that have ended, waiting for none.
    bool reapExpansions();
    // Puts the staged files in place once all are sound; false when the run stopped.
    bool installStaged();
    void discardOutput();
    // After the end of a container: asks for the next disk; false when the run stops.
    bool nextDisk();
    State stop(const QString& reason, bool tellUser = true);
    State complete();
    void end();

    BackupConfig& m_config;
    Compressor& m_compressor;
    RestoreUi& m_ui;
    QString m_directory;
    RestoreStaging m_staging;
    QString m_location;
    State m_state = State::Stopped;
    QString m_stopReason;
    QStringList m_restored;
    RestoreProgress m_progress;
    std::int32_t m_setBefore = 0;

    ContainerReader m_container;
    int m_disk = 0;
    std::int32_t m_expectedSet = 0;
    std::int32_t m_firstDiskSet = 0;

    // Compressed files being expanded (at most two at once) while the next one is read.
    struct Expansion {
        std::unique_ptr<QProcess> process;
        QString baseName;
        QString fileName;
        QString nameWithExtension;
    };
    std::deque<Expansion> m_expanding;

    // The file being read from the set.
    std::unique_ptr<QFile> m_output;
    QString m_fileName;
    std::int64_t m_fileSize = 0;
    std::int64_t m_written = 0;
    std::int64_t m_blocksLeft = 0;
    bool m_compressed = false;
    QString m_baseName;
    QString m_nameWithExtension;
};

} // namespace fundora::backup
