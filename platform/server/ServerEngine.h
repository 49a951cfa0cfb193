#pragma once

#include "platform/server/ServerConnection.h"
#include "platform/server/ServerStatement.h"
#include "platform/server/StationPresence.h"
#include "platform/store/StoreEngine.h"

#include <QHash>
#include <QSet>

#include <memory>

namespace fundora::platform {

// A register on a PostgreSQL server: every data file is a table of the
// register's schema (ServerTables.h), reached through one connection. A
// transaction is the server's own, with the wait for another station's row
// locks bounded (lock_timeout, then 32); nested levels are savepoints. What
// another station commits is seen by the next read, and the tables' change
// counters tell the lists when to read again. The station is present on
// the register (StationPresence) from its first open on.
class ServerEngine final : public StoreEngine {
public:
    // The schema a register takes in its database unless told another.
    static inline const QString DefaultSchema = QStringLiteral("fundora");

    // `uri` as libpq takes it (ServerConnection); nothing is sent before the first open.
    explicit ServerEngine(QString uri, QString schemaName = DefaultSchema);

    ServerConnection& connection() { return m_connection; }

    schema::Dialect dialect() const override { return schema::Dialect::Postgres; }
    QString location() const override { return m_connection.shownUri(); }
    QString schemaOf(const FileDef&) const override { return m_schema; }
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

private:
    // Says that this station works on the register, once a session (the
    // server forgets it with the session): refused while a restore holds it.
    FileError announce();
    // Whether the table of `def` is there and of its layout, and whether it keeps its totals.
    FileError check(const FileDef& def, bool& keepsTotals);

    ServerConnection m_connection;
    QString m_schema;
    StationPresence m_presence;
    int m_announcedIn = 0;              // the session the presence was announced in
    QHash<QString, QString> m_counters; // label of each open table: its change counter
    QHash<QString, bool> m_checked;     // label of each table this store checked: whether it keeps totals
    std::uint64_t m_generation = 0;
    QHash<QString, std::shared_ptr<ServerStatement>> m_statements;
};

} // namespace fundora::platform
