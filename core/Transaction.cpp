#include "core/Transaction.h"

namespace fundora::core {

const RecordLayout<Transaction>& transactionLayout()
{
    static const RecordLayout<Transaction> layout(
        QStringLiteral("Transactions"), QStringLiteral("TRA"), QStringLiteral("TRANSACT"), 1,
        {
            {longField("TRA:SysID"), &Transaction::sysId},
            {longField("TRA:DateofTransaction"), &Transaction::dateofTransaction},
            {stringField("TRA:TransactionDescription", 35), &Transaction::transactionDescription},
            {stringField("TRA:TransactionType", 1), &Transaction::transactionType},
            {decimalField("TRA:TransactionAmount", 4, 2), &Transaction::transactionAmount},
            {byteField("TRA:ReconciledTransaction"), &Transaction::reconciledTransaction},
        },
        {
            {QStringLiteral("TRA:SysIDKey"), {QStringLiteral("TRA:SysID")}, false, false},
            {QStringLiteral("TRA:SysIDTypeKey"), {QStringLiteral("TRA:SysID"), QStringLiteral("TRA:TransactionType")}, false, true},
            {QStringLiteral("TRA:SysIDDateKey"), {QStringLiteral("TRA:SysID"), QStringLiteral("TRA:DateofTransaction")}, false, false},
            {QStringLiteral("TRA:DateKey"), {QStringLiteral("-TRA:DateofTransaction")}, false, false},
            {QStringLiteral("TRA:TypeKey"), {QStringLiteral("TRA:TransactionType")}, false, true},
        },
        // The lists' totals and the charge analysis read this index alone.
        {{QStringLiteral("TRA:SysID"), QStringLiteral("TRA:ReconciledTransaction"), QStringLiteral("TRA:TransactionType"),
          QStringLiteral("TRA:DateofTransaction"), QStringLiteral("TRA:TransactionAmount")}},
        // The open and the reconciled lists page through these: the account's entries of one state in
        // either order of the lists.
        {{QStringLiteral("TRA:SysIDTypeKey"), 1, QStringLiteral("TRA:ReconciledTransaction")},
         {QStringLiteral("TRA:SysIDDateKey"), 1, QStringLiteral("TRA:ReconciledTransaction")}},
        // The lists' totals and the month analyses: count and sum of an account's entries of one
        // state, type and day, whatever their number.
        RecordLayout<Transaction>::KeptTotals{{QStringLiteral("TRA:SysID"), QStringLiteral("TRA:ReconciledTransaction"),
                                               QStringLiteral("TRA:TransactionType"), QStringLiteral("TRA:DateofTransaction")},
                                              QStringLiteral("TRA:TransactionAmount")});
    return layout;
}

} // namespace fundora::core
