// A statement of 10,000 lines imported into an account that holds 100,000
// transactions over two years, a fifth of the lines matching entries typed
// before. Timed: the OFX file read (scan and libofx), the file read and
// compared with the account (the preview's plan), the whole import written
// (read, plan, one commit), and the same file imported again (every line a
// duplicate). The read is also timed for 40,000 and 100,000 lines and the whole
// import for 100,000, with the growth of the process's peak memory, to show
// what the size of the file costs.
//
// The files are made once under the temporary directory and copied before each
// import ("fundora-import-bench"); delete it to make them again.
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "import/ImportCommit.h"
#include "import/ImportRecords.h"
#include "import/OfxReader.h"
#include "platform/MessageService.h"
#include "tests/import/StatementFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <random>

using namespace fundora;

namespace {

constexpr std::int32_t Account = 1;
constexpr int Typed = 100000;
constexpr int Lines = 10000;
const core::FileId Used[] = {core::FileId::Accounts, core::FileId::Transactions, importing::importedLinesFile(),
                             importing::importSettingsFile()};
const platform::DayNumber FirstDay = platform::dayNumberOf(2025, 1, 1);
const platform::DayNumber StatementStart = platform::dayNumberOf(2026, 11, 1);

// Amounts come in pairs, a charge and a payment of the same size, so the
// balance stays within what its field holds.
std::int64_t centsOf(int i, std::mt19937& random, std::int64_t& last)
{
    if (i % 2 == 0)
        return last = static_cast<std::int64_t>(random() % 3000) + 1;
    return -last;
}

QString statementFile(const QString& dir, int lines)
{
    const QString path = QDir(dir).filePath(QStringLiteral("statement-%1.ofx").arg(lines));
    if (QFile::exists(path))
        return path;
    std::mt19937 random(7);
    std::int64_t last = 0;
    std::vector<test::OfxLine> out;
    out.reserve(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        const std::int64_t cents = centsOf(i, random, last);
        const platform::DayNumber day = StatementStart + (i % 30);
        const auto ymd = platform::dateOf(day);
        // The file's sign: a charge is a debit (negative).
        out.push_back({QStringLiteral("%1%2%3")
                           .arg(static_cast<int>(ymd.year()))
                           .arg(static_cast<unsigned>(ymd.month()), 2, 10, QChar(u'0'))
                           .arg(static_cast<unsigned>(ymd.day()), 2, 10, QChar(u'0')),
                       platform::Decimal::fromUnits(-cents, 2).toString(), QStringLiteral("FIT%1").arg(i),
                       QStringLiteral("Merchant %1 Store").arg(i % 997), cents > 0 ? QStringLiteral("DEBIT") : QStringLiteral("CREDIT")});
    }
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), out, false), false).toLatin1());
    return path;
}

QString kept()
{
    const QString path = QDir::temp().filePath(QStringLiteral("fundora-import-bench"));
    const QString done = QDir(path).filePath(QStringLiteral("complete"));
    if (QFile::exists(done))
        return path;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    std::fprintf(stderr, "making the files in %s ...\n", qPrintable(path));
    core::DataFiles files(path);
    for (core::FileId id : Used)
        core::openFile(files, id);
    files.store.begin();
    std::mt19937 random(11);
    std::mt19937 lineRandom(7); // the statement's amounts, for the typed entries that match
    std::int64_t last = 0, lineLast = 0;
    std::int64_t balance = 0;
    for (int i = 0; i < Typed; ++i) {
        auto& t = files.transactions.record;
        files.transactions.clear();
        t.sysId = Account;
        std::int64_t cents = centsOf(i, random, last);
        t.dateofTransaction = FirstDay + static_cast<platform::DayNumber>(i % 700);
        t.transactionDescription = QStringLiteral("Purchase %1").arg(i);
        // Every fifth statement line was typed two days early.
        if (i < Lines) {
            const std::int64_t lineCents = centsOf(i, lineRandom, lineLast);
            if (i % 5 == 0) {
                cents = lineCents;
                t.dateofTransaction = StatementStart + (i % 30) - 2;
                t.transactionDescription = QStringLiteral("merchant %1").arg(i % 997);
            }
        }
        t.transactionType = cents < 0 ? QStringLiteral("P") : QStringLiteral("C");
        t.transactionAmount = platform::Decimal::fromUnits(cents, 2);
        balance += cents;
        files.transactions.add();
    }
    files.accounts.clear();
    files.accounts.record.sysId = Account;
    files.accounts.record.creditCardVendor = QStringLiteral("Bench Bank");
    files.accounts.record.accountNumber = QStringLiteral("4111222233334444");
    files.accounts.record.accountBalance = platform::Decimal::fromUnits(balance, 2);
    files.accounts.add();
    files.store.commit();
    files.closeAll();
    statementFile(path, Lines);
    statementFile(path, 4 * Lines);
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return path;
}

QString workCopy()
{
    const QString from = kept();
    const QString to = QDir::temp().filePath(QStringLiteral("fundora-import-bench-work"));
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
    }
    core::DataFiles files;
};

long peakKilobytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

bool readInto(const QString& path, importing::StatementFile& out, benchmark::State& state,
              importing::OfxParser parser = importing::OfxParser::Automatic)
{
    importing::ReadError error;
    if (!importing::readOfxFile(path, out, error, parser)) {
        state.SkipWithError(qPrintable(error.message));
        return false;
    }
    return true;
}

void ReadOfx(benchmark::State& state)
{
    const QString path = statementFile(kept(), static_cast<int>(state.range(0)));
    const long before = peakKilobytes();
    for (auto _ : state) {
        importing::StatementFile out;
        // The second argument: 0 through libofx, 1 the streamed reading large statements take.
        if (!readInto(path, out, state, state.range(1) ? importing::OfxParser::Streamed : importing::OfxParser::Libofx))
            break;
        benchmark::DoNotOptimize(out.accounts.size());
    }
    state.counters["lines"] = static_cast<double>(state.range(0));
    state.counters["peak_growth_kb"] = static_cast<double>(peakKilobytes() - before);
}

void ReadAndPlan(benchmark::State& state)
{
    OpenFiles f(kept());
    const QString path = statementFile(kept(), Lines);
    for (auto _ : state) {
        importing::StatementFile out;
        if (!readInto(path, out, state))
            break;
        importing::ImportPlan plan;
        importing::planImport(f.files, Account, out.accounts.front(), false, QStringLiteral("bench"), plan);
        state.counters["matched"] = plan.count(importing::LineStatus::Matched);
        state.counters["new"] = plan.count(importing::LineStatus::New);
    }
}

void ImportWhole(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const QString path = statementFile(kept(), lines);
    const long before = peakKilobytes();
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<OpenFiles>(workCopy());
        state.ResumeTiming();
        importing::StatementFile out;
        if (!readInto(path, out, state))
            break;
        importing::ImportPlan plan;
        importing::planImport(f->files, Account, out.accounts.front(), false, QStringLiteral("bench"), plan);
        importing::CommitOutcome outcome;
        if (!importing::commitImport(f->files, plan, outcome).ok() || outcome.conflict)
            state.SkipWithError("the import was not written");
        state.PauseTiming();
        state.counters["added"] = outcome.added;
        state.counters["linked"] = outcome.linked;
        f.reset();
        state.ResumeTiming();
    }
    state.counters["peak_growth_kb"] = static_cast<double>(peakKilobytes() - before);
}

void ImportAgain(benchmark::State& state)
{
    auto f = std::make_unique<OpenFiles>(workCopy());
    const QString path = statementFile(kept(), Lines);
    importing::StatementFile out;
    importing::ImportPlan plan;
    importing::CommitOutcome outcome;
    if (!readInto(path, out, state))
        return;
    importing::planImport(f->files, Account, out.accounts.front(), false, QStringLiteral("bench"), plan);
    importing::commitImport(f->files, plan, outcome);
    for (auto _ : state) {
        importing::StatementFile again;
        if (!readInto(path, again, state))
            break;
        importing::planImport(f->files, Account, again.accounts.front(), false, QStringLiteral("bench"), plan);
        state.counters["duplicates"] = plan.count(importing::LineStatus::Duplicate);
    }
}

} // namespace

// Side by side: libofx and the streamed reading at 10,000 and 40,000 lines, and the streamed one at 100,000
// (libofx there takes minutes). The peak's growth is the process's: run a case alone (--benchmark_filter) to read it.
BENCHMARK(ReadOfx)
    ->Args({Lines, 0})
    ->Args({Lines, 1})
    ->Args({4 * Lines, 0})
    ->Args({4 * Lines, 1})
    ->Args({10 * Lines, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(ReadAndPlan)->Unit(benchmark::kMillisecond)->Iterations(3);
// The whole import of 10,000 and of 100,000 lines (run the second alone for its peak).
BENCHMARK(ImportWhole)->Arg(Lines)->Arg(10 * Lines)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportAgain)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
