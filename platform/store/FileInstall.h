#pragma once

#include "platform/store/FileError.h"

#include <QString>

#include <chrono>
#include <memory>
#include <vector>

namespace fundora::platform {

// Puts a set of whole files in place in a directory, all or nothing across a
// crash (the restore of a backup set).
//
// Before the first file is replaced, every target that exists is held
// exclusively (an SQLite exclusive lock, the lock every program on the
// directory takes to read or write a data file), so no other process reads a
// mix of old and new files and none can stop the install half-way. Then an
// intent record (InstallRecordName) naming every staged file and its target
// is written whole and synced; the renames follow; the record is removed last.
// A process killed anywhere in between leaves the record, and whichever
// program opens the directory next finishes the renames it names
// (finishInterruptedInstall) before it opens a data file.
struct FileToInstall {
    QString staged; // path relative to the directory, inside a private staging directory
    QString target; // a plain file name in the directory
};

inline const QString InstallRecordName = QStringLiteral(".fundora-install");

// Code 32 naming the file when another process holds one of the targets for
// longer than `wait`; code 90 naming it when a target is not a regular file
// (a link, a FIFO, a directory). Nothing is replaced on either.
FileError installFiles(const QString& directory, const std::vector<FileToInstall>& files, std::chrono::milliseconds wait);

// Finishes an install that a killed process left half-done; success when
// there is none. Called by both programs before they open any data file.
FileError finishInterruptedInstall(const QString& directory, std::chrono::milliseconds wait);

// Whether an unfinished install names the staging directory `name` (a plain
// name in `directory`): such a directory holds files that must not be removed.
bool installNamesStaging(const QString& directory, const QString& name);

// Holds existing database files exclusively while it lives (no other process
// can read or write them). Files that are not databases are not locked.
class ExclusiveHold {
public:
    ExclusiveHold();
    ~ExclusiveHold();
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;
    // Adds `path` to the hold; code 32 naming it when it stays busy for `wait`.
    FileError add(const QString& path, std::chrono::milliseconds wait);
    void release();

private:
    struct Held;
    std::vector<std::unique_ptr<Held>> m_held;
};

} // namespace fundora::platform
