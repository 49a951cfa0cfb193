#include "planning/PlanningProcedures.h"

#include "core/Procedures.h"
#include "planning/PayoffPlanWindow.h"

namespace fundora::planning {

void registerPlanningProcedures()
{
    core::registerProcedure(QStringLiteral("PayoffPlan"), [] { return new PayoffPlanWindow(core::DataFiles::current()); });
}

} // namespace fundora::planning
