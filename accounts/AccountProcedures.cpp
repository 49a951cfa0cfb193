#include "accounts/AccountProcedures.h"

#include "accounts/BrowseAccountsWindow.h"
#include "core/Procedures.h"

namespace fundora::accounts {

void registerAccountProcedures()
{
    core::registerProcedure(QStringLiteral("BrowseAccounts"), [] { return new BrowseAccountsWindow(core::DataFiles::current()); });
}

} // namespace fundora::accounts
