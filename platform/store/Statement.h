#pragma once

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace fundora::platform {

// A value bound to or read from SQL: whole numbers (money as units of its last place) or text.
using SqlValue = std::variant<std::int64_t, QString>;

// A prepared SQLite statement, finalized when it goes out of scope.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    int prepareResult() const { return m_prepareResult; }

    void bind(int index, std::int64_t value);
    void bind(int index, const QString& value);
    void bind(int index, const SqlValue& value);
    void bindAll(const std::vector<SqlValue>& values, int first = 1);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    std::int64_t integer(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareResult = 0;
};

} // namespace fundora::platform
