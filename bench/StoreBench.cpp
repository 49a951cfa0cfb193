// Paging, booking and opening costs of the store at 1,000 and 1,000,000
// transactions, on a register in a directory (engine 0) and, side by side in
// the same run when FUNDORA_BENCH_SERVER names a PostgreSQL server's URI, on
// a register there (engine 1, a schema of its own, dropped at the end).
// Run: build/bench/store_bench (each register is made once per size).
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "platform/MessageService.h"
#include "platform/server/ServerConnection.h"
#include "platform/store/StoreSchema.h"
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

QString serverUri()
{
    return qEnvironmentVariable("FUNDORA_BENCH_SERVER");
}

struct Fixture {
    QTemporaryDir dir;
    platform::RegisterPlace place;
    std::int64_t records = 0;
};

// Fills the server's Transactions table in one statement, with records
// spread as the directory's are (the store's own writes, a round trip each,
// would take an hour for a million); the kept totals are made after it.
void fillOnServer(DataFiles& files, std::int64_t n)
{
    const platform::FileDef& def = transactionLayout().def();
    const QString schemaName = files.store.schemaOf(def);
    const QString table = platform::schema::qualifiedTable(def, schemaName);
    platform::ServerConnection c(serverUri());
    const QStringList statements{
        QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(table),
        QStringLiteral(
            "INSERT INTO %1 (\"id\", \"seq\", \"rowversion\", \"SysID\", \"DateofTransaction\", \"TransactionDescription\", "
            "\"TransactionType\", \"TransactionAmount\") SELECT i, i, 1, (i * 7919) % %2 + 1, 80000 + (i * 104729) % 3650, "
            "'Purchase ' || i, substr('CPIFAB', ((i * 31) % 6)::int + 1, 1), (i * 48271) % 100000 FROM generate_series(1::bigint, %3) AS i")
            .arg(table)
            .arg(Accounts)
            .arg(n),
        QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'id'), %2)").arg(table).arg(n),
        QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(table),
        QStringLiteral("DELETE FROM %1").arg(platform::schema::qualifiedKeptTotals(def, schemaName)),
        platform::schema::fillKeptTotals(def, schemaName),
        QStringLiteral("ANALYZE %1").arg(table)};
    for (const QString& sql : statements)
        if (const platform::FileError e = c.exec(sql); !e.ok())
            qFatal("%s: %s", qPrintable(sql), qPrintable(e.text));
}

// Makes (once per size and engine) a register whose Transactions file holds
// `n` records spread over 200 accounts and ten years of dates.
Fixture& fixture(std::int64_t n, std::int64_t engine)
{
    static std::map<std::pair<std::int64_t, std::int64_t>, std::unique_ptr<Fixture>> made;
    auto& slot = made[{n, engine}];
    if (slot)
        return *slot;
    slot = std::make_unique<Fixture>();
    slot->records = n;
    slot->place =
        engine == 0
            ? platform::RegisterPlace::inDirectory(slot->dir.path())
            : platform::RegisterPlace::onServer(serverUri(), QStringLiteral("bench_%1_%2").arg(QCoreApplication::applicationPid()).arg(n));
    DataFiles files(slot->place);
    for (FileId id : allFiles())
        openFile(files, id);
    for (std::int32_t id = 1; id <= Accounts; ++id) {
        files.accounts.clear();
        files.accounts.record.sysId = id;
        files.accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(id);
        files.accounts.record.accountBalance = platform::Decimal::fromUnits(0, 2);
        files.accounts.add();
    }
    if (engine == 1) {
        fillOnServer(files, n);
        return *slot;
    }
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
    explicit OpenFiles(const Fixture& f) : files(f.place)
    {
        for (FileId id : allFiles())
            openFile(files, id);
    }
    DataFiles files;
};

// A page of 20 forward from a point in the middle of the file (account and date key).
void PageForward(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0), state.range(1));
    OpenFiles o(f);
    platform::View view(o.files.transactions.file(), TraSysIDDateKey);
    view.setReadAhead(PageRows); // a page in one read, as the lists read them (engine/PageCursor)
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
    Fixture& f = fixture(state.range(0), state.range(1));
    OpenFiles o(f);
    platform::View view(o.files.transactions.file(), TraDateKey);
    view.setReadAhead(PageRows);
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
    Fixture& f = fixture(state.range(0), state.range(1));
    OpenFiles o(f);
    platform::View view(o.files.transactions.file(), TraSysIDKey);
    view.setReadAhead(PageRows + 1); // the position's own record and the page after it
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
    Fixture& f = fixture(state.range(0), state.range(1));
    OpenFiles o(f);
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

// A program's start: a new store opening the four files (and closing them
// again); on the server that includes the connection.
void OpenFourFiles(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0), state.range(1));
    for (auto _ : state) {
        DataFiles files(f.place);
        for (FileId id : allFiles())
            benchmark::DoNotOptimize(openFile(files, id));
        state.PauseTiming();
        files.closeAll();
        state.ResumeTiming();
    }
}

// A booking as the ledger commits one: in a transaction, the transaction
// added and its account's balance written back (guarded by its version).
void BookOne(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0), state.range(1));
    OpenFiles o(f);
    int i = 0;
    for (auto _ : state) {
        auto& files = o.files;
        files.store.begin();
        files.transactions.clear();
        files.transactions.record.sysId = i % Accounts + 1;
        files.transactions.record.dateofTransaction = 83650;
        files.transactions.record.transactionDescription = QStringLiteral("Booked %1").arg(i);
        files.transactions.record.transactionType = QStringLiteral("C");
        files.transactions.record.transactionAmount = platform::Decimal::fromUnits(1234, 2);
        files.transactions.add();
        files.accounts.clear();
        files.accounts.record.sysId = i % Accounts + 1;
        files.accounts.get(AccSysIDKey);
        files.accounts.record.accountBalance = files.accounts.record.accountBalance + platform::Decimal::fromUnits(1234, 2);
        files.accounts.put();
        if (!files.store.commit().ok())
            state.SkipWithError("the commit failed");
        ++i;
    }
}

// Opening the transactions again on a running store, as a list window does
// when no other window holds them (and closing them).
void ReopenTransactions(benchmark::State& state)
{
    Fixture& f = fixture(state.range(0), state.range(1));
    OpenFiles o(f);
    platform::DataFile& file = o.files.transactions.file();
    for (auto _ : state) {
        file.close();
        if (!file.open().ok())
            state.SkipWithError("the open failed");
    }
}

// Each size on the directory's register and, when FUNDORA_BENCH_SERVER is set, on the server's.
void sizesAndEngines(benchmark::internal::Benchmark* b)
{
    for (std::int64_t n : {1000, 1000000})
        for (std::int64_t engine = 0; engine <= (serverUri().isEmpty() ? 0 : 1); ++engine)
            b->Args({n, engine});
    b->ArgNames({"records", "server"});
}

} // namespace

BENCHMARK(PageForward)->Apply(sizesAndEngines)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageBackward)->Apply(sizesAndEngines)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageAfterPosition)->Apply(sizesAndEngines)->Unit(benchmark::kMicrosecond);
BENCHMARK(SeekOnValue)->Apply(sizesAndEngines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BookOne)->Apply(sizesAndEngines)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReopenTransactions)->Apply(sizesAndEngines)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenFourFiles)->Apply(sizesAndEngines)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!serverUri().isEmpty())
        for (std::int64_t n : {1000, 1000000})
            platform::ServerConnection(serverUri())
                .exec(QStringLiteral("DROP SCHEMA IF EXISTS bench_%1_%2 CASCADE").arg(QCoreApplication::applicationPid()).arg(n));
    return 0;
}
