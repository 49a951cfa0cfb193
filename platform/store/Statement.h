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

// What the statements of both engines do alike with a statement's values:
// a value of either kind, or all of them from a first index on.
template <class Derived>
class BindsValues {
public:
    void bind(int index, const SqlValue& value)
    {
        std::visit([&](const auto& v) { static_cast<Derived&>(*this).bind(index, v); }, value);
    }
    void bindAll(const std::vector<SqlValue>& values, int first = 1)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            bind(first + static_cast<int>(i), values[i]);
    }
};

// A prepared SQLite statement, finalized when it goes out of scope.
class Statement : public BindsValues<Statement> {
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
    using BindsValues::bind;
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
