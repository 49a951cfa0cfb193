#include "planning/PlanCards.h"

#include "planning/PlanRules.h"

namespace fundora::planning {

platform::FileError readPlanCards(core::DataFiles& files, std::vector<PlanCard>& out)
{
    out.clear();
    std::map<std::int32_t, PlanRule> rules;
    if (const platform::FileError e = readPlanRules(files, rules); !e.ok())
        return e;
    return files.forEachAccount([&out, &rules](const core::Account& a) {
        if (a.accountBalance > platform::Decimal::fromUnits(0, 2)) {
            PlanCard card;
            card.sysId = a.sysId;
            card.name = a.creditCardVendor.trimmed();
            card.balance = a.accountBalance;
            card.rate = a.interestRate;
            if (const auto rule = rules.find(a.sysId); rule != rules.end())
                applyRule(card, rule->second);
            out.push_back(card);
        }
        return platform::FileError::success();
    });
}

} // namespace fundora::planning
