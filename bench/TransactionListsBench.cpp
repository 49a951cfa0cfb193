// The transaction lists of one account with 1,000 and with 1,000,000
// transactions, among nine other accounts of 1,000 each, in two shapes: half
// of them reconciled (the second argument 0), or a realistic register where
// all are reconciled but 20 of this month (1). Timed: opening either list
// (first page and totals), a row down, a page down, a jump to the end and
// back, switching tabs, a locator key in the history by type, a month's and
// all months' analysis. Each reports the records it read into the program
// ("records").
//
// The aggregates (the open total, the average charge, a month's charges) are
// then timed twice in one run: through the program's view, and as the bare
// SQLite query on a connection of its own to the same file.
//
// The files are made once per size and shape under the temporary directory and
// reused ("fundora-transactions-bench-<n>[-realistic]"); delete them to make
// them again.
#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "engine/BrowseEngine.h"
#include "engine/BrowseListView.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/store/StoreSchema.h"
#include "platform/store/View.h"
#include "transactions/BrowseCurrentTransactionsWindow.h"
#include "transactions/BrowseTransactionHistoryWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <random>

using namespace fundora;

namespace {

constexpr std::int32_t Account = 5;
constexpr int OtherAccounts = 9;
constexpr int OthersEach = 1000;
constexpr int OpenInRealistic = 20;
const platform::DayNumber Today = platform::dayNumberOf(2026, 12, 6);

QString directoryFor(int transactions, bool realistic)
{
    const QString path = QDir::temp().filePath(
        QStringLiteral("fundora-transactions-bench-%1%2").arg(transactions).arg(realistic ? QStringLiteral("-realistic") : QString()));
    const QString done = QDir(path).filePath(QStringLiteral("complete"));
    if (QFile::exists(done))
        return path;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    std::fprintf(stderr, "making %d transactions in %s ...\n", transactions, qPrintable(path));
    core::DataFiles files(path);
    core::openFile(files, core::FileId::Accounts);
    core::openFile(files, core::FileId::Transactions);
    std::mt19937 random(5);
    files.store.begin();
    for (std::int32_t id = 1; id <= OtherAccounts + 1; ++id) {
        files.accounts.clear();
        files.accounts.record.sysId = id;
        files.accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(id);
        files.accounts.record.creditLimit = platform::Decimal::fromUnits(500000, 2);
        files.accounts.add();
        const int count = id == Account ? transactions : OthersEach;
        for (int i = 0; i < count; ++i) {
            auto& t = files.transactions.record;
            files.transactions.clear();
            t.sysId = id;
            // Ten years of days, the latest up to today.
            t.dateofTransaction = Today - static_cast<platform::DayNumber>(random() % 3650);
            t.transactionType = QString(QChar(u"CCCCPIFAB"[random() % 9]));
            t.transactionAmount = platform::Decimal::fromUnits(static_cast<std::int64_t>(random() % 50000) + 1, 2);
            t.transactionDescription = QStringLiteral("Purchase %1").arg(i);
            t.reconciledTransaction = static_cast<std::uint8_t>(random() % 2);
            if (realistic) {
                // The month's few open entries are the latest; everything before them is reconciled.
                const bool open = id == Account && i >= count - OpenInRealistic;
                t.reconciledTransaction = open ? 0 : 1;
                if (open)
                    t.dateofTransaction = Today - static_cast<platform::DayNumber>(random() % 5);
            }
            files.transactions.add();
        }
    }
    files.store.commit();
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return path;
}

// One list window of the account, open and showing its first page.
template <class Window>
struct OpenList {
    explicit OpenList(const benchmark::State& state) : files(directoryFor(static_cast<int>(state.range(0)), state.range(1) != 0))
    {
        core::resetGlobalState();
        core::glo().currentSysid = Account;
        core::acquireFile(files, core::FileId::Accounts);
        core::acquireFile(files, core::FileId::Transactions);
        window = std::make_unique<Window>(files);
        window->list()->setFixedRowCount(20);
        window->show();
        QCoreApplication::processEvents();
    }
    ~OpenList() { window->close(); }
    core::DataFiles files;
    std::unique_ptr<Window> window;
};

struct Counted {
    std::int64_t before = platform::View::recordsRead();
    std::int64_t read() const { return platform::View::recordsRead() - before; }
};

void report(benchmark::State& state, std::int64_t read)
{
    state.counters["records"] = benchmark::Counter(static_cast<double>(read) / static_cast<double>(state.iterations()));
}

template <class Window>
void OpenWindow(benchmark::State& state)
{
    directoryFor(static_cast<int>(state.range(0)), state.range(1) != 0);
    std::int64_t read = 0;
    for (auto _ : state) {
        const Counted c;
        OpenList<Window> l(state);
        read += c.read();
    }
    report(state, read);
}

// Times `op` on the open current-transactions list; every 100 steps the list
// goes back to its top, untimed, so that no step meets the end of the list.
template <class Operation>
void measure(benchmark::State& state, Operation op)
{
    OpenList<transactions::BrowseCurrentTransactionsWindow> l(state);
    std::int64_t read = 0;
    std::int64_t steps = 0;
    for (auto _ : state) {
        if (++steps % 100 == 0) {
            state.PauseTiming();
            l.window->engine().onScroll(engine::BrowseEngine::Scroll::Top);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        const Counted c;
        op(*l.window);
        QCoreApplication::processEvents();
        read += c.read();
    }
    report(state, read);
}

void OpenCurrent(benchmark::State& state)
{
    OpenWindow<transactions::BrowseCurrentTransactionsWindow>(state);
}

void OpenHistory(benchmark::State& state)
{
    OpenWindow<transactions::BrowseTransactionHistoryWindow>(state);
}

void RowDown(benchmark::State& state)
{
    measure(state, [](auto& w) { w.engine().onScroll(engine::BrowseEngine::Scroll::RowDown); });
}

void PageDown(benchmark::State& state)
{
    measure(state, [](auto& w) { w.engine().onScroll(engine::BrowseEngine::Scroll::PageDown); });
}

void JumpToEndAndBack(benchmark::State& state)
{
    int i = 0;
    measure(state,
            [&i](auto& w) { w.engine().onScroll(++i % 2 ? engine::BrowseEngine::Scroll::Bottom : engine::BrowseEngine::Scroll::Top); });
}

void SwitchTab(benchmark::State& state)
{
    int i = 0;
    measure(state, [&i](auto& w) { w.template findChild<QTabWidget*>()->setCurrentIndex(++i % 2); });
}

// The history by type (its second tab), a type's letter typed again and again.
void LocatorKey(benchmark::State& state)
{
    OpenList<transactions::BrowseTransactionHistoryWindow> l(state);
    l.window->template findChild<QTabWidget*>()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    std::int64_t read = 0;
    int i = 0;
    for (auto _ : state) {
        const Counted c;
        l.window->engine().onLocatorKey(QChar(u"CPIFAB"[i++ % 6]));
        QCoreApplication::processEvents();
        read += c.read();
    }
    report(state, read);
}

// A month of the history's analysis (1 to 12, one after the other), or "All" (0).
void analysis(benchmark::State& state, bool all)
{
    OpenList<transactions::BrowseTransactionHistoryWindow> l(state);
    std::int64_t read = 0;
    int month = 0;
    for (auto _ : state) {
        const Counted c;
        // "All" is chosen after another month each time, so that each step works it out again.
        if (all) {
            state.PauseTiming();
            l.window->selectMonth(month = month % 12 + 1);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        l.window->selectMonth(all ? 0 : (month = month % 12 + 1));
        QCoreApplication::processEvents();
        read += c.read();
        benchmark::DoNotOptimize(l.window->numberOfCharges());
    }
    report(state, read);
}

void MonthAnalysis(benchmark::State& state)
{
    analysis(state, false);
}

void AllAnalysis(benchmark::State& state)
{
    analysis(state, true);
}

// --- the aggregates, through the program and bare

enum class Aggregate { OpenTotal, AverageCharge, March };

// The program's way, as the lists compute them: the list's range view (the
// account and its filter) with the extra condition compiled by the store.
template <class Window>
void throughList(benchmark::State& state, const QString& condition)
{
    OpenList<Window> l(state);
    platform::FilterBindings names;
    names.bind(QStringLiteral("LOC:MonthFirst"), [] { return platform::FieldValue{std::int64_t{platform::dayNumberOf(2026, 3, 1)}}; });
    names.bind(QStringLiteral("LOC:MonthLast"), [] { return platform::FieldValue{std::int64_t{platform::dayNumberOf(2026, 3, 31)}}; });
    const int amount = core::transactionLayout().def().fieldIndex(QStringLiteral("TRA:TransactionAmount"));
    const std::unique_ptr<platform::View> view = l.window->engine().rangeView(l.window->engine().sortOrder());
    for (auto _ : state) {
        platform::View::Totals t;
        view->totals(amount, condition, names, t);
        benchmark::DoNotOptimize(t.sumUnits);
    }
}

void ThroughProgram(benchmark::State& state, Aggregate which)
{
    switch (which) {
    case Aggregate::OpenTotal: throughList<transactions::BrowseCurrentTransactionsWindow>(state, QString()); break;
    case Aggregate::AverageCharge:
        throughList<transactions::BrowseCurrentTransactionsWindow>(state, QStringLiteral("TRA:TransactionType <> 'P'"));
        break;
    case Aggregate::March:
        throughList<transactions::BrowseTransactionHistoryWindow>(
            state, QStringLiteral("TRA:TransactionType = 'C' AND TRA:DateofTransaction >= LOC:MonthFirst AND "
                                  "TRA:DateofTransaction <= LOC:MonthLast"));
        break;
    }
}

// The bare query a developer would write, on a connection of its own.
void Bare(benchmark::State& state, Aggregate which)
{
    const QString path = QDir(directoryFor(static_cast<int>(state.range(0)), state.range(1) != 0)).filePath(QStringLiteral("TRANSACT.TPS"));
    const platform::FileDef& def = core::transactionLayout().def();
    auto column = [&def](const char* name) {
        return platform::schema::quoted(def.fields.at(static_cast<std::size_t>(def.fieldIndex(QString::fromLatin1(name)))).column());
    };
    QString sql = QStringLiteral("SELECT COUNT(*), IFNULL(SUM(%1), 0) FROM %2 WHERE %3 = ?1 AND %4 = %5")
                      .arg(column("TRA:TransactionAmount"), platform::schema::table(def), column("TRA:SysID"),
                           column("TRA:ReconciledTransaction"), which == Aggregate::March ? QStringLiteral("1") : QStringLiteral("0"));
    if (which == Aggregate::AverageCharge)
        sql += QStringLiteral(" AND %1 <> 'P'").arg(column("TRA:TransactionType"));
    if (which == Aggregate::March)
        sql += QStringLiteral(" AND %1 = 'C' AND %2 BETWEEN ?2 AND ?3").arg(column("TRA:TransactionType"), column("TRA:DateofTransaction"));
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    for (auto _ : state) {
        sqlite3_bind_int(st, 1, Account);
        sqlite3_bind_int64(st, 2, platform::dayNumberOf(2026, 3, 1));
        sqlite3_bind_int64(st, 3, platform::dayNumberOf(2026, 3, 31));
        sqlite3_step(st);
        benchmark::DoNotOptimize(sqlite3_column_int64(st, 1));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void OpenTotalThroughProgram(benchmark::State& s)
{
    ThroughProgram(s, Aggregate::OpenTotal);
}
void OpenTotalBare(benchmark::State& s)
{
    Bare(s, Aggregate::OpenTotal);
}
void AverageChargeThroughProgram(benchmark::State& s)
{
    ThroughProgram(s, Aggregate::AverageCharge);
}
void AverageChargeBare(benchmark::State& s)
{
    Bare(s, Aggregate::AverageCharge);
}
void MarchChargesThroughProgram(benchmark::State& s)
{
    ThroughProgram(s, Aggregate::March);
}
void MarchChargesBare(benchmark::State& s)
{
    Bare(s, Aggregate::March);
}

} // namespace

#define SIZES Args({1000, 0})->Args({1000000, 0})->Args({1000, 1})->Args({1000000, 1})->Unit(benchmark::kMillisecond)
BENCHMARK(OpenCurrent)->SIZES;
BENCHMARK(OpenHistory)->SIZES;
BENCHMARK(RowDown)->SIZES;
BENCHMARK(PageDown)->SIZES;
BENCHMARK(JumpToEndAndBack)->SIZES;
BENCHMARK(SwitchTab)->SIZES;
BENCHMARK(LocatorKey)->SIZES;
BENCHMARK(MonthAnalysis)->SIZES;
BENCHMARK(AllAnalysis)->SIZES;
BENCHMARK(OpenTotalThroughProgram)->SIZES;
BENCHMARK(OpenTotalBare)->SIZES;
BENCHMARK(AverageChargeThroughProgram)->SIZES;
BENCHMARK(AverageChargeBare)->SIZES;
BENCHMARK(MarchChargesThroughProgram)->SIZES;
BENCHMARK(MarchChargesBare)->SIZES;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    platform::Clock::install(std::make_shared<platform::FixedClock>(QDateTime(QDate(2026, 12, 6), QTime(10, 30))));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
