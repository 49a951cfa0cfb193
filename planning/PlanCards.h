#pragma once

#include "core/DataFiles.h"
#include "planning/PayoffPlan.h"

#include <vector>

namespace fundora::planning {

// Every card of the register with a balance, as a plan starts it: its rate,
// the default minimum rule. Accounts must be open.
platform::FileError readPlanCards(core::DataFiles& files, std::vector<PlanCard>& out);

} // namespace fundora::planning
