#pragma once

#include "platform/store/StoreStatement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace fundora::platform {

// A prepared SQLite statement, finalized when it goes out of scope.
class Statement : public StoreStatement {
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement() override;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    int prepareResult() const { return m_prepareResult; }

    void bind(int index, std::int64_t value) override;
    void bind(int index, const QString& value) override;
    using StoreStatement::bind;
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() override;
    void reset() override;

    std::int64_t integer(int column) const override;
    QString text(int column) const override;
    bool isNull(int column) const override;
    std::int64_t changedRows() const override;
    std::int64_t insertedRow() const override;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareResult = 0;
};

} // namespace fundora::platform
