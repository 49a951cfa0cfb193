#pragma once

#include "core/Account.h"
#include "core/CardStatement.h"
#include "core/ImportRecords.h"
#include "core/MemoCard.h"
#include "core/Note.h"
#include "core/Transaction.h"
#include "core/TypedFile.h"
#include "platform/store/Store.h"

#include <array>

namespace fundora::core {

enum class FileId { Accounts, Transactions, MemoCard, Notes, Statements, StatementLines, ImportedLines, ImportSettings };
inline constexpr std::array<FileId, 8> AllFiles = {FileId::Accounts,      FileId::Transactions,  FileId::MemoCard,
                                                   FileId::Notes,         FileId::Statements,    FileId::StatementLines,
                                                   FileId::ImportedLines, FileId::ImportSettings};

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

// The program's data: the store of the program directory, the data files with
// their shared record buffers, their open counts and the saved error.
class DataFiles {
public:
    explicit DataFiles(const QString& directory);
    ~DataFiles();
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

    platform::Store store;
    TypedFile<Account> accounts;
    TypedFile<Transaction> transactions;
    TypedFile<MemoCard> memoCards;
    TypedFile<Note> notes;
    TypedFile<CardStatement> statements;
    TypedFile<StatementLine> statementLines;
    TypedFile<ImportedLine> importedLines;
    TypedFile<ImportSettings> importSettings;
    SavedError savedError;
    IntegrityState integrity;

    platform::DataFile& file(FileId id);
    int& openCount(FileId id) { return m_openCounts[static_cast<std::size_t>(id)]; }
    // Reads account `sysId` into `out`, leaving the shared Accounts buffer as it is
    // (another window may be working on it); `out` changes only when it was read.
    platform::FileError readAccount(std::int32_t sysId, Account& out);
    // Clears every record buffer (texts blank, numbers zero).
    void clearBuffers();
    // Closes every open file, whatever the counts say (for the end of the program).
    void closeAll();

    // The instance the program works on.
    static DataFiles& current();
    static bool hasCurrent();
    static void setCurrent(DataFiles* files);

private:
    std::array<int, AllFiles.size()> m_openCounts{};
};

} // namespace fundora::core
