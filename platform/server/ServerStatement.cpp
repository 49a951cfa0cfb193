#include "platform/server/ServerStatement.h"

namespace fundora::platform {

QString ServerStatement::numberedPlaceholders(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int next = 0;
    QChar quote; // the quote of the text or name being read; null outside
    for (QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar(); // a doubled quote closes and opens again: the same
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += u'$' + QString::number(++next);
            continue;
        }
        out += c;
    }
    return out;
}

ServerStatement::ServerStatement(ServerConnection& connection, const QString& sql)
    : m_connection(connection), m_sql(numberedPlaceholders(sql))
{
    const QString verb = sql.trimmed().section(u' ', 0, 0).toUpper();
    m_writes = verb == QStringLiteral("INSERT") || verb == QStringLiteral("UPDATE") || verb == QStringLiteral("DELETE");
}

void ServerStatement::bind(int index, std::int64_t value)
{
    bind(index, QString::number(value));
}

void ServerStatement::bind(int index, const QString& value)
{
    while (m_parameters.size() < index)
        m_parameters << QString();
    // An empty text is a value, not NULL (a null QString would be sent as NULL).
    m_parameters[index - 1] = value.isNull() ? QStringLiteral("") : value;
}

int ServerStatement::step()
{
    if (!m_ran) {
        m_ran = true;
        m_next = 0;
        const bool guarded = m_writes && m_connection.inTransaction();
        if (guarded)
            m_error = m_connection.exec(QStringLiteral("SAVEPOINT fundora_statement"));
        if (m_error.ok())
            m_error = m_connection.execPrepared(m_sql, m_parameters, &m_rows);
        if (guarded && m_connection.inTransaction()) {
            if (!m_error.ok())
                m_connection.exec(QStringLiteral("ROLLBACK TO SAVEPOINT fundora_statement"));
            m_connection.exec(QStringLiteral("RELEASE SAVEPOINT fundora_statement"));
        }
        if (!m_error.ok()) {
            m_rows.rows.clear();
            return StepFailed;
        }
    } else if (!m_error.ok()) {
        return StepFailed;
    } else {
        ++m_next;
    }
    return m_next < m_rows.rows.size() ? Row : Done;
}

void ServerStatement::reset()
{
    m_ran = false;
    m_rows.rows.clear();
    m_parameters.clear();
    m_next = 0;
    m_error = FileError::success();
}

std::int64_t ServerStatement::integer(int column) const
{
    return text(column).toLongLong();
}

QString ServerStatement::text(int column) const
{
    return m_next < m_rows.rows.size() ? m_rows.value(m_next, static_cast<std::size_t>(column)) : QString();
}

bool ServerStatement::isNull(int column) const
{
    return m_next >= m_rows.rows.size() || !m_rows.rows[m_next].at(static_cast<std::size_t>(column)).has_value();
}

} // namespace fundora::platform
