#include "platform/store/Statement.h"

#include <sqlite3.h>

#include <utility>

static_assert(SQLITE_ROW == fundora::platform::StoreStatement::Row && SQLITE_DONE == fundora::platform::StoreStatement::Done);

namespace fundora::platform {

Statement::Statement(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    m_prepareResult = sqlite3_prepare_v3(db, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr);
    if (m_prepareResult != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept : m_stmt(std::exchange(other.m_stmt, nullptr)), m_prepareResult(other.m_prepareResult)
{
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_prepareResult = other.m_prepareResult;
    }
    return *this;
}

void Statement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

int Statement::step()
{
    return sqlite3_step(m_stmt);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column)) : QString();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::int64_t Statement::changedRows() const
{
    return sqlite3_changes64(sqlite3_db_handle(m_stmt));
}

std::int64_t Statement::insertedRow() const
{
    return sqlite3_last_insert_rowid(sqlite3_db_handle(m_stmt));
}

} // namespace fundora::platform
