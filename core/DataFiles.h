#pragma once

#include "core/Account.h"
#include "core/FileRegistry.h"
#include "core/MemoCard.h"
#include "core/Note.h"
#include "core/Transaction.h"
#include "core/TypedFile.h"
#include "platform/server/RegisterPlace.h"
#include "platform/store/Store.h"

#include <functional>
#include <memory>
#include <vector>

namespace fundora::core {

// The error of a failed file operation, kept for the next warning (which shows it and clears it).
struct SavedError {
    platform::FileError error;
    bool isSet() const { return error.code != 0; }
    void save(const platform::FileError& e) { error = e; }
    void clear() { error = {}; }
};

// What the guarded writes remember: the account identifier as the account
// form read it, and the position of the record being written.
struct IntegrityState {
    std::int32_t snapSysId = 0;
    QString position;
};

// The program's data: the store of the register (a directory or a server), the data files with
// their shared record buffers (the four of the register's own records as
// members, the features' files through typed()), their open counts and the
// saved error.
class DataFiles {
public:
    explicit DataFiles(const QString& directory);
    explicit DataFiles(const platform::RegisterPlace& place);
    ~DataFiles();
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

private:
    platform::RegisterPlace m_place; // before the store, which is made from it

public:
    // Where the register is: its directory, or its server and schema.
    const platform::RegisterPlace& place() const { return m_place; }

    platform::Store store;
    TypedFile<Account> accounts;
    TypedFile<Transaction> transactions;
    TypedFile<MemoCard> memoCards;
    TypedFile<Note> notes;
    SavedError savedError;
    IntegrityState integrity;

    platform::DataFile& file(FileId id);
    // A feature's file with its buffer; R is the record its declaration made it for.
    template <class R>
    TypedFile<R>& typed(FileId id)
    {
        return static_cast<TypedFile<R>&>(featureFile(id));
    }
    int& openCount(FileId id);
    // Reads account `sysId` into `out`, leaving the shared Accounts buffer as it is
    // (another window may be working on it); `out` changes only when it was read.
    platform::FileError readAccount(std::int32_t sysId, Account& out);
    // Calls `visit` with every account, by SysID, read through records of its
    // own (the Accounts buffer stays as it is); stops at the first error.
    platform::FileError forEachAccount(const std::function<platform::FileError(const Account&)>& visit);
    // Clears every record buffer (texts blank, numbers zero).
    void clearBuffers();
    // Closes every open file, whatever the counts say (for the end of the program).
    void closeAll();

    // The instance the program works on.
    static DataFiles& current();
    static bool hasCurrent();
    static void setCurrent(DataFiles* files);

private:
    AnyTypedFile& featureFile(FileId id);

    std::vector<std::unique_ptr<AnyTypedFile>> m_featureFiles; // made at the first use of each
    std::vector<int> m_openCounts;
};

} // namespace fundora::core
