#pragma once

#include "core/DataFiles.h"
#include "planning/PayoffPlan.h"

#include <vector>

namespace fundora::planning {

// Every card of the register with a balance, as a plan starts it: its rate,
// and the minimum rule and place the user set for it (else the defaults).
// Accounts and PlanRules must be open.
platform::FileError readPlanCards(core::DataFiles& files, std::vector<PlanCard>& out);

} // namespace fundora::planning
