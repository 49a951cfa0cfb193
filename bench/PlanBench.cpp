// The payoff plan over 20 cards for up to 600 months (an amount that ends it,
// and one refused, which searches for the smallest amount that would), and the
// interest estimate of a card with 10,000 transactions in its cycle, read from
// a register made once in a temporary directory.
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "planning/PayoffPlan.h"
#include "platform/MessageService.h"
#include "statements/CycleInterest.h"
#include "statements/StatementRecords.h"
#include "transactions/Ledger.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace fundora;
using platform::Decimal;

namespace {

std::vector<planning::PlanCard> twentyCards()
{
    std::vector<planning::PlanCard> cards;
    for (int i = 1; i <= 20; ++i) {
        planning::PlanCard c;
        c.sysId = i;
        c.name = QStringLiteral("Card %1").arg(i);
        c.balance = Decimal::fromUnits(150000 + 37 * 1013 * i, 2);
        c.rate = Decimal::fromUnits(1200 + 73 * i, 2);
        // Minimums of the interest alone (a rule a user may set): the smallest amount then runs for about 600 months.
        c.minimum = {Decimal::fromUnits(0, 2), Decimal::fromUnits(0, 2)};
        cards.push_back(c);
    }
    return cards;
}

void PayoffPlanOfTwentyCards(benchmark::State& state)
{
    const std::vector<planning::PlanCard> cards = twentyCards();
    // 0: the smallest amount that ends the plan, the longest plan there is.
    const Decimal monthly = state.range(0) ? Decimal::fromUnits(state.range(0), 2) : planning::smallestMonthlyToPayOff(cards);
    int months = 0;
    for (auto _ : state) {
        const planning::PlanOutcome o = planning::makePlan(cards, planning::Strategy::Snowball, monthly);
        months = o.plan ? o.plan->length() : -1;
        benchmark::DoNotOptimize(months);
    }
    state.counters["months"] = months;
}
BENCHMARK(PayoffPlanOfTwentyCards)->Arg(800000)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond);

struct Register {
    QTemporaryDir dir;
    std::unique_ptr<core::DataFiles> files;
    core::Account account;
};

Register& registerWithABusyCycle()
{
    static Register r;
    if (r.files)
        return r;
    r.files = std::make_unique<core::DataFiles>(r.dir.path());
    for (core::FileId id : {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile()})
        core::acquireFile(*r.files, id);
    r.account.sysId = 1;
    r.account.billingDay = 14;
    r.account.interestRate = Decimal::fromUnits(1990, 2);
    platform::Record a = core::accountLayout().toRecord(r.account);
    r.files->accounts.file().add(a);
    std::vector<core::Transaction> entries;
    const platform::DayNumber start = platform::dayNumberOf(2026, 11, 15);
    for (int i = 0; i < 10000; ++i) {
        core::Transaction t;
        t.sysId = 1;
        t.dateofTransaction = start + i % 30;
        t.transactionType = i % 10 == 0 ? QStringLiteral("P") : QStringLiteral("C");
        t.transactionAmount = Decimal::fromUnits(i % 10 == 0 ? -5000 : 1234, 2);
        entries.push_back(t);
    }
    transactions::Ledger(*r.files).book(entries);
    r.files->readAccount(1, r.account);
    return r;
}

void InterestEstimateOfTenThousandEntries(benchmark::State& state)
{
    Register& r = registerWithABusyCycle();
    statements::CycleInterest c;
    for (auto _ : state) {
        statements::cycleInterestOf(*r.files, r.account, platform::dayNumberOf(2026, 12, 7), c);
        benchmark::DoNotOptimize(c.interest);
    }
    state.counters["days"] = c.days;
}
BENCHMARK(InterestEstimateOfTenThousandEntries)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    statements::statementsFile();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
