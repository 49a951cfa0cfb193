#pragma once

#include "core/RecordLayout.h"
#include "platform/Decimal.h"

namespace fundora::core {

// One entry of an account (file Transactions, prefix TRA).
struct Transaction {
    std::int32_t sysId = 0; // ACC:SysID of the owning account
    std::int32_t dateofTransaction = 0;
    QString transactionDescription;
    QString transactionType;                                                  // C P I F A B
    platform::Decimal transactionAmount = platform::Decimal::fromUnits(0, 2); // payments stored negated
    std::uint8_t reconciledTransaction = 0;                                   // 0 open, 1 reconciled

    platform::RecordIdentity identity;
};

enum TransactionKey { TraSysIDKey = 0, TraSysIDTypeKey = 1, TraSysIDDateKey = 2, TraDateKey = 3, TraTypeKey = 4 };

const RecordLayout<Transaction>& transactionLayout();

} // namespace fundora::core
