#pragma once

#include "backup/BackupConfig.h"
#include "backup/Compressor.h"
#include "backup/ContainerRecord.h"

#include <QFile>
#include <QSaveFile>

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

// The restore run: checks disk 1 (sequence, set number, version), then
// restores file after file, disk after disk. Each file is written under a
// temporary name and put in place only when it is whole, so a stopped run
// leaves the previous data file intact. Names that would write outside the
// program directory are refused.
class RestoreRun {
public:
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
    enum class Read { Record, EndOfContainer, Failed };
    Read readRecord(QByteArray& record);
    bool openContainer(int disk);
    bool beginFile(const ContainerHeader& header);
    bool finishFile();
    bool writeBlock(const QByteArray& block);
    // Copies whole blocks of the current file in one go; false when none could be.
    bool copyWholeBlocks();
    bool commitOutput();
    bool commitFinished();
    // Waits for the oldest expansion under way and puts its file in place; false when the run stopped.
    bool completeExpansion();
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
    QString m_location;
    State m_state = State::Stopped;
    QString m_stopReason;
    QStringList m_restored;
    RestoreProgress m_progress;

    std::unique_ptr<QFile> m_container;
    QByteArray m_readBuffer; // the container is read in large pieces
    qsizetype m_readOffset = 0;
    int m_disk = 0;
    std::int32_t m_expectedSet = 0;
    std::int32_t m_firstDiskSet = 0;

    // The file being restored.
    // The file being written: a data file goes through a QSaveFile (put in place
    // whole or not at all); a compressed file's temporary .BKX is a plain file.
    std::unique_ptr<QFileDevice> m_output;
    // A whole data file waits here for its move into place while the next one
    // is written, so that the wait for its data to reach the disk overlaps.
    std::unique_ptr<QSaveFile> m_finished;
    QString m_finishedName;
    // Compressed files being expanded (at most two at once) while the next one is read.
    struct Expansion {
        std::unique_ptr<QProcess> process;
        QString baseName;
        QString fileName;
        QString nameWithExtension;
    };
    std::deque<Expansion> m_expanding;
    enum class Expanded { InPlace, Failed, NotMoved };
    // Waits for an expansion, removes its .BKX and moves the file to its own name.
    Expanded finishExpansion(Expansion& e);
    QString m_fileName;
    std::int64_t m_fileSize = 0;
    std::int64_t m_written = 0;
    std::int64_t m_blocksLeft = 0;
    bool m_compressed = false;
    int m_compressionType = 1;
    QString m_baseName;
    QString m_nameWithExtension;
};

// A name from a container that is safe to write in the program directory: a
// plain file name, no directory part, no "..", no drive.
bool isPlainFileName(const QString& name);

} // namespace fundora::backup
