#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/FileError.h"
#include "platform/store/StoreEngine.h"

#include <QSet>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

struct sqlite3;

namespace fundora::platform {

// The keyed-file store of one process, over the register's engine: SQLite
// files in a directory (SqliteEngine) or tables on a PostgreSQL server
// (ServerEngine). Files are opened shared: other stations may read and write
// them at the same time; a transaction spans every open file and is atomic
// across them. The layers above see the same files, codes and transactions
// on either engine.
//
// Every operation records its outcome as the last error (lastError()).
class Store {
public:
    static constexpr std::chrono::milliseconds TransactionWait = StoreEngine::TransactionWait;

    // Link::None: no link file (a store that only ever writes one file, such as the backup utility's).
    enum class Link { CommitFile, None };
    // The register in `directory`.
    explicit Store(QString directory, Link link = Link::CommitFile);
    // The register `engine` holds.
    explicit Store(std::unique_ptr<StoreEngine> engine);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The register's directory; empty for a register on a server.
    const QString& directory() const { return m_directory; }
    // Where the register is, for messages: its directory, or its server without a password.
    QString location() const { return m_engine->location(); }
    schema::Dialect dialect() const { return m_engine->dialect(); }
    // The file of `def` in the register's directory (a register on a server has none: empty).
    QString pathOf(const FileDef& def) const;
    const FileError& lastError() const { return m_lastError; }
    // Records `error` as the last error and returns it.
    FileError note(FileError error);

    // 0 and the file is open; 2 it does not exist; 32 it is locked; 46 its keys
    // must be rebuilt; 47 it is not a file of this layout; 52 it is already open;
    // 90 the operating system refused.
    FileError open(const FileDef& def);
    // Creates an empty file with the layout; it is left closed. It is made
    // complete before other stations can see it, so a crash never leaves a
    // half-made data file; a file another station made meanwhile is kept
    // (success).
    FileError create(const FileDef& def);
    FileError close(const FileDef& def);
    bool isOpen(const FileDef& def) const;
    // True when the open file has its kept totals (FileDef::keptTotals) whole: made with it, or
    // made again from its records when it opened. A file that could not be written then has none.
    bool keepsTotals(const FileDef& def) const { return m_keptTotals.contains(schemaOf(def) + u'.' + def.label); }
    // Rebuilds every key of a closed file from its records.
    FileError rebuildKeys(const FileDef& def);
    // Driver options: "Recover=N" waits up to N seconds for a lock at the next
    // open; "QUICKSCAN=on|off" is taken by DataFile (read-ahead).
    FileError sendOption(const FileDef& def, const QString& option);

    // Begins a transaction over every open file, waiting at most `wait` for
    // other stations to finish theirs (code 32 when they do not). Inside a
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
    // a row this store wrote, or a commit of another station. Equal numbers:
    // nothing to read again. A file opened or closed in between does not move it.
    std::uint64_t generation() { return m_engine->generation(); }

    // Calls `observer` with the text of every statement the store runs, as it
    // starts (for diagnostics and the tests that count what an action reads);
    // an empty function stops it.
    void observeStatements(std::function<void(const char* sql)> observer);

    // For the files' own SQL, written with `?` placeholders in the engine's
    // dialect: a prepared statement kept for reuse; null with the error
    // recorded when it cannot be prepared.
    StoreStatement* cached(const QString& sql);
    // Records and returns what a step that gave `result` (neither Row nor Done) means.
    FileError failure(int result, const StoreStatement& statement, const QString& context = {});
    QString schemaOf(const FileDef& def) const { return m_engine->schemaOf(def); }
    // The SQLite connection of a register in a directory (tests read its plans); null on a server.
    sqlite3* handle() const;

private:
    QString m_directory;
    std::unique_ptr<StoreEngine> m_engine;
    FileError m_lastError;
    QSet<QString> m_open;       // schema.label of every open file
    QSet<QString> m_keptTotals; // those of them with whole kept totals
    int m_depth = 0;
    int m_recoverSeconds = 0;
};

} // namespace fundora::platform
