#include "core/Account.h"

namespace fundora::core {

const RecordLayout<Account>& accountLayout()
{
    static const RecordLayout<Account> layout(
        QStringLiteral("Accounts"), QStringLiteral("ACC"), QStringLiteral("ACCOUNTS"), 1,
        {
            {longField("ACC:SysID"), &Account::sysId},
            {stringField("ACC:CreditCardVendor", 30), &Account::creditCardVendor},
            {stringField("ACC:CardType", 1), &Account::cardType},
            {stringField("ACC:AccountNumber", 20), &Account::accountNumber},
            {longField("ACC:ExpirationDate"), &Account::expirationDate},
            {stringField("ACC:VendorAddr1", 35), &Account::vendorAddr1},
            {stringField("ACC:VendorAddr2", 35), &Account::vendorAddr2},
            {stringField("ACC:VendorCity", 25), &Account::vendorCity},
            {stringField("ACC:VendorState", 2), &Account::vendorState},
            {stringField("ACC:VendorZip", 10), &Account::vendorZip},
            {decimalField("ACC:BalanceInfoPhone", 6, 0), &Account::balanceInfoPhone},
            {decimalField("ACC:LostCardPhone", 6, 0), &Account::lostCardPhone},
            {decimalField("ACC:InterestRate", 3, 2), &Account::interestRate},
            {decimalField("ACC:CreditLimit", 4, 2), &Account::creditLimit},
            {shortField("ACC:BillingDay"), &Account::billingDay},
            {decimalField("ACC:AccountBalance", 4, 2), &Account::accountBalance},
        },
        {
            {QStringLiteral("ACC:SysIDKey"), {QStringLiteral("ACC:SysID")}, true, false},
            {QStringLiteral("ACC:CreditCardVendorKey"), {QStringLiteral("ACC:CreditCardVendor")}, false, true},
            {QStringLiteral("ACC:AccountNumberKey"), {QStringLiteral("ACC:AccountNumber")}, false, true},
        },
        {}, {},
        // The total outstanding debt the accounts list shows: kept for the whole file.
        RecordLayout<Account>::KeptTotals{{}, QStringLiteral("ACC:AccountBalance")});
    return layout;
}

} // namespace fundora::core
