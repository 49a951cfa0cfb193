#include "statements/StatementProcedures.h"

#include "core/Procedures.h"
#include "statements/BrowseStatementsWindow.h"
#include "statements/CycleInterestFigure.h"
#include "statements/ReconcileStatementWindow.h"
#include "statements/StatementProtection.h"

namespace fundora::statements {

void registerStatementProcedures()
{
    core::registerProcedure(QStringLiteral("ReconcileStatement"), [] { return new ReconcileStatementWindow(core::DataFiles::current()); });
    core::registerProcedure(QStringLiteral("BrowseStatements"), [] { return new BrowseStatementsWindow(core::DataFiles::current()); });
    transactions::ReconciledEntries::install(std::make_shared<StatementProtection>());
    transactions::AccountFigure::install([](core::DataFiles& files) { return std::make_unique<CycleInterestFigure>(files); });
}

} // namespace fundora::statements
