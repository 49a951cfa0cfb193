// Paging and opening costs of the keyed-file store at 1,000 and 1,000,000
// transactions. Run: build/bench/store_bench (files are made once in a
// temporary directory per size).
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "platform/MessageService.h"
#include "platform/store/View.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

using namespace fundora;
using namespace fundora::core;

namespace {

constexpr int PageRows = 20;
constexpr int Accounts = 200;

struct Fixture {
    QTemporaryDir dir;
    std::int64_t records = 0;
};

// Makes (once per size) a program directory whose Transactions file holds `n`
// records spread over 200 accounts and ten years of dates.
Fixture& fixture(std::int64_t n)
{
    static std::map<std::int64_t, std::unique_ptr<Fixture>> made;
    auto& slot = made[n];
    if (slot)
        return *slot;
    slot = std::make_unique<Fixture>();
    slot->records = n;
    DataFiles files(slot->dir.path());
    for (FileId id : allFiles())
        openFile(files, id);
    std::mt19937 random(42);
    files.store.begin();
    auto& t = files.transactions;
    for (std::int64_t i = 0; i < n; ++i) {
        t.clear();
        t.record.sysId = static_cast<std::int32_t>(random() % Accounts + 1);
        t.record.dateofTransaction = static_cast<std::int32_t>(80000 + random() % 3650);
        t.record.transactionDescription = QStringLiteral("Purchase %1").arg(i);
        t.record.transactionType = QString(QChar(u"CPIFAB"[random() % 6]));
        t.record.transactionAmount = platform::Decimal::fromUnits(static_cast<std::int64_t>(random() % 100000), 2);
        t.add();
    }
    files.store.commit();
    return *slot;
}

struct OpenFiles {
    explicit OpenFiles(const QString& dir) : files(dir)
    {
        for (FileId id : allFiles())
            openFile(files, id);
    }
    DataFiles files;
};

// A page of 20 forward from a point in the middle of the file (account and date key).
void PageForward(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    OpenFiles o(f.dir.path());
    platform::View view(o.files.transactions.file(), TraSysIDDateKey);
    Transaction key;
    std::int64_t read = 0;
    int day = 0;
    for (auto _ : state) {
        key.sysId = (day * 7) % (Accounts - 1) + 1;
        key.dateofTransaction = 80000 + (day++ * 37) % 3650;
        view.toValue(transactionLayout().toRecord(key));
        platform::Record r;
        for (int i = 0; i < PageRows && view.next(r).ok(); ++i)
            ++read;
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows/page"] = benchmark::Counter(static_cast<double>(read) / static_cast<double>(state.iterations()));
}

// A page of 20 backward through the whole file by the newest-first date key.
void PageBackward(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    OpenFiles o(f.dir.path());
    platform::View view(o.files.transactions.file(), TraDateKey);
    Transaction key;
    int day = 0;
    std::int64_t read = 0;
    for (auto _ : state) {
        key.dateofTransaction = 80000 + (day++ * 37) % 3650;
        view.toValue(transactionLayout().toRecord(key));
        platform::Record r;
        for (int i = 0; i < PageRows && view.previous(r).ok(); ++i)
            ++read;
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows/page"] = benchmark::Counter(static_cast<double>(read) / static_cast<double>(state.iterations()));
}

// The next page from the last row of the previous one, as a list scrolls.
void PageAfterPosition(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    OpenFiles o(f.dir.path());
    platform::View view(o.files.transactions.file(), TraSysIDKey);
    view.toStart();
    platform::Record r;
    QString position;
    for (auto _ : state) {
        if (!position.isEmpty())
            view.toPosition(position);
        else
            view.toStart();
        bool skipped = position.isEmpty();
        for (int i = 0; i < PageRows; ++i) {
            if (!view.next(r).ok()) {
                view.toStart();
                skipped = true;
                continue;
            }
            if (!skipped) { // a position reads its own record first
                skipped = true;
                --i;
            }
        }
        position = view.position(r);
    }
}

// Positioning on a key value (a locator seek) and reading the record there.
void SeekOnValue(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    OpenFiles o(f.dir.path());
    platform::View view(o.files.transactions.file(), TraSysIDTypeKey);
    Transaction key;
    int i = 0;
    for (auto _ : state) {
        key.sysId = i % Accounts + 1;
        key.transactionType = QString(QChar(u"cpifab"[i % 6]));
        ++i;
        view.toValue(transactionLayout().toRecord(key));
        platform::Record r;
        benchmark::DoNotOptimize(view.next(r));
    }
}

// Opening the four files (and closing them again).
void OpenFourFiles(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0));
    for (auto _ : state) {
        DataFiles files(f.dir.path());
        for (FileId id : allFiles())
            benchmark::DoNotOptimize(openFile(files, id));
        state.PauseTiming();
        files.closeAll();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(PageForward)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageBackward)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageAfterPosition)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SeekOnValue)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenFourFiles)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
