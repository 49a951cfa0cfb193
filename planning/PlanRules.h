#pragma once

#include "core/DataFiles.h"
#include "core/RecordLayout.h"
#include "planning/PayoffPlan.h"

#include <map>

namespace fundora::planning {

// What the user set for a card's payoff plan (file PlanRules, prefix PLR):
// its minimum payment rule and its place in the user's own order. A card
// without one pays the default minimum and comes after the placed cards.
struct PlanRule {
    std::int32_t sysId = 0;                                                  // ACC:SysID
    platform::Decimal minimumAmount = platform::Decimal::fromUnits(2500, 2); // the fixed part of the minimum
    platform::Decimal minimumPercent = platform::Decimal::fromUnits(100, 2); // percent of the balance, plus the month's interest
    std::int16_t ownOrder = 0;                                               // 1 first; 0: not placed

    platform::RecordIdentity identity;
};

enum PlanRuleKey { PlrSysIDKey = 0 };

const core::RecordLayout<PlanRule>& planRuleLayout();
// The file, declared at the first call: its records go with their account.
core::FileId planRulesFile();

// Every rule, by account. The file must be open.
platform::FileError readPlanRules(core::DataFiles& files, std::map<std::int32_t, PlanRule>& out);
// Stores `rule` (added, or written over the one read, guarded by its version).
platform::FileError savePlanRule(core::DataFiles& files, PlanRule& rule);
// The card with the user's rule applied.
void applyRule(PlanCard& card, const PlanRule& rule);

} // namespace fundora::planning
