// A statement over one account's 10,000 open transactions, among nine other
// accounts of 1,000 each. Timed: the statement's session read on its own, the
// statement window opened (session, model, first paint), one tick with the
// difference shown again, and finishing (every entry reconciled and the
// statement stored in one commit).
//
// The files are made once under the temporary directory and copied before each
// finish ("fundora-statement-bench"); delete it to make them again.
#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "statements/ReconcileStatementWindow.h"
#include "statements/StatementEntriesModel.h"
#include "statements/StatementRecords.h"
#include "statements/StatementSession.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <random>

using namespace fundora;

namespace {

constexpr std::int32_t Account = 5;
constexpr int OpenEntries = 10000;
constexpr int OtherAccounts = 9;
constexpr int OthersEach = 1000;
const platform::DayNumber Today = platform::dayNumberOf(2026, 12, 6);
const core::FileId Used[] = {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile(),
                             statements::statementLinesFile()};

QString kept()
{
    const QString path = QDir::temp().filePath(QStringLiteral("fundora-statement-bench"));
    const QString done = QDir(path).filePath(QStringLiteral("complete"));
    if (QFile::exists(done))
        return path;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    std::fprintf(stderr, "making the files in %s ...\n", qPrintable(path));
    core::DataFiles files(path);
    for (core::FileId id : Used)
        core::openFile(files, id);
    std::mt19937 random(14);
    files.store.begin();
    for (std::int32_t id = 1; id <= OtherAccounts + 1; ++id) {
        files.accounts.clear();
        files.accounts.record.sysId = id;
        files.accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(id);
        files.accounts.record.billingDay = 30;
        files.accounts.add();
        const int count = id == Account ? OpenEntries : OthersEach;
        for (int i = 0; i < count; ++i) {
            auto& t = files.transactions.record;
            files.transactions.clear();
            t.sysId = id;
            // Within the statement: the 30 days up to its closing date, 11/30/2026.
            t.dateofTransaction = platform::dayNumberOf(2026, 11, 30) - static_cast<platform::DayNumber>(random() % 30);
            const bool payment = random() % 4 == 0;
            t.transactionType = payment ? QStringLiteral("P") : QStringLiteral("C");
            const auto cents = static_cast<std::int64_t>(random() % 3000) + 1;
            t.transactionAmount = platform::Decimal::fromUnits(payment ? -cents : cents, 2);
            t.transactionDescription = QStringLiteral("Purchase %1").arg(i);
            t.reconciledTransaction = id == Account ? 0 : 1;
            files.transactions.add();
        }
    }
    files.store.commit();
    files.closeAll();
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return path;
}

// A copy of the kept files to work on.
QString workCopy()
{
    const QString from = kept();
    const QString to = QDir::temp().filePath(QStringLiteral("fundora-statement-bench-work"));
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    for (const QString& name :
         QDir(from).entryList({QStringLiteral("*.TPS"), QStringLiteral(".fundora-commit")}, QDir::Files | QDir::Hidden))
        QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name));
    return to;
}

struct OpenFiles {
    explicit OpenFiles(const QString& dir) : files(dir)
    {
        core::DataFiles::setCurrent(&files);
        for (core::FileId id : Used)
            core::acquireFile(files, id);
        core::glo().currentSysid = Account;
    }
    core::DataFiles files;
};

void SessionRead(benchmark::State& state)
{
    OpenFiles f(kept());
    for (auto _ : state) {
        statements::StatementSession session(f.files, Account);
        session.open(Today);
        benchmark::DoNotOptimize(session.entries().size());
        state.counters["entries"] = static_cast<double>(session.entries().size());
    }
}

void WindowOpened(benchmark::State& state)
{
    OpenFiles f(kept());
    for (auto _ : state) {
        auto* window = new statements::ReconcileStatementWindow(f.files);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (window->model()->rowCount() != OpenEntries)
            state.SkipWithError("the entries were not all listed");
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window;
        state.ResumeTiming();
    }
}

void TickWithDifference(benchmark::State& state)
{
    OpenFiles f(kept());
    auto* window = new statements::ReconcileStatementWindow(f.files);
    window->show();
    QCoreApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        window->model()->toggle(row);
        benchmark::DoNotOptimize(window->figure(QStringLiteral("Difference")));
        QCoreApplication::processEvents(); // the list repaints the row
        row = (row + 7919) % OpenEntries;
    }
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    delete window;
}

void FinishAll(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<OpenFiles>(workCopy());
        statements::StatementSession session(f->files, Account);
        session.open(Today);
        session.tickAllUpTo(session.closingDate());
        session.setEndingBalance(session.resultingBalance());
        state.ResumeTiming();
        if (session.finish(false) != statements::StatementSession::Result::Done)
            state.SkipWithError("the statement did not finish");
        state.PauseTiming();
        state.counters["reconciled"] = static_cast<double>(session.tickedCount());
        f.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(SessionRead)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowOpened)->Unit(benchmark::kMillisecond);
BENCHMARK(TickWithDifference)->Unit(benchmark::kMicrosecond);
BENCHMARK(FinishAll)->Unit(benchmark::kMillisecond)->Iterations(5);

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
