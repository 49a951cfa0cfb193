#include "transactions/TransactionText.h"

namespace fundora::transactions {

QString transactionTypeDescription(const QString& type)
{
    const QString t = type.trimmed().toUpper();
    if (t == QStringLiteral("P"))
        return QStringLiteral("Pmt/Credit");
    if (t == QStringLiteral("C"))
        return QStringLiteral("Charge");
    if (t == QStringLiteral("F"))
        return QStringLiteral("Fee");
    if (t == QStringLiteral("I"))
        return QStringLiteral("Interest");
    if (t == QStringLiteral("B"))
        return QStringLiteral("Balance");
    return QStringLiteral("Advance");
}

} // namespace fundora::transactions
