#pragma once

namespace fundora::reports {

// Registers PrintFundora (which shows its own windows) and PickaReport.
void registerReportProcedures();

} // namespace fundora::reports
