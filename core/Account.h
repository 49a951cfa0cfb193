#pragma once

#include "core/RecordLayout.h"
#include "platform/Dates.h"
#include "platform/Decimal.h"

namespace fundora::core {

// One credit-card or charge account (file Accounts, prefix ACC).
struct Account {
    std::int32_t sysId = 0;
    QString creditCardVendor;
    QString cardType;
    QString accountNumber;
    std::int32_t expirationDate = 0; // day number
    QString vendorAddr1;
    QString vendorAddr2;
    QString vendorCity;
    QString vendorState;
    QString vendorZip;
    platform::Decimal balanceInfoPhone = platform::Decimal::fromUnits(0, 0);
    platform::Decimal lostCardPhone = platform::Decimal::fromUnits(0, 0);
    platform::Decimal interestRate = platform::Decimal::fromUnits(0, 2);
    platform::Decimal creditLimit = platform::Decimal::fromUnits(0, 2);
    std::int16_t billingDay = 0;
    platform::Decimal accountBalance = platform::Decimal::fromUnits(0, 2); // positive: money owed

    platform::RecordIdentity identity;
};

enum AccountKey { AccSysIDKey = 0, AccCreditCardVendorKey = 1, AccAccountNumberKey = 2 };

const RecordLayout<Account>& accountLayout();

} // namespace fundora::core
