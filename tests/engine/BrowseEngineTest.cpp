// The list engine on the accounts file, with a list and host that have no screen.
#include "engine/BrowseEngine.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"
#include "tests/engine/FakeList.h"

using namespace fundora;
using engine::BrowseEngine;
using Scroll = engine::BrowseEngine::Scroll;

namespace {

class BrowseEngineTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Accounts));
        buffer = std::make_unique<engine::TypedBuffer<core::Account>>(files->accounts);
    }
    void TearDown() override
    {
        browse.reset();
        buffer.reset();
        CoreTest::TearDown();
    }
    void addVendors(const QStringList& vendors)
    {
        for (const QString& v : vendors) {
            files->accounts.clear();
            files->accounts.record.sysId = ++lastId;
            files->accounts.record.creditCardVendor = v;
            ASSERT_TRUE(files->accounts.add().ok());
        }
    }
    // Vendors "V00" .. "V<n-1>".
    void addNumbered(int n)
    {
        QStringList v;
        for (int i = 0; i < n; ++i)
            v << QStringLiteral("V%1").arg(i, 2, 10, QChar(u'0'));
        addVendors(v);
    }
    void open()
    {
        engine::SortOrder byVendor;
        byVendor.key = core::AccCreditCardVendorKey;
        byVendor.locatorField = 1;
        browse =
            std::make_unique<BrowseEngine>(*buffer, std::vector<engine::SortOrder>{byVendor}, engine::ThumbStrategy::Stops, list, host);
        browse->refreshWindow();
        host.runPosted();
    }
    QStringList page() const
    {
        QStringList out;
        for (const auto& r : list.shown)
            out << r.text(0);
        return out;
    }
    QString highlighted() const { return files->accounts.record.creditCardVendor; }
    void scroll(Scroll s)
    {
        browse->onScroll(s);
        host.runPosted();
    }

    std::unique_ptr<engine::TypedBuffer<core::Account>> buffer;
    test::FakeList list;
    test::FakeHost host;
    std::unique_ptr<BrowseEngine> browse;
    int lastId = 0;
};

TEST_F(BrowseEngineTest, FewerRecordsThanRowsShowAllAndScrollingDoesNothing)
{
    addVendors({QStringLiteral("Citi"), QStringLiteral("amex"), QStringLiteral("Bank One")});
    open();
    EXPECT_EQ(page(), (QStringList{"amex", "Bank One", "Citi"}));
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(highlighted(), QStringLiteral("amex"));
    EXPECT_FALSE(list.scrollBar);
    scroll(Scroll::PageDown);
    EXPECT_EQ(page(), (QStringList{"amex", "Bank One", "Citi"}));
    EXPECT_EQ(list.selected, 3) << "a page down that came short moves the highlight";
    scroll(Scroll::RowDown);
    EXPECT_EQ(list.selected, 3);
    EXPECT_EQ(page().size(), 3);
}

TEST_F(BrowseEngineTest, RowDownAtTheBottomShiftsThePageAndStopsAtTheEnd)
{
    addNumbered(12);
    open();
    EXPECT_EQ(page(), (QStringList{"V00", "V01", "V02", "V03", "V04"}));
    EXPECT_TRUE(list.scrollBar);
    for (int i = 0; i < 4; ++i)
        scroll(Scroll::RowDown);
    EXPECT_EQ(list.selected, 5);
    const std::int64_t before = platform::View::recordsRead();
    scroll(Scroll::RowDown);
    EXPECT_EQ(page(), (QStringList{"V01", "V02", "V03", "V04", "V05"}));
    EXPECT_EQ(list.selected, 5);
    EXPECT_EQ(highlighted(), QStringLiteral("V05"));
    EXPECT_LE(platform::View::recordsRead() - before, 2) << "one row down reads one record (and the edge it starts from)";
    scroll(Scroll::Bottom);
    EXPECT_EQ(page(), (QStringList{"V07", "V08", "V09", "V10", "V11"}));
    EXPECT_EQ(list.selected, 5);
    scroll(Scroll::RowDown);
    EXPECT_EQ(page(), (QStringList{"V07", "V08", "V09", "V10", "V11"})) << "nothing changes at the last record";
    EXPECT_EQ(highlighted(), QStringLiteral("V11"));
}

TEST_F(BrowseEngineTest, PageUpNearTheTopShowsTheFirstRecordsAndMovesTheHighlightByWhatWasMissing)
{
    addNumbered(12);
    open();
    scroll(Scroll::Bottom); // V07..V11, highlight on row 5
    scroll(Scroll::PageUp);
    EXPECT_EQ(page(), (QStringList{"V02", "V03", "V04", "V05", "V06"}));
    EXPECT_EQ(list.selected, 5);
    scroll(Scroll::PageUp); // only two lie above: short by three
    EXPECT_EQ(page(), (QStringList{"V00", "V01", "V02", "V03", "V04"}));
    EXPECT_EQ(list.selected, 2);
    EXPECT_EQ(highlighted(), QStringLiteral("V01"));
    scroll(Scroll::PageUp); // nothing above: never above row 1
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(highlighted(), QStringLiteral("V00"));
}

TEST_F(BrowseEngineTest, AnInsertedRecordIsHighlightedWhereverItSorts)
{
    addNumbered(12);
    open();
    host.formAnswers.push_back({core::Response::Completed, core::Navigation::None});
    host.onForm = [this](core::Request) {
        files->accounts.record.sysId = 99;
        files->accounts.record.creditCardVendor = QStringLiteral("V07a");
        ASSERT_TRUE(files->accounts.add().ok());
    };
    browse->insertRecord();
    host.runPosted();
    EXPECT_EQ(host.formRequests, std::vector<core::Request>{core::Request::Insert});
    EXPECT_TRUE(page().contains(QStringLiteral("V07a")));
    EXPECT_EQ(page()[list.selected - 1], QStringLiteral("V07a"));
    EXPECT_EQ(highlighted(), QStringLiteral("V07a"));
}

TEST_F(BrowseEngineTest, DeletingTheOnlyRecordEmptiesTheListAndDisablesChange)
{
    addVendors({QStringLiteral("Solo")});
    open();
    EXPECT_TRUE(host.editEnabled);
    host.formAnswers.push_back({core::Response::Completed, core::Navigation::None});
    host.onForm = [this](core::Request) { ASSERT_TRUE(files->accounts.remove().ok()); };
    browse->deleteRecord();
    host.runPosted();
    EXPECT_TRUE(page().isEmpty());
    EXPECT_FALSE(host.editEnabled);
    EXPECT_EQ(browse->selectedRow(), 0);
    EXPECT_EQ(files->accounts.record.sysId, 0) << "the buffer is cleared";
}

TEST_F(BrowseEngineTest, LocatorWalksThroughALetterThenSeeksOrShowsTheLastPage)
{
    addVendors({QStringLiteral("Amex"), QStringLiteral("Bank A"), QStringLiteral("Bank B"), QStringLiteral("Chase"),
                QStringLiteral("Discover"), QStringLiteral("Exxon"), QStringLiteral("Fleet"), QStringLiteral("Gap")});
    open();
    browse->onLocatorKey(u'b');
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Bank A"));
    browse->onLocatorKey(u'b');
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Bank B"));
    browse->onLocatorKey(u'b');
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Bank A")) << "past the last B it jumps back to the first";
    browse->onLocatorKey(u'c');
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Chase"));
    EXPECT_EQ(page().first(), QStringLiteral("Chase"));
    browse->onLocatorKey(u'e');
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Exxon"));
    browse->onLocatorKey(u'c'); // no C after... there is Chase: back to it
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Chase"));
    browse->onLocatorKey(u'h'); // nothing starts with H: first not below H is none, so the last page
    host.runPosted();
    EXPECT_EQ(page(), (QStringList{"Chase", "Discover", "Exxon", "Fleet", "Gap"}));
    EXPECT_EQ(highlighted(), QStringLiteral("Gap"));
    browse->onLocatorKey(u'D'); // a letter between: the first record not below it
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("Discover"));
}

TEST_F(BrowseEngineTest, ResizingReadsThePageWithTheNewNumberOfRows)
{
    addNumbered(12);
    open();
    scroll(Scroll::RowDown);
    list.rows = 8;
    browse->forceRefresh();
    host.runPosted();
    EXPECT_EQ(page().size(), 8);
    EXPECT_EQ(highlighted(), QStringLiteral("V01")) << "the highlighted record stays highlighted";
    list.rows = 3;
    browse->forceRefresh();
    host.runPosted();
    EXPECT_EQ(page().size(), 3);
    EXPECT_TRUE(page().contains(QStringLiteral("V01")));
}

TEST_F(BrowseEngineTest, ThumbDragToTheEndsActsAsScrollToTopAndBottom)
{
    QStringList vendors;
    for (char a = 'A'; a <= 'F'; ++a)
        for (char b = 'A'; b <= 'E'; ++b)
            vendors << QStringLiteral("%1%2 BANK").arg(QChar(a)).arg(QChar(b));
    addVendors(vendors);
    open();
    ASSERT_EQ(browse->thumbStops().size(), 100u);
    EXPECT_EQ(browse->thumbStops().front(), QStringLiteral("AA B"));
    EXPECT_EQ(browse->thumbStops().back(), QStringLiteral("FE B"));
    list.thumbValue = 100;
    browse->onScrollDrag();
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("FE BANK"));
    list.thumbValue = 1;
    browse->onScrollDrag();
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("AA BANK"));
    list.thumbValue = 50;
    browse->onScrollDrag();
    host.runPosted();
    EXPECT_GT(highlighted(), QStringLiteral("BE BANK"));
    EXPECT_LT(highlighted(), QStringLiteral("EA BANK"));
}

TEST_F(BrowseEngineTest, PopupMenuOffersWhatTheListCanDo)
{
    open();
    list.menuAnswer = 1;
    browse->onNewSelection(true);
    EXPECT_EQ(list.lastMenu, QStringLiteral("&Insert|~&Change|~&Delete"));
    ASSERT_EQ(host.pressed.size(), 1u);
    EXPECT_EQ(host.pressed[0], engine::EditButton::Insert);
    addVendors({QStringLiteral("One")});
    browse->forceRefresh();
    list.menuAnswer = 0;
    browse->onNewSelection(true);
    EXPECT_EQ(list.lastMenu, QStringLiteral("&Insert|&Change|&Delete"));
    EXPECT_EQ(host.pressed.size(), 1u) << "choosing nothing does nothing";
}

TEST_F(BrowseEngineTest, SaveAndNextRecordReopensTheFormOnTheNextRecord)
{
    addNumbered(8);
    open();
    scroll(Scroll::RowDown); // V01
    std::vector<QString> editedVendors;
    host.onForm = [&](core::Request) { editedVendors.push_back(files->accounts.record.creditCardVendor); };
    host.formAnswers = {{core::Response::Cancelled, core::Navigation::NextRecord},
                        {core::Response::Cancelled, core::Navigation::NextRecord},
                        {core::Response::Completed, core::Navigation::None}};
    browse->changeRecord();
    host.runPosted();
    EXPECT_EQ(editedVendors, (std::vector<QString>{"V01", "V02", "V03"}));
    EXPECT_EQ(host.formRequests, (std::vector<core::Request>(3, core::Request::Change)));
    EXPECT_EQ(highlighted(), QStringLiteral("V03"));
}

TEST_F(BrowseEngineTest, SwitchingSortOrderKeepsTheHighlightedRecord)
{
    // Vendors A..L with account numbers in the opposite order.
    for (int i = 0; i < 12; ++i) {
        files->accounts.clear();
        files->accounts.record.sysId = i + 1;
        files->accounts.record.creditCardVendor = QString(QChar(u'A' + i));
        files->accounts.record.accountNumber = QStringLiteral("N%1").arg(20 - i);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    engine::SortOrder byVendor{core::AccCreditCardVendorKey, 1, 0, {}, {}};
    engine::SortOrder byNumber{core::AccAccountNumberKey, 3, 0, {}, {}};
    browse = std::make_unique<BrowseEngine>(*buffer, std::vector<engine::SortOrder>{byVendor, byNumber}, engine::ThumbStrategy::Stops, list,
                                            host);
    browse->refreshWindow();
    host.runPosted();
    for (int i = 0; i < 3; ++i)
        scroll(Scroll::RowDown);
    ASSERT_EQ(highlighted(), QStringLiteral("D"));
    host.sortOrder = 1;
    browse->refreshWindow();
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("D")) << "the same account, now in account-number order";
    EXPECT_EQ(list.shown[static_cast<std::size_t>(list.selected - 1)].record.text(3), QStringLiteral("N17"));
    EXPECT_EQ(list.shown.front().record.text(3), QStringLiteral("N17")) << "the page starts at the highlighted record";
}

TEST_F(BrowseEngineTest, AChangedResetFieldReloadsFromTheTop)
{
    addNumbered(12);
    QString owner = QStringLiteral("first owner");
    engine::SortOrder byVendor{
        core::AccCreditCardVendorKey, 1, 0, {}, {{QStringLiteral("LOC:Owner"), [&] { return platform::FieldValue{owner}; }, {}}}};
    browse = std::make_unique<BrowseEngine>(*buffer, std::vector<engine::SortOrder>{byVendor}, engine::ThumbStrategy::Stops, list, host);
    browse->refreshWindow();
    host.runPosted();
    scroll(Scroll::Bottom);
    ASSERT_EQ(highlighted(), QStringLiteral("V11"));
    scroll(Scroll::RowUp);
    browse->refreshWindow();
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("V10")) << "an unchanged reset field keeps the page";
    owner = QStringLiteral("another owner");
    browse->refreshWindow();
    host.runPosted();
    EXPECT_EQ(highlighted(), QStringLiteral("V00"));
    EXPECT_EQ(page().first(), QStringLiteral("V00"));
}

TEST_F(BrowseEngineTest, ATotalThatIsAResetFieldIsComputedOnceAndReloadsNothingByItself)
{
    addNumbered(12);
    // The host's total: the number of computations so far, a reset field as the lists' totals are.
    struct CountingHost : test::FakeHost {
        int computed = 0;
        void computeTotals() override
        {
            // At most a few, so that an engine reloading on its own totals ends and fails.
            computed = std::min(computed + 1, 5);
        }
    } counting;
    engine::SortOrder byVendor{core::AccCreditCardVendorKey,
                               1,
                               0,
                               {},
                               {{QStringLiteral("LOC:Total"), [&] { return platform::FieldValue{std::int64_t{counting.computed}}; }, {}}}};
    browse =
        std::make_unique<BrowseEngine>(*buffer, std::vector<engine::SortOrder>{byVendor}, engine::ThumbStrategy::Stops, list, counting);
    browse->refreshWindow();
    counting.runPosted();
    EXPECT_EQ(counting.computed, 1);
    browse->onScroll(Scroll::RowDown);
    counting.runPosted();
    browse->refreshWindow();
    counting.runPosted();
    EXPECT_EQ(counting.computed, 1) << "the total it computed itself is no change";
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("V01")) << "and the page stays where it was";
}

// The configuration the transaction lists will use: a range on the owner, a
// filter on a bound variable, and the three-position thumb.
class RangedHost : public test::FakeHost {
public:
    std::int32_t owner = 2;
    void primeRange(platform::Record& r) override { r.values[0] = std::int64_t{owner}; }
};

TEST_F(BrowseEngineTest, RangeFilterAndThreePositionThumb)
{
    ASSERT_TRUE(core::acquireFile(*files, core::FileId::Transactions));
    for (int i = 0; i < 30; ++i) {
        files->transactions.clear();
        files->transactions.record.sysId = 1 + i % 3;
        files->transactions.record.dateofTransaction = 82000 + i;
        files->transactions.record.transactionDescription = QStringLiteral("T%1").arg(i, 2, 10, QChar(u'0'));
        files->transactions.record.transactionType = QStringLiteral("C");
        files->transactions.record.reconciledTransaction = static_cast<std::uint8_t>(i % 2);
        ASSERT_TRUE(files->transactions.add().ok());
    }
    engine::TypedBuffer<core::Transaction> traBuffer(files->transactions);
    RangedHost ranged;
    ranged.labelField = 2;
    // The filter names the sort order's saved copy of the owner, as the transaction lists' filters do.
    engine::SortOrder byDate{core::TraSysIDDateKey,
                             1,
                             1,
                             QStringLiteral("TRA:SysID = BRW1::Sort1:Reset:ACC:SysID AND TRA:ReconciledTransaction = 0"),
                             {{QStringLiteral("ACC:SysID"), [&] { return platform::FieldValue{std::int64_t{ranged.owner}}; }, {}}}};
    test::FakeList small;
    small.rows = 3;
    BrowseEngine e(traBuffer, {byDate}, engine::ThumbStrategy::ThreePosition, small, ranged);
    e.refreshWindow();
    ranged.runPosted();
    // Owner 2 has i = 1, 4, 7, ...; open ones are the even i: 4, 10, 16, 22, 28.
    auto shown = [&] {
        QStringList out;
        for (const auto& r : small.shown)
            out << r.text(0);
        return out;
    };
    EXPECT_EQ(shown(), (QStringList{"T04", "T10", "T16"}));
    e.onScroll(Scroll::PageDown);
    ranged.runPosted();
    EXPECT_EQ(shown(), (QStringList{"T16", "T22", "T28"}));
    EXPECT_EQ(e.thumbPosition(), 100) << "a page down that came short puts the thumb at the bottom";
    e.onScroll(Scroll::RowUp);
    ranged.runPosted();
    EXPECT_EQ(e.thumbPosition(), 50);
    ranged.owner = 3;
    e.refreshWindow();
    ranged.runPosted();
    EXPECT_EQ(shown(), (QStringList{"T02", "T08", "T14"})) << "another owner reloads from its first record";
}

TEST_F(BrowseEngineTest, EmptyFileShowsAnEmptyListWithChangeDisabled)
{
    open();
    EXPECT_TRUE(page().isEmpty());
    EXPECT_FALSE(host.editEnabled);
    EXPECT_TRUE(browse->thumbStops().empty());
    scroll(Scroll::PageDown);
    EXPECT_TRUE(page().isEmpty());
}

} // namespace
