#include "statements/StatementProcedures.h"

#include "core/Procedures.h"
#include "statements/BrowseStatementsWindow.h"
#include "statements/ReconcileStatementWindow.h"
#include "statements/StatementProtection.h"

namespace fundora::statements {

void registerStatementProcedures()
{
    core::registerProcedure(QStringLiteral("ReconcileStatement"), [] { return new ReconcileStatementWindow(core::DataFiles::current()); });
    core::registerProcedure(QStringLiteral("BrowseStatements"), [] { return new BrowseStatementsWindow(core::DataFiles::current()); });
    transactions::ReconciledEntries::install(std::make_shared<StatementProtection>());
}

} // namespace fundora::statements
