#include "planning/PlanCards.h"

namespace fundora::planning {

platform::FileError readPlanCards(core::DataFiles& files, std::vector<PlanCard>& out)
{
    out.clear();
    return files.forEachAccount([&out](const core::Account& a) {
        if (a.accountBalance > platform::Decimal::fromUnits(0, 2)) {
            PlanCard card;
            card.sysId = a.sysId;
            card.name = a.creditCardVendor.trimmed();
            card.balance = a.accountBalance;
            card.rate = a.interestRate;
            out.push_back(card);
        }
        return platform::FileError::success();
    });
}

} // namespace fundora::planning
