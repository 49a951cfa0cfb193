#pragma once

#include "core/DataFiles.h"

#include <memory>
#include <vector>

namespace fundora::core {

// Opens one data file for reading and writing, shared, creating it when it is
// missing and rebuilding its keys when the user agrees. Returns true when the
// file is open; false when the program was halted (after the warning).
bool openFile(DataFiles& files, FileId id);

// A procedure's use of a file: the first user opens it, the last closes it.
bool acquireFile(DataFiles& files, FileId id);
void releaseFile(DataFiles& files, FileId id);

// Acquires a file for as long as it lives.
class FileUse {
public:
    FileUse(DataFiles& files, FileId id) : m_files(files), m_id(id), m_acquired(acquireFile(files, id)) {}
    ~FileUse()
    {
        if (m_acquired)
            releaseFile(m_files, m_id);
    }
    FileUse(const FileUse&) = delete;
    FileUse& operator=(const FileUse&) = delete;
    bool ok() const { return m_acquired; }

private:
    DataFiles& m_files;
    FileId m_id;
    bool m_acquired;
};

// Several files acquired for as long as it lives.
class FileUses {
public:
    FileUses(DataFiles& files, const std::vector<FileId>& ids);
    FileUses(const FileUses&) = delete;
    FileUses& operator=(const FileUses&) = delete;
    bool ok() const;

private:
    std::vector<std::unique_ptr<FileUse>> m_uses;
};

// An account with every file that keeps records of it (Transactions and the
// features' files that declared an account key), acquired for as long as it lives.
class AccountFileUses : public FileUses {
public:
    explicit AccountFileUses(DataFiles& files);
};

} // namespace fundora::core
