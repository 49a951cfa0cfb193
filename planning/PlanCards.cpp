#include "planning/PlanCards.h"

#include "platform/store/View.h"

namespace fundora::planning {

platform::FileError readPlanCards(core::DataFiles& files, std::vector<PlanCard>& out)
{
    out.clear();
    platform::View view(files.accounts.file(), core::AccSysIDKey);
    for (;;) {
        platform::Record r;
        const platform::FileError e = view.next(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            return platform::FileError::success();
        if (!e.ok())
            return e;
        core::Account a;
        core::accountLayout().fromRecord(r, a);
        if (!(a.accountBalance > platform::Decimal::fromUnits(0, 2)))
            continue;
        PlanCard card;
        card.sysId = a.sysId;
        card.name = a.creditCardVendor.trimmed();
        card.balance = a.accountBalance;
        card.rate = a.interestRate;
        out.push_back(card);
    }
}

} // namespace fundora::planning
