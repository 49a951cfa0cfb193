#pragma once

#include "core/RecordLayout.h"

namespace fundora::core {

// A memo card attached to an owner record (file MemoCard, prefix MEM).
struct MemoCard {
    std::int32_t date = 0;
    QString topic;
    QString type; // kind of owner; "ACC" for accounts
    std::int32_t firstId = 0;
    QString secondId;
    QString thirdId;
    QString cardMemo; // up to 3600 characters

    platform::RecordIdentity identity;
};

enum MemoCardKey { MemCardKey = 0 };

inline constexpr int MemoCardTextLimit = 3600;

const RecordLayout<MemoCard>& memoCardLayout();

} // namespace fundora::core
