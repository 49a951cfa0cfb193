#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/FileError.h"
#include "platform/store/StoreSchema.h"
#include "platform/store/StoreStatement.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace fundora::platform {

// Where a register's records live, as the Store uses it: SQLite files in a
// directory (SqliteEngine) or the tables of a PostgreSQL server
// (ServerEngine). The Store keeps what both share (which files are open,
// the levels of nested transactions as savepoints, the last error); an
// engine does what only it can. Every SQL text the store's files run is
// written once, in the engine's dialect where the two differ.
class StoreEngine {
public:
    // How long a transaction waits for those of other stations before it gives up (code 32).
    static constexpr std::chrono::milliseconds TransactionWait{2000};

    virtual ~StoreEngine() = default;

    virtual schema::Dialect dialect() const = 0;
    // The register's place for messages: the directory, or the server's URI without a password.
    virtual QString location() const = 0;
    // The schema that holds the table of `def` (an attached file's name, or the register's schema).
    virtual QString schemaOf(const FileDef& def) const = 0;

    // Opens the file of `def`: checks its layout and keys, makes its kept
    // totals whole when it has them (keepsTotals says whether it does). The
    // codes are the Store's (2 missing, 32 locked, 46 keys, 47 layout, 90 OS).
    virtual FileError open(const FileDef& def, std::chrono::milliseconds wait, bool& keepsTotals) = 0;
    // Makes the missing file of `def` whole, or finds it made by another station.
    virtual FileError create(const FileDef& def) = 0;
    virtual void close(const FileDef& def) = 0;
    // Rebuilds every key of a closed file from its records.
    virtual FileError rebuildKeys(const FileDef& def) = 0;

    // The outermost transaction; the levels within it are savepoints the Store names.
    virtual FileError begin(std::chrono::milliseconds wait) = 0;
    virtual FileError commit() = 0;
    virtual void rollback() = 0;
    // One statement without values or rows (a savepoint).
    virtual FileError exec(const QString& sql) = 0;

    // A prepared statement kept for reuse; null with `error` set when it cannot be prepared.
    virtual StoreStatement* cached(const QString& sql, FileError& error) = 0;
    // What a step of `statement` that gave `result` (neither Row nor Done) means.
    virtual FileError failure(int result, const StoreStatement& statement, const QString& context) = 0;

    // A number that moves whenever the open files' records may have changed,
    // by this store or by another station (see Store::generation).
    virtual std::uint64_t generation() = 0;
    virtual void observeStatements(std::function<void(const char* sql)> observer) = 0;
};

} // namespace fundora::platform
