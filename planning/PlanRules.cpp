#include "planning/PlanRules.h"

namespace fundora::planning {

const core::RecordLayout<PlanRule>& planRuleLayout()
{
    static const core::RecordLayout<PlanRule> layout(QStringLiteral("PlanRules"), QStringLiteral("PLR"), QStringLiteral("PLANRULE"), 1,
                                                     {
                                                         {core::longField("PLR:SysID"), &PlanRule::sysId},
                                                         {core::decimalField("PLR:MinimumAmount", 5, 2), &PlanRule::minimumAmount},
                                                         {core::decimalField("PLR:MinimumPercent", 3, 2), &PlanRule::minimumPercent},
                                                         {core::shortField("PLR:OwnOrder"), &PlanRule::ownOrder},
                                                     },
                                                     {
                                                         {QStringLiteral("PLR:SysIDKey"), {QStringLiteral("PLR:SysID")}, true, false},
                                                     });
    return layout;
}

core::FileId planRulesFile()
{
    static const core::FileId id = core::declareFile(planRuleLayout(), PlrSysIDKey);
    return id;
}

platform::FileError readPlanRules(core::DataFiles& files, std::map<std::int32_t, PlanRule>& out)
{
    out.clear();
    return core::forEachRecord(files.file(planRulesFile()), planRuleLayout(), PlrSysIDKey, [&out](const PlanRule& rule) {
        out[rule.sysId] = rule;
        return platform::FileError::success();
    });
}

platform::FileError savePlanRule(core::DataFiles& files, PlanRule& rule)
{
    platform::Record r = planRuleLayout().toRecord(rule);
    platform::DataFile& file = files.file(planRulesFile());
    const platform::FileError e = rule.identity.isStored() ? file.put(r) : file.add(r);
    if (e.ok())
        rule.identity = r.identity;
    return e;
}

void applyRule(PlanCard& card, const PlanRule& rule)
{
    card.minimum = {rule.minimumAmount, rule.minimumPercent};
    card.ownOrder = rule.ownOrder;
}

} // namespace fundora::planning
