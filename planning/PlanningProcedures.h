#pragma once

namespace fundora::planning {

// Registers the payoff plan window as "PayoffPlan".
void registerPlanningProcedures();

} // namespace fundora::planning
