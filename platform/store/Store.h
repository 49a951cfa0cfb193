#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/FileError.h"
#include "platform/store/Statement.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>

#include <chrono>
#include <memory>

struct sqlite3;

namespace fundora::platform {

// The keyed-file store of one process: one SQLite connection on which every
// data file (DISKNAME.TPS in the program directory) that is open is attached.
// Files are opened shared: other processes may read and write them at the same
// time; a transaction spans every open file and is atomic across them.
//
// The connection's main database is the link file (LinkFileName) in the
// program directory, not ":memory:": SQLite makes a commit over several
// attached files atomic only when the main database is a file, beside which it
// writes the super-journal that ties the files' journals together. The link
// file holds no data; every process on the directory shares it, and because
// every transaction begins by locking it first, transactions of different
// processes never wait on each other's files in a circle.
//
// Every operation records its outcome as the last error (lastError()).
class Store {
public:
    static constexpr std::chrono::milliseconds TransactionWait{2000};
    static inline const QString LinkFileName = QStringLiteral(".fundora-commit");
    // A data file is made under this suffix and renamed into place when whole.
    static inline const QString CreatingSuffix = QStringLiteral(".creating");

    // Link::None: no link file (a store that only ever writes one file, such as the backup utility's).
    enum class Link { CommitFile, None };
    explicit Store(QString directory, Link link = Link::CommitFile);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    const QString& directory() const { return m_directory; }
    QString pathOf(const FileDef& def) const;
    const FileError& lastError() const { return m_lastError; }
    // Records `error` as the last error and returns it.
    FileError note(FileError error);

    // 0 and the file is open; 2 it does not exist; 32 it is locked; 46 its keys
    // must be rebuilt; 47 it is not a file of this layout; 52 it is already open;
    // 90 the operating system refused.
    FileError open(const FileDef& def);
    // Creates an empty file with the layout (mode 0600); it is left closed. The
    // file is made complete under a temporary name and then renamed into place,
    // so a crash never leaves a half-made data file; a file another process
    // made meanwhile is kept (success).
    FileError create(const FileDef& def);
    FileError close(const FileDef& def);
    bool isOpen(const FileDef& def) const;
    // True when the open file has its kept totals (FileDef::keptTotals) whole: made with it, or
    // made again from its records when it opened. A file that could not be written then has none.
    bool keepsTotals(const FileDef& def) const { return m_keptTotals.contains(schemaOf(def)); }
    // Rebuilds every key of a closed file from its records.
    FileError rebuildKeys(const FileDef& def);
    // Driver options: "Recover=N" waits up to N seconds for a lock at the next
    // open; "QUICKSCAN=on|off" is taken by DataFile (read-ahead).
    FileError sendOption(const FileDef& def, const QString& option);

    // Begins a transaction over every open file, waiting at most `wait` for
    // other processes to finish theirs (code 32 when they do not). Inside a
    // transaction it begins a nested one that joins it: its commit keeps its
    // changes for the outer commit, its rollback undoes only its own changes.
    // Files cannot be opened or closed while a transaction is active.
    FileError begin(std::chrono::milliseconds wait = TransactionWait);
    FileError commit();
    void rollback();
    // Rolls back every level (the end of the program).
    void rollbackAll();
    bool inTransaction() const { return m_depth > 0; }
    int transactionDepth() const { return m_depth; }

    // A number that changes whenever the open files' records may have changed:
    // a row this store wrote, or a commit of another process (PRAGMA
    // data_version of each open file). Equal numbers: nothing to read again.
    // A file opened or closed in between does not move it.
    std::uint64_t generation();

    // Calls `observer` with the text of every statement the store runs, as it
    // starts (for diagnostics and the tests that count what an action reads);
    // an empty function stops it.
    void observeStatements(std::function<void(const char* sql)> observer);

    // For the files' own SQL: a prepared statement kept for reuse.
    Statement& cached(const QString& sql, FileError* error);
    sqlite3* handle() const { return m_db; }
    QString schemaOf(const FileDef& def) const { return def.diskName; }
    // Maps an SQLite result to a file error (and records it).
    FileError fromSqlite(int result, const QString& context = {});

private:
    FileError exec(const QString& sql);
    void openConnection(Link link);
    // Removes what a creation killed half-way left behind (no process is still at it).
    void removeStaleCreation(const QString& temporary);
    FileError verify(const FileDef& def);
    FileError attach(const FileDef& def, const QString& path, bool readOnly = false, const QString& as = {});
    void detach(const QString& schemaName);
    // Makes the kept totals of an opening file whole; false when they cannot be (the file goes without).
    bool checkKeptTotals(const FileDef& def);

    QString m_directory;
    sqlite3* m_db = nullptr;
    FileError m_lastError;
    QSet<QString> m_open;
    QSet<QString> m_keptTotals;
    QHash<QString, std::int64_t> m_seenVersions; // each open file's data_version when generation() last read it
    std::uint64_t m_otherCommits = 0;            // the times generation() found one of them moved
    int m_depth = 0;
    int m_recoverSeconds = 0;
    FileError m_unfinishedInstall; // a restore that could not be finished when the store began
    QHash<QString, std::shared_ptr<Statement>> m_statements;
    std::function<void(const char*)> m_observer;
};

} // namespace fundora::platform
