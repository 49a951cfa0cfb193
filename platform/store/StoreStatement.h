#pragma once

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace fundora::platform {

// A value bound to or read from SQL: whole numbers (money as units of its last place) or text.
using SqlValue = std::variant<std::int64_t, QString>;

// A statement of the store on either engine: values bound by place (1, 2,
// ...), then step() gives the rows one at a time. The store's own SQL is
// written once for both engines (placeholders `?`); the engine that prepared
// the statement says what a failed step means (StoreEngine::failure).
class StoreStatement {
public:
    // What step() returns besides an engine's failure code (SQLite's SQLITE_ROW and SQLITE_DONE).
    static constexpr int Row = 100;
    static constexpr int Done = 101;

    virtual ~StoreStatement() = default;

    virtual void bind(int index, std::int64_t value) = 0;
    virtual void bind(int index, const QString& value) = 0;
    void bind(int index, const SqlValue& value)
    {
        std::visit([&](const auto& v) { bind(index, v); }, value);
    }
    // Every value, from the place `first` on.
    void bindAll(const std::vector<SqlValue>& values, int first = 1)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            bind(first + static_cast<int>(i), values[i]);
    }

    // Row, Done or a failure.
    virtual int step() = 0;
    // Ready to run again; the bound values are cleared.
    virtual void reset() = 0;

    virtual std::int64_t integer(int column) const = 0;
    virtual QString text(int column) const = 0;
    virtual bool isNull(int column) const = 0;

    // After a write ran to Done: how many rows it changed, and the row number
    // an INSERT gave (its SQL ends with schema::returningRow, which the
    // server needs to say them and SQLite does not).
    virtual std::int64_t changedRows() const = 0;
    virtual std::int64_t insertedRow() const = 0;
};

} // namespace fundora::platform
