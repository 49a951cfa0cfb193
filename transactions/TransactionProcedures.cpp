#include "transactions/TransactionProcedures.h"

#include "core/Procedures.h"
#include "transactions/BrowseCurrentTransactionsWindow.h"
#include "transactions/BrowseTransactionHistoryWindow.h"

namespace fundora::transactions {

void registerTransactionProcedures()
{
    core::registerProcedure(QStringLiteral("BrowseCurrentTransactions"),
                            [] { return new BrowseCurrentTransactionsWindow(core::DataFiles::current()); });
    core::registerProcedure(QStringLiteral("BrowseTransactionHistory"),
                            [] { return new BrowseTransactionHistoryWindow(core::DataFiles::current()); });
}

} // namespace fundora::transactions
