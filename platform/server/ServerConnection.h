#pragma once

#include "platform/store/FileError.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

typedef struct pg_conn PGconn;

namespace fundora::platform {

// What a statement on the server gave back: rows of values as text (NULL as
// an empty optional).
struct ServerRows {
    std::vector<std::vector<std::optional<QString>>> rows;
    // The value, or an empty text for NULL and for a place outside the rows (as QList::value).
    QString value(std::size_t row, std::size_t column) const
    {
        return row < rows.size() && column < rows[row].size() ? rows[row][column].value_or(QString()) : QString();
    }
};

// One connection to a register kept on a PostgreSQL server, through libpq.
// `uri` is whatever libpq takes: a postgresql:// URI, "service=NAME", or
// key=value words. A password comes from libpq's own places (~/.pgpass, the
// service file, PGPASSWORD); this class never writes one anywhere, and
// `shownUri` is the URI with any password cut out, for messages.
//
// A fault of the connection (the server stopped, restarted, unreachable) is
// an ordinary error of the statement that met it; the next statement
// connects again. Values are always bound as parameters ($1, $2, ...) and
// never spliced into the SQL.
class ServerConnection {
public:
    explicit ServerConnection(QString uri);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // Connects when not connected (or when the connection was lost); waits
    // at most `ConnectSeconds`. The error names the server without a password.
    FileError connect();
    bool isConnected() const;
    // Closes the connection: what this session held on the server (advisory
    // locks, an open transaction) ends with it.
    void disconnect();

    // Runs one statement; `rows` receives what it returns. A null QString
    // parameter is NULL, an empty one the empty text. A lost connection
    // is reported (91, "the server ... could not be reached") and forgotten,
    // so the next call connects again; another station's lock is 32, a
    // unique key taken 40, a value that does not fit 75.
    FileError exec(const QString& sql, const QStringList& parameters = {}, ServerRows* rows = nullptr);

    // The same for a statement the store runs again and again: prepared once
    // per connection (parsed and planned once) and then run by name.
    FileError execPrepared(const QString& sql, const QStringList& parameters, ServerRows* rows);

    // Runs `copySql` (COPY ... FROM STDIN, text format) and sends it what
    // `next` gives, chunk after chunk, until `next` returns false; inside the
    // caller's transaction, so a failure anywhere leaves nothing of it.
    FileError copyIn(const QString& copySql, const std::function<bool(QByteArray& chunk)>& next);
    // `value` as a field of COPY's text format: backslash, tab and line breaks escaped.
    static void appendCopyField(QByteArray& line, const QByteArray& value);

    QString shownUri() const;
    static constexpr int ConnectSeconds = 5;

    // Asked for the password when the server wants one that libpq's own
    // places did not give (`again`: the last one was refused); nullopt when
    // the user declines. The password is kept in this connection's memory
    // for its reconnections, and nowhere else. The program sets one (a
    // dialog); without one, such a server is an error that says so.
    using PasswordSource = std::function<std::optional<QString>(const QString& shownUri, bool again)>;
    static void setPasswordSource(PasswordSource source);
    static constexpr int PasswordTries = 3;

    // Whether a transaction is open on the server (BEGIN until COMMIT or
    // ROLLBACK). When the connection is lost inside one, the server rolls it
    // back; every statement is then refused with that news until the
    // ROLLBACK that ends it here too, so that nothing the transaction meant
    // to do runs on a new connection outside it.
    bool inTransaction() const { return m_inTransaction; }
    // How many times a connection was made: a new session holds nothing of the old one's.
    int sessions() const { return m_sessions; }

    // Calls `observer` with the text of every statement as it is sent; an empty function stops it.
    void observe(std::function<void(const char* sql)> observer) { m_observer = std::move(observer); }

private:
    FileError lostOrFailed(const QString& what);
    FileError run(const QString& sql, const QStringList& parameters, ServerRows* rows, bool prepared);
    QString m_uri;
    QString m_password;                       // given by the password source, for this connection's sessions
    QHash<QByteArray, QByteArray> m_prepared; // SQL: the name it was prepared under
    PGconn* m_conn = nullptr;
    bool m_inTransaction = false;
    int m_sessions = 0;
    bool m_transactionLost = false;
    bool m_ending = false; // the statement being sent ends the transaction
    std::function<void(const char*)> m_observer;
};

// The advisory locks of a register on its server: one space of this
// program's own ('FUND'), and a key for each use.
namespace RegisterLocks {
inline constexpr int Space = 0x46554E44;
inline constexpr int Stations = 1;      // shared by every running station, taken alone by a restore
inline constexpr int TableCreation = 2; // held while a missing table is made
inline constexpr int Utility = 3;       // held by the backup utility while it works on the register
// The parameters of a lock of the register in `schemaName` for `use`: bound as
// "($1::int, hashtext($2))", so that registers sharing a database never wait on
// each other's locks; pg_locks shows them as classid $1 and objid hashtext($2)::oid.
inline QStringList keys(int use, const QString& schemaName)
{
    return {QString::number(Space), QString::number(use) + u' ' + schemaName};
}
} // namespace RegisterLocks

// The URI with its password (user:password@ or password=...) replaced by "***".
QString withoutPassword(const QString& uri);

} // namespace fundora::platform
