#pragma once

#include "platform/store/Statement.h"

#include <QString>

#include <optional>
#include <vector>

namespace fundora::platform {

// A record's place in one key order: the key, the record's values in the key's
// components (as the index holds them) and its row. It re-positions on the
// record even after the record itself was deleted: reading goes on from there.
struct Position {
    int key = -1;
    std::int64_t row = 0;
    std::vector<SqlValue> values;

    // The position string (at most 512 characters for the keys of this program).
    QString encode() const;
    static std::optional<Position> decode(const QString& text);
};

inline constexpr int PositionWidth = 512;

} // namespace fundora::platform
