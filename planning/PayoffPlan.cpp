#include "planning/PayoffPlan.h"

#include "platform/pictures/Picture.h"

#include <algorithm>

namespace fundora::planning {

using platform::Decimal;

namespace {

const Decimal Zero = Decimal::fromUnits(0, 2);

Decimal percentOf(const Decimal& value, const Decimal& percent, int per)
{
    return *(value * percent).dividedBy(Decimal::fromInteger(per), 2);
}

void orderCards(std::vector<PlanCard>& cards, Strategy strategy)
{
    std::stable_sort(cards.begin(), cards.end(), [strategy](const PlanCard& a, const PlanCard& b) {
        switch (strategy) {
        case Strategy::Avalanche:
            if (a.rate != b.rate)
                return a.rate > b.rate;
            break;
        case Strategy::Snowball:
            if (a.balance != b.balance)
                return a.balance < b.balance;
            break;
        case Strategy::OwnOrder: {
            const int pa = a.ownOrder > 0 ? a.ownOrder : MostMonths * 1000;
            const int pb = b.ownOrder > 0 ? b.ownOrder : MostMonths * 1000;
            if (pa != pb)
                return pa < pb;
            break;
        }
        }
        return a.sysId < b.sysId;
    });
}

// The month's interest added to every card that owes, and its minimum.
struct MonthStart {
    std::vector<Decimal> minimums;
    Decimal sum = Zero;
};

MonthStart startMonth(const std::vector<PlanCard>& cards, std::vector<Decimal>& balances, std::vector<CardMonth>& month)
{
    MonthStart start;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        Decimal minimum = Zero;
        if (balances[i] > Zero) {
            const Decimal interest = percentOf(balances[i], cards[i].rate, 1200);
            minimum = std::max(cards[i].minimum.amount.rounded(2), percentOf(balances[i], cards[i].minimum.percent, 100) + interest);
            balances[i] += interest;
            minimum = std::min(minimum, balances[i]);
            month[i].interest = interest;
        }
        start.minimums.push_back(minimum);
        start.sum += minimum;
    }
    return start;
}

struct Run {
    PayoffPlan plan;
    bool ended = false;
    bool minimumsCovered = true;
    std::size_t stuck = 0; // the card named when the run fails
};

// `monthly` empty: only the minimums are paid.
Run run(std::vector<PlanCard> cards, const std::optional<Decimal>& monthly)
{
    Run r;
    r.plan.cards = std::move(cards);
    const std::vector<PlanCard>& cs = r.plan.cards;
    std::vector<Decimal> balances;
    for (const PlanCard& c : cs)
        balances.push_back(c.balance.rounded(2));
    r.plan.paidOffIn.assign(cs.size(), 0);
    for (int m = 1; m <= MostMonths; ++m) {
        std::vector<CardMonth> month(cs.size());
        const MonthStart start = startMonth(cs, balances, month);
        Decimal left = monthly ? *monthly - start.sum : Zero;
        if (left.isNegative()) {
            r.minimumsCovered = false;
            // The first card in the order whose minimum the amount does not reach.
            Decimal paid = Zero;
            for (r.stuck = 0; r.stuck < cs.size(); ++r.stuck) {
                paid += start.minimums[r.stuck];
                if (paid > *monthly)
                    break;
            }
            return r;
        }
        for (std::size_t i = 0; i < cs.size(); ++i) {
            month[i].payment = start.minimums[i];
            balances[i] -= start.minimums[i];
        }
        for (std::size_t i = 0; i < cs.size() && left > Zero; ++i) {
            const Decimal more = std::min(left, balances[i]);
            month[i].payment += more;
            balances[i] -= more;
            left -= more;
        }
        bool allPaid = true;
        for (std::size_t i = 0; i < cs.size(); ++i) {
            month[i].balance = balances[i];
            r.plan.totalInterest += month[i].interest;
            if (balances[i].isZero() && r.plan.paidOffIn[i] == 0 && cs[i].balance > Zero)
                r.plan.paidOffIn[i] = m;
            allPaid = allPaid && balances[i].isZero();
        }
        r.plan.months.push_back(std::move(month));
        if (allPaid) {
            r.ended = true;
            return r;
        }
    }
    r.stuck = static_cast<std::size_t>(std::find_if(balances.begin(), balances.end(), [](const Decimal& b) { return b > Zero; }) -
                                       balances.begin());
    return r;
}

std::vector<PlanCard> owing(std::vector<PlanCard> cards)
{
    std::erase_if(cards, [](const PlanCard& c) { return !(c.balance.rounded(2) > Zero); });
    return cards;
}

// The smallest monthly amount (to the cent) with which the plan ends within
// the months allowed: more money never makes a plan longer.
Decimal smallestMonthlyThatEnds(const std::vector<PlanCard>& cards)
{
    std::int64_t low = 0;
    std::int64_t high = 0;
    for (const PlanCard& c : cards) // the whole of the first month's balances ends the plan at once
        high += (c.balance.rounded(2) + percentOf(c.balance.rounded(2), c.rate, 1200)).units();
    high = std::max<std::int64_t>(high, 1);
    while (low < high) {
        const std::int64_t mid = low + (high - low) / 2;
        if (run(cards, Decimal::fromUnits(mid, 2)).ended)
            high = mid;
        else
            low = mid + 1;
    }
    return Decimal::fromUnits(low, 2);
}

} // namespace

QString planMoney(const Decimal& amount)
{
    return platform::formatPicture(amount, u"n-14.2").trimmed();
}

std::optional<Strategy> strategyNamed(QStringView name)
{
    if (name == u"avalanche")
        return Strategy::Avalanche;
    if (name == u"snowball")
        return Strategy::Snowball;
    if (name == u"own")
        return Strategy::OwnOrder;
    return std::nullopt;
}

QString strategyName(Strategy strategy)
{
    switch (strategy) {
    case Strategy::Avalanche: return QStringLiteral("avalanche");
    case Strategy::Snowball: return QStringLiteral("snowball");
    case Strategy::OwnOrder: break;
    }
    return QStringLiteral("own");
}

PlanOutcome makePlan(std::vector<PlanCard> cards, Strategy strategy, const Decimal& monthly)
{
    cards = owing(std::move(cards));
    orderCards(cards, strategy);
    Run r = run(cards, monthly.rounded(2));
    if (r.ended || cards.empty())
        return {std::move(r.plan), {}};
    const QString smallest = planMoney(smallestMonthlyThatEnds(cards));
    const QString card = cards[std::min(r.stuck, cards.size() - 1)].name;
    if (!r.minimumsCovered)
        return {std::nullopt, QStringLiteral("%1 a month does not cover the first month's minimum payments: the minimum of %2 is not "
                                             "reached. The smallest monthly amount that pays every card off is %3.")
                                  .arg(planMoney(monthly), card, smallest)};
    return {std::nullopt, QStringLiteral("With %1 a month the balance of %2 is not paid off within %3 months. The smallest monthly "
                                         "amount that pays every card off is %4.")
                              .arg(planMoney(monthly), card)
                              .arg(MostMonths)
                              .arg(smallest)};
}

Decimal smallestMonthlyToPayOff(std::vector<PlanCard> cards)
{
    cards = owing(std::move(cards));
    return cards.empty() ? Zero : smallestMonthlyThatEnds(cards);
}

PlanOutcome minimumsOnly(std::vector<PlanCard> cards)
{
    cards = owing(std::move(cards));
    orderCards(cards, Strategy::Avalanche);
    Run r = run(cards, std::nullopt);
    if (r.ended || cards.empty())
        return {std::move(r.plan), {}};
    return {std::nullopt, QStringLiteral("Paying only the minimums, the balance of %1 is not paid off within %2 months.")
                              .arg(cards[r.stuck].name)
                              .arg(MostMonths)};
}

} // namespace fundora::planning
