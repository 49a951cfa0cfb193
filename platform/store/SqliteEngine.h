#pragma once

#include "platform/store/Statement.h"
#include "platform/store/StoreEngine.h"

#include <QHash>
#include <QSet>

#include <memory>

struct sqlite3;

namespace fundora::platform {

// A register in a directory: one SQLite connection on which every open data
// file (DISKNAME.TPS) is attached. Files are opened shared: other processes
// may read and write them at the same time; a transaction spans every open
// file and is atomic across them.
//
// The connection's main database is the link file (LinkFileName) in the
// directory, not ":memory:": SQLite makes a commit over several attached
// files atomic only when the main database is a file, beside which it writes
// the super-journal that ties the files' journals together. The link file
// holds no data; every process on the directory shares it, and because every
// transaction begins by locking it first, transactions of different processes
// never wait on each other's files in a circle.
class SqliteEngine final : public StoreEngine {
public:
    static inline const QString LinkFileName = QStringLiteral(".fundora-commit");
    // A data file is made under this suffix and renamed into place when whole.
    static inline const QString CreatingSuffix = QStringLiteral(".creating");

    // withLink false: no link file (a store that only ever writes one file, such as the backup utility's).
    SqliteEngine(QString directory, bool withLink);
    ~SqliteEngine() override;

    const QString& directory() const { return m_directory; }
    QString pathOf(const FileDef& def) const;
    sqlite3* handle() const { return m_db; }
    // The connection could not be opened: what every open reports.
    const FileError& startError() const { return m_startError; }

    schema::Dialect dialect() const override { return schema::Dialect::Sqlite; }
    QString location() const override { return m_directory; }
    QString schemaOf(const FileDef& def) const override { return def.diskName; }
    FileError open(const FileDef& def, std::chrono::milliseconds wait, bool& keepsTotals) override;
    FileError create(const FileDef& def) override;
    void close(const FileDef& def) override;
    FileError rebuildKeys(const FileDef& def) override;
    FileError begin(std::chrono::milliseconds wait) override;
    FileError commit() override;
    void rollback() override;
    FileError exec(const QString& sql) override;
    StoreStatement* cached(const QString& sql, FileError& error) override;
    FileError failure(int result, const StoreStatement& statement, const QString& context) override;
    std::uint64_t generation() override;
    void observeStatements(std::function<void(const char* sql)> observer) override;

    // Maps an SQLite result to a file error.
    FileError fromSqlite(int result, const QString& context = {}) const;

private:
    void openConnection(bool withLink);
    // Removes what a creation killed half-way left behind (no process is still at it).
    void removeStaleCreation(const QString& temporary);
    FileError verify(const FileDef& def);
    FileError attach(const FileDef& def, const QString& path, const QString& as = {});
    void detach(const QString& schemaName);
    // Makes the kept totals of an opening file whole; false when they cannot be (the file goes without).
    bool checkKeptTotals(const FileDef& def);
    // Runs `statements` in order, rolling back at the first that fails.
    FileError execAll(const QStringList& statements);

    QString m_directory;
    sqlite3* m_db = nullptr;
    FileError m_startError;
    QHash<QString, std::int64_t> m_seenVersions; // each open file's data_version when generation() last read it
    QSet<QString> m_attached;
    std::uint64_t m_otherCommits = 0; // the times generation() found one of them moved
    FileError m_unfinishedInstall;    // a restore that could not be finished when the store began
    QHash<QString, std::shared_ptr<Statement>> m_statements;
    std::function<void(const char*)> m_observer;
};

} // namespace fundora::platform
