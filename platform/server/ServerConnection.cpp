#include "platform/server/ServerConnection.h"

#include <QRegularExpression>

#include <libpq-fe.h>

namespace fundora::platform {

namespace {

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// What a failed statement's SQLSTATE means to the callers, who test the store's codes.
int codeOfState(const QByteArray& state)
{
    if (state == "55P03" || state == "40P01" || state == "40001") // lock not available, deadlock, serialization
        return ErrorCode::FileLocked;
    if (state == "23505")
        return ErrorCode::DuplicateKey;
    if (state.startsWith("22")) // data exception: a value out of range or too long
        return ErrorCode::InvalidValue;
    return ErrorCode::StoreFailure;
}

} // namespace

QString withoutPassword(const QString& uri)
{
    static const QRegularExpression inAuthority(QStringLiteral("^(postgres(?:ql)?://[^:/@?]*):[^@/?]*@"));
    static const QRegularExpression asParameter(QStringLiteral("(^|[?&\\s])password=('[^']*'|[^&\\s]*)"));
    QString shown = uri;
    shown.replace(inAuthority, QStringLiteral("\\1:***@"));
    shown.replace(asParameter, QStringLiteral("\\1password=***"));
    return shown;
}

ServerConnection::ServerConnection(QString uri) : m_uri(std::move(uri))
{
}

ServerConnection::~ServerConnection()
{
    disconnect();
}

QString ServerConnection::shownUri() const
{
    return withoutPassword(m_uri);
}

bool ServerConnection::isConnected() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

void ServerConnection::disconnect()
{
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    m_prepared.clear(); // a session's prepared statements end with it
}

namespace {

ServerConnection::PasswordSource& passwordSource()
{
    static ServerConnection::PasswordSource source;
    return source;
}

} // namespace

void ServerConnection::setPasswordSource(PasswordSource source)
{
    passwordSource() = std::move(source);
}

FileError ServerConnection::connect()
{
    if (isConnected())
        return FileError::success();
    disconnect();
    const QByteArray uri = m_uri.toUtf8();
    const QByteArray timeout = QByteArray::number(ConnectSeconds);
    for (int asked = 0;;) {
        const QByteArray password = m_password.toUtf8();
        // The URI is expanded by libpq itself (dbname with expand_dbname); a
        // password asked for is given after it, which libpq then takes.
        const char* keywords[] = {"dbname", "connect_timeout", "application_name", m_password.isNull() ? nullptr : "password", nullptr};
        const char* values[] = {uri.constData(), timeout.constData(), "fundora", password.constData(), nullptr};
        m_conn = PQconnectdbParams(keywords, values, 1);
        if (isConnected()) {
            // The server's notices ("already exists, skipping") are for people at a terminal, not the program's users.
            PQsetNoticeProcessor(
                m_conn, [](void*, const char*) {}, nullptr);
            ++m_sessions;
            return FileError::success();
        }
        const QString why = m_conn ? QString::fromUtf8(PQerrorMessage(m_conn)).trimmed() : QStringLiteral("out of memory");
        // Wanted and not given, or given (by the source) and refused: asked (again).
        const bool wanted = m_conn && PQconnectionNeedsPassword(m_conn);
        const bool refused = m_conn && !m_password.isNull() && PQconnectionUsedPassword(m_conn) &&
                             why.contains(QStringLiteral("password authentication failed"));
        disconnect();
        if ((wanted || refused) && passwordSource() && asked < PasswordTries) {
            ++asked;
            const std::optional<QString> given = passwordSource()(shownUri(), refused);
            if (given) {
                m_password = given->isNull() ? QStringLiteral("") : *given;
                continue;
            }
            m_password = QString();
            return FileError::of(
                ErrorCode::StoreFailure,
                QStringLiteral("the server of the register (%1) asked for a password, and none was given").arg(shownUri()));
        }
        if (refused)
            m_password = QString();
        return FileError::of(ErrorCode::StoreFailure,
                             QStringLiteral("the server of the register (%1) could not be reached: %2").arg(shownUri(), why));
    }
}

FileError ServerConnection::lostOrFailed(const QString& what)
{
    if (!isConnected()) {
        disconnect(); // the next statement connects again
        // Lost in the middle of a transaction: the rest of it is refused until its end (a COMMIT that met
        // the loss was its end: its caller hears that it failed).
        m_transactionLost = m_inTransaction && !m_ending;
        m_inTransaction = false;
        return FileError::of(ErrorCode::StoreFailure,
                             QStringLiteral("the connection to the server of the register (%1) was lost: %2").arg(shownUri(), what));
    }
    return FileError::of(ErrorCode::StoreFailure, what);
}

FileError ServerConnection::exec(const QString& sql, const QStringList& parameters, ServerRows* rows)
{
    return run(sql, parameters, rows, false);
}

FileError ServerConnection::execPrepared(const QString& sql, const QStringList& parameters, ServerRows* rows)
{
    return run(sql, parameters, rows, true);
}

FileError ServerConnection::run(const QString& sql, const QStringList& parameters, ServerRows* rows, bool prepared)
{
    for (const QString& p : parameters)
        if (p.contains(QChar(0)))
            return FileError::of(ErrorCode::InvalidValue, QStringLiteral("a text holds a NUL character, which the server does not store"));
    const QByteArray text = sql.toUtf8();
    if (m_transactionLost) {
        if (text.startsWith("ROLLBACK")) {
            m_transactionLost = false; // the server rolled it back when the connection went
            return FileError::success();
        }
        return FileError::of(ErrorCode::StoreFailure, QStringLiteral("the connection to the server of the register (%1) was lost in "
                                                                     "the middle of a transaction; nothing of it was written")
                                                          .arg(shownUri()));
    }
    if (FileError e = connect(); !e.ok())
        return e;
    m_ending = text.startsWith("COMMIT") || text.startsWith("ROLLBACK");
    if (m_observer)
        m_observer(text.constData());
    std::vector<QByteArray> texts;
    texts.reserve(static_cast<std::size_t>(parameters.size()));
    std::vector<const char*> values;
    for (const QString& p : parameters) {
        texts.push_back(p.toUtf8());
        values.push_back(p.isNull() ? nullptr : texts.back().constData());
    }
    const int count = static_cast<int>(values.size());
    Result r;
    if (prepared) {
        // Parsed and planned once per connection, then run by name.
        auto name = m_prepared.find(text);
        if (name == m_prepared.end()) {
            const QByteArray made = "fundora_" + QByteArray::number(m_prepared.size() + 1);
            Result p(PQprepare(m_conn, made.constData(), text.constData(), 0, nullptr));
            if (p && PQresultStatus(p.get()) == PGRES_COMMAND_OK)
                name = m_prepared.insert(text, made);
            else
                r = std::move(p);
        }
        if (name != m_prepared.end())
            r.reset(PQexecPrepared(m_conn, name->constData(), count, values.data(), nullptr, nullptr, 0));
    } else if (parameters.isEmpty()) {
        r.reset(PQexec(m_conn, text.constData())); // the store's own statements, one or several
    } else {
        r.reset(PQexecParams(m_conn, text.constData(), count, nullptr, values.data(), nullptr, nullptr, 0));
    }
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (isConnected())
        m_inTransaction = PQtransactionStatus(m_conn) == PQTRANS_INTRANS || PQtransactionStatus(m_conn) == PQTRANS_INERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString message = QString::fromUtf8(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_conn)).trimmed();
        const char* state = r ? PQresultErrorField(r.get(), PG_DIAG_SQLSTATE) : nullptr;
        if (!state || QByteArray(state).startsWith("08") || QByteArray(state).startsWith("57P"))
            return lostOrFailed(message); // no answer, a connection exception, or the server shutting down
        return FileError::of(codeOfState(QByteArray(state)), message);
    }
    if (rows) {
        rows->rows.clear();
        const int n = PQntuples(r.get()), columns = PQnfields(r.get());
        rows->rows.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < columns; ++c)
                rows->rows[static_cast<std::size_t>(i)].push_back(
                    PQgetisnull(r.get(), i, c) ? std::nullopt : std::optional(QString::fromUtf8(PQgetvalue(r.get(), i, c))));
    }
    return FileError::success();
}

FileError ServerConnection::copyIn(const QString& copySql, const std::function<bool(QByteArray& chunk)>& next)
{
    if (!m_inTransaction)
        return FileError::of(ErrorCode::StoreFailure, QStringLiteral("a copy into the server runs inside a transaction"));
    if (FileError e = connect(); !e.ok())
        return e;
    const QByteArray text = copySql.toUtf8();
    if (m_observer)
        m_observer(text.constData());
    Result started(PQexec(m_conn, text.constData()));
    if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN)
        return lostOrFailed(QString::fromUtf8(started ? PQresultErrorMessage(started.get()) : PQerrorMessage(m_conn)).trimmed());
    QByteArray chunk;
    bool sent = true;
    while (sent && next(chunk)) {
        sent = PQputCopyData(m_conn, chunk.constData(), static_cast<int>(chunk.size())) == 1;
        chunk.clear();
    }
    // Ended with an error of ours when the data stopped short: the server then undoes the copy.
    if (PQputCopyEnd(m_conn, sent ? nullptr : "the data for the copy could not be sent") != 1)
        return lostOrFailed(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
    FileError outcome = FileError::success();
    while (PGresult* raw = PQgetResult(m_conn)) {
        Result r(raw);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK && outcome.ok()) {
            const char* state = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
            const QString message = QString::fromUtf8(PQresultErrorMessage(r.get())).trimmed();
            outcome = !state || QByteArray(state).startsWith("08") || QByteArray(state).startsWith("57P")
                          ? lostOrFailed(message)
                          : FileError::of(codeOfState(QByteArray(state)), message);
        }
    }
    if (isConnected())
        m_inTransaction = PQtransactionStatus(m_conn) == PQTRANS_INTRANS || PQtransactionStatus(m_conn) == PQTRANS_INERROR;
    else if (outcome.ok())
        outcome = lostOrFailed(QStringLiteral("the copy ended without an answer"));
    return outcome;
}

void ServerConnection::appendCopyField(QByteArray& line, const QByteArray& value)
{
    for (char c : value) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += c;
        }
    }
}

} // namespace fundora::platform
