#pragma once

#include "platform/server/ServerConnection.h"
#include "platform/store/Statement.h"

namespace fundora::platform {

// A statement of the store run on the server, with the same calls as the
// SQLite statement (platform::Statement), so that the store's SQL runs on
// either engine: `?` placeholders (outside quoted text and names) become $1,
// $2, ...; step() runs the statement when first called after a reset and then
// gives its rows one at a time (Row, then Done). A failure is StepFailed,
// with the store's error in error().
//
// A write inside a transaction runs under a savepoint of its own: a failed
// statement (a key taken, a lock waited for too long) then undoes itself
// alone and the transaction goes on, as a failed statement does in SQLite,
// where PostgreSQL would otherwise refuse everything until the rollback.
class ServerStatement : public StoreStatement {
public:
    static constexpr int StepFailed = 1; // SQLite's SQLITE_ERROR

    ServerStatement(ServerConnection& connection, const QString& sql);

    bool isValid() const { return true; }
    void bind(int index, std::int64_t value) override;
    void bind(int index, const QString& value) override;
    using StoreStatement::bind;
    int step() override;
    void reset() override;
    std::int64_t integer(int column) const override;
    QString text(int column) const override;
    bool isNull(int column) const override;
    // The store's writes return their rows on the server (schema::returningRow).
    std::int64_t changedRows() const override { return static_cast<std::int64_t>(m_rows.rows.size()); }
    std::int64_t insertedRow() const override { return m_rows.value(0, 0).toLongLong(); }
    const FileError& error() const { return m_error; }

    // The SQL with its ? placeholders numbered as PostgreSQL writes them.
    static QString numberedPlaceholders(const QString& sql);

private:
    ServerConnection& m_connection;
    QString m_sql;
    QStringList m_parameters;
    ServerRows m_rows;
    bool m_writes = false; // an INSERT, UPDATE or DELETE
    bool m_ran = false;
    std::size_t m_next = 0; // the row step() gives next
    FileError m_error;
};

} // namespace fundora::platform
