#pragma once

#include "platform/Decimal.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

namespace fundora::planning {

// The order in which a plan pays more than the minimums: highest rate first,
// smallest balance first, or the user's own order.
enum class Strategy { Avalanche, Snowball, OwnOrder };

std::optional<Strategy> strategyNamed(QStringView name); // "avalanche", "snowball", "own"
QString strategyName(Strategy strategy);

// A card's minimum payment each month: the greater of `amount` and
// (`percent` % of the balance before the month's interest, plus that
// interest), never more than the card owes.
struct MinimumRule {
    platform::Decimal amount = platform::Decimal::fromUnits(2500, 2);
    platform::Decimal percent = platform::Decimal::fromUnits(100, 2);
};

// A card as the plan starts it.
struct PlanCard {
    std::int32_t sysId = 0; // ACC:SysID: ties in an order go to the lower one
    QString name;
    platform::Decimal balance = platform::Decimal::fromUnits(0, 2); // what it owes (positive)
    platform::Decimal rate = platform::Decimal::fromUnits(0, 2);    // APR, in percent
    MinimumRule minimum;
    int ownOrder = 0; // the user's place for it (1 first); 0: after the placed ones
};

// One card in one month of a plan.
struct CardMonth {
    platform::Decimal payment = platform::Decimal::fromUnits(0, 2);
    platform::Decimal interest = platform::Decimal::fromUnits(0, 2);
    platform::Decimal balance = platform::Decimal::fromUnits(0, 2); // after the payment
};

struct PayoffPlan {
    std::vector<PlanCard> cards;                // in the strategy's order
    std::vector<std::vector<CardMonth>> months; // month by month, a CardMonth a card in that order
    std::vector<int> paidOffIn;                 // the month each card reached 0.00 (1 = the first)
    platform::Decimal totalInterest = platform::Decimal::fromUnits(0, 2);
    int length() const { return static_cast<int>(months.size()); }
};

// A plan, or why there is none (a message that names the card and the
// smallest monthly amount that would end the plan).
struct PlanOutcome {
    std::optional<PayoffPlan> plan;
    QString refusal;
};

inline constexpr int MostMonths = 600;

// An amount as plans show it: 1,234.56.
QString planMoney(const platform::Decimal& amount);

// Pays `monthly` a month over the cards that owe something (the others are
// left out), in the strategy's order, until every card is at 0.00:
// each month every card's interest (balance x APR / 12 / 100, rounded half
// away from zero to the cent) is added, every card's minimum is paid, and
// what is left goes to the first card in the order that still owes, what it
// no longer needs to the next. Refused when `monthly` does not cover the first
// month's minimums or does not end the plan within 600 months.
PlanOutcome makePlan(std::vector<PlanCard> cards, Strategy strategy, const platform::Decimal& monthly);

// The smallest monthly amount (to the cent) that pays every card off within
// 600 months: the plan that takes longest.
platform::Decimal smallestMonthlyToPayOff(std::vector<PlanCard> cards);

// Paying only each card's minimum every month (no order, nothing rolls over);
// refused when that does not end within 600 months.
PlanOutcome minimumsOnly(std::vector<PlanCard> cards);

} // namespace fundora::planning
