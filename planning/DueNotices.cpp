#include "planning/DueNotices.h"

#include "accounts/CardStanding.h"
#include "planning/PayoffPlan.h"
#include "platform/pictures/Picture.h"

#include <algorithm>

namespace fundora::planning {

QString DueNotice::text() const
{
    accounts::CardStanding standing;
    standing.minimumPayment = minimum;
    standing.paidSince = paid;
    standing.dueDate = dueDate;
    return QStringLiteral("%1: %2 minimum due %3 (%4), %5 paid")
        .arg(card, planMoney(minimum), platform::formatPicture(std::int64_t{dueDate}, u"d2"),
             accounts::dueText(standing, dueDate - daysLeft), planMoney(paid));
}

platform::FileError dueNotices(core::DataFiles& files, platform::DayNumber today, int within, std::vector<DueNotice>& out)
{
    out.clear();
    const platform::FileError e = files.forEachAccount([&](const core::Account& account) {
        accounts::CardStanding standing;
        if (const platform::FileError s = accounts::cardStandingOf(files, account, standing); !s.ok())
            return s;
        const bool unpaid = standing.hasStatement && standing.dueDate != 0 &&
                            standing.minimumPayment > platform::Decimal::fromUnits(0, 2) && standing.paidSince < standing.minimumPayment;
        if (unpaid && standing.dueDate - today <= within)
            out.push_back({account.sysId, account.creditCardVendor.trimmed(), standing.dueDate, standing.minimumPayment, standing.paidSince,
                           standing.dueDate - today});
        return platform::FileError::success();
    });
    std::stable_sort(out.begin(), out.end(), [](const DueNotice& a, const DueNotice& b) { return a.dueDate < b.dueDate; });
    return e;
}

} // namespace fundora::planning
