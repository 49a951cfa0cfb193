#pragma once

namespace fundora::statements {

// ReconcileStatement and BrowseStatements, and the protection of the
// transactions finished statements hold.
void registerStatementProcedures();

} // namespace fundora::statements
