#include "planning/PlanRules.h"

#include "platform/store/View.h"

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
    platform::View view(files.file(planRulesFile()), PlrSysIDKey);
    for (;;) {
        platform::Record r;
        const platform::FileError e = view.next(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            return platform::FileError::success();
        if (!e.ok())
            return e;
        PlanRule rule;
        planRuleLayout().fromRecord(r, rule);
        out[rule.sysId] = rule;
    }
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
