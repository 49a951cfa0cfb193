// The accounts list at 1,000 and 100,000 accounts: opening it (first page and
// totals), one row down, one page down, a jump to the end and a locator seek.
// Each reports the records it read from the file ("records") besides its time.
// OpenWindow opens the program's accounts window itself: its widgets, the
// first page, the total debt and where the highlighted card stands.
#include "accounts/BrowseAccountsWindow.h"
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "engine/BrowseEngine.h"
#include "platform/MessageService.h"
#include "platform/store/View.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <deque>
#include <map>
#include <random>

using namespace fundora;

namespace {

constexpr int Rows = 20;

class PageList : public engine::ListControl {
public:
    int visibleRows() const override { return Rows; }
    void showRows(const std::vector<engine::BrowseRow>&) override {}
    int selectedRow() const override { return selected; }
    void setSelectedRow(int row) override { selected = row; }
    void setScrollBarVisible(bool) override {}
    int thumb() const override { return 50; }
    void setThumb(int) override {}
    int popupMenu(const QString&) override { return 0; }
    int selected = 0;
};

class Host : public engine::BrowseHost {
public:
    explicit Host(core::DataFiles& f) : files(f) {}
    void buildRow(engine::BrowseRow& row) override { row.cells = {{row.record.text(1), {}, {}}}; }
    void computeTotals() override
    {
        std::int64_t units = 0;
        files.accounts.file().sum(files.accounts.def().fieldIndex(QStringLiteral("ACC:AccountBalance")), units);
        benchmark::DoNotOptimize(units);
    }
    void callUpdateForm(engine::FormCall, std::function<void(core::Response, core::Navigation)> done) override
    {
        done(core::Response::Cancelled, core::Navigation::None);
    }
    void setEditEnabled(bool) override {}
    void pressButton(engine::EditButton) override {}
    void readFailed() override {}
    void post(std::function<void()> work) override { posted.push_back(std::move(work)); }
    void run()
    {
        while (!posted.empty()) {
            auto w = std::move(posted.front());
            posted.pop_front();
            w();
        }
    }
    core::DataFiles& files;
    std::deque<std::function<void()>> posted;
};

QTemporaryDir& directoryWith(int accounts)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> made;
    auto& d = made[accounts];
    if (d)
        return *d;
    d = std::make_unique<QTemporaryDir>();
    core::DataFiles files(d->path());
    core::openFile(files, core::FileId::Accounts);
    std::mt19937 random(3);
    files.store.begin();
    for (int i = 1; i <= accounts; ++i) {
        files.accounts.clear();
        files.accounts.record.sysId = i;
        QString vendor;
        for (int c = 0; c < 8; ++c)
            vendor += QChar(static_cast<char16_t>(u'A' + random() % 26));
        files.accounts.record.creditCardVendor = vendor + QStringLiteral(" BANK");
        files.accounts.record.accountBalance = platform::Decimal::fromUnits(static_cast<std::int64_t>(random() % 1000000), 2);
        files.accounts.add();
    }
    files.store.commit();
    return *d;
}

struct OpenList {
    explicit OpenList(int accounts) : files(directoryWith(accounts).path()), buffer(files.accounts), host(files)
    {
        core::openFile(files, core::FileId::Accounts);
        engine::SortOrder byVendor;
        byVendor.key = core::AccCreditCardVendorKey;
        byVendor.locatorField = 1;
        browse = std::make_unique<engine::BrowseEngine>(buffer, std::vector<engine::SortOrder>{byVendor}, engine::ThumbStrategy::Stops,
                                                        list, host);
    }
    core::DataFiles files;
    engine::TypedBuffer<core::Account> buffer;
    PageList list;
    Host host;
    std::unique_ptr<engine::BrowseEngine> browse;
};

template <class Operation>
void measure(benchmark::State& state, Operation op)
{
    OpenList l(static_cast<int>(state.range(0)));
    l.browse->refreshWindow();
    l.host.run();
    std::int64_t read = 0;
    for (auto _ : state) {
        const std::int64_t before = platform::View::recordsRead();
        op(l);
        l.host.run();
        read += platform::View::recordsRead() - before;
    }
    state.counters["records"] = benchmark::Counter(static_cast<double>(read) / static_cast<double>(state.iterations()));
}

void OpenAndFirstPage(benchmark::State& state)
{
    directoryWith(static_cast<int>(state.range(0))); // made before timing starts
    std::int64_t read = 0;
    for (auto _ : state) {
        const std::int64_t before = platform::View::recordsRead();
        OpenList l(static_cast<int>(state.range(0)));
        l.browse->refreshWindow();
        l.host.run();
        read += platform::View::recordsRead() - before;
    }
    state.counters["records"] = benchmark::Counter(static_cast<double>(read) / static_cast<double>(state.iterations()));
}

void OpenWindow(benchmark::State& state)
{
    core::DataFiles files(directoryWith(static_cast<int>(state.range(0))).path());
    core::DataFiles::setCurrent(&files);
    {
        accounts::BrowseAccountsWindow first(files); // makes the files the window opens besides Accounts
        first.show();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        accounts::BrowseAccountsWindow w(files);
        w.show();
        QCoreApplication::processEvents();
    }
    core::DataFiles::setCurrent(nullptr);
}

void RowDown(benchmark::State& state)
{
    measure(state, [](OpenList& l) { l.browse->onScroll(engine::BrowseEngine::Scroll::RowDown); });
}

void PageDown(benchmark::State& state)
{
    measure(state, [](OpenList& l) { l.browse->onScroll(engine::BrowseEngine::Scroll::PageDown); });
}

void JumpToEnd(benchmark::State& state)
{
    int i = 0;
    measure(state,
            [&i](OpenList& l) { l.browse->onScroll(++i % 2 ? engine::BrowseEngine::Scroll::Bottom : engine::BrowseEngine::Scroll::Top); });
}

void LocatorSeek(benchmark::State& state)
{
    int i = 0;
    measure(state, [&i](OpenList& l) { l.browse->onLocatorKey(QChar(static_cast<char16_t>(u'A' + (i++ * 7) % 26))); });
}

} // namespace

BENCHMARK(OpenAndFirstPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWindow)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RowDown)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PageDown)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(JumpToEnd)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(LocatorSeek)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
