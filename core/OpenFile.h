#pragma once

#include "core/DataFiles.h"

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

// An account with everything kept of it: Accounts, Transactions and the
// statements (Statements, StatementLines), acquired for as long as it lives.
struct AccountFileUses {
    explicit AccountFileUses(DataFiles& files)
        : accounts(files, FileId::Accounts), transactions(files, FileId::Transactions), statements(files, FileId::Statements),
          lines(files, FileId::StatementLines)
    {
    }
    bool ok() const { return accounts.ok() && transactions.ok() && statements.ok() && lines.ok(); }
    FileUse accounts, transactions, statements, lines;
};

} // namespace fundora::core
