#pragma once

namespace fundora::accounts {

// Registers BrowseAccounts with the procedures the frame can start.
void registerAccountProcedures();

} // namespace fundora::accounts
