// Cursors over a key: both directions, ranges, filters and positions.
#include "platform/store/View.h"
#include "platform/store/DataFile.h"
#include "platform/store/Store.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

#include <sqlite3.h>

using namespace fundora::platform;
using namespace fundora::test;

namespace {

class ViewTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        store = openStore();
        file = std::make_unique<DataFile>(*store, sampleDef());
        ASSERT_TRUE(file->create().ok());
        ASSERT_TRUE(file->open().ok());
        // Owners 1 and 2, names in mixed case, owner 2 has duplicates.
        const std::vector<std::pair<int, const char*>> rows = {{1, "delta"},   {2, "Echo"},  {1, "alpha"}, {2, "echo"},
                                                               {1, "Charlie"}, {2, "bravo"}, {2, "Echo"},  {1, "bravo"}};
        for (const auto& [owner, name] : rows) {
            Record r = sample(owner, QString::fromLatin1(name), owner == 1 ? "10.00" : "2.50");
            ASSERT_TRUE(file->add(r).ok());
            rowsByName.push_back(r);
        }
    }
    void TearDown() override
    {
        file.reset();
        store.reset();
        ProgramTest::TearDown();
    }
    static QString label(const Record& r) { return QStringLiteral("%1:%2").arg(r.integer(SfOwner)).arg(r.text(SfName)); }
    QStringList readAll(View& v, bool forward, int limit = 100)
    {
        QStringList out;
        Record r;
        while (limit-- > 0 && (forward ? v.next(r) : v.previous(r)).ok())
            out << label(r);
        return out;
    }

    std::unique_ptr<Store> store;
    std::unique_ptr<DataFile> file;
    std::vector<Record> rowsByName;
};

TEST_F(ViewTest, FromTheStartForwardIsTheFirstAndBackwardTheLast)
{
    View v(*file, SkOwnerName);
    v.toStart();
    Record r;
    ASSERT_TRUE(v.previous(r).ok());
    EXPECT_EQ(label(r), "2:Echo") << "last of owner 2's equal names is the last added";
    v.toStart();
    EXPECT_EQ(readAll(v, true), (QStringList{"1:alpha", "1:bravo", "1:Charlie", "1:delta", "2:bravo", "2:Echo", "2:echo", "2:Echo"}));
    EXPECT_EQ(v.next(r).code, ErrorCode::EndOfFile);
    ASSERT_TRUE(v.previous(r).ok()) << "after the end the cursor still stands on the last record";
    EXPECT_EQ(label(r), "2:echo");
    EXPECT_EQ(r.identity.row, rowsByName[3].identity.row);
}

TEST_F(ViewTest, DirectionCanChangeAtAnyRecord)
{
    View v(*file, SkName);
    v.toStart();
    Record r;
    v.next(r);
    v.next(r);
    v.next(r);
    EXPECT_EQ(label(r), "1:bravo");
    ASSERT_TRUE(v.previous(r).ok());
    EXPECT_EQ(label(r), "2:bravo");
    ASSERT_TRUE(v.previous(r).ok());
    EXPECT_EQ(label(r), "1:alpha");
    EXPECT_EQ(v.previous(r).code, ErrorCode::EndOfFile);
}

TEST_F(ViewTest, RangeKeepsToTheOwner)
{
    View v(*file, SkOwnerName);
    v.setRange(sample(2, QString()), 1);
    v.toStart();
    EXPECT_EQ(readAll(v, true), (QStringList{"2:bravo", "2:Echo", "2:echo", "2:Echo"}));
    v.toStart();
    EXPECT_EQ(readAll(v, false), (QStringList{"2:Echo", "2:echo", "2:Echo", "2:bravo"}));
    v.toValue(sample(2, QStringLiteral("C")));
    EXPECT_EQ(readAll(v, true), (QStringList{"2:Echo", "2:echo", "2:Echo"}));
    v.toValue(sample(2, QStringLiteral("C")));
    EXPECT_EQ(readAll(v, false), (QStringList{"2:bravo"}));
    // A value outside the range reads from the range's near end, or finds nothing.
    v.toValue(sample(1, QStringLiteral("zzz")));
    EXPECT_EQ(readAll(v, true), (QStringList{"2:bravo", "2:Echo", "2:echo", "2:Echo"}));
    v.toValue(sample(1, QStringLiteral("zzz")));
    EXPECT_TRUE(readAll(v, false).isEmpty());
    v.toValue(sample(3, QString()));
    EXPECT_EQ(readAll(v, false, 1), (QStringList{"2:Echo"}));
    v.setRange(sample(3, QString()), 1);
    v.toStart();
    Record r;
    EXPECT_EQ(v.next(r).code, ErrorCode::EndOfFile);
}

TEST_F(ViewTest, ToValueStandsBeforeTheFirstRecordNotBelowIt)
{
    View v(*file, SkName);
    v.toValue(sample(0, QStringLiteral("C")));
    Record r;
    ASSERT_TRUE(v.next(r).ok());
    EXPECT_EQ(label(r), "1:Charlie");
    v.toValue(sample(0, QStringLiteral("zulu")));
    EXPECT_EQ(v.next(r).code, ErrorCode::EndOfFile);
}

TEST_F(ViewTest, PositionReturnsThatRecordFirstInEitherDirection)
{
    View v(*file, SkName);
    v.toStart();
    Record r;
    for (int i = 0; i < 5; ++i)
        v.next(r); // 1:Charlie? alpha bravo bravo Charlie delta
    const QString pos = v.position(r);
    EXPECT_LE(pos.size(), PositionWidth);
    ASSERT_TRUE(v.toPosition(pos).ok());
    Record again;
    ASSERT_TRUE(v.next(again).ok());
    EXPECT_EQ(again.identity.row, r.identity.row);
    ASSERT_TRUE(v.toPosition(pos).ok());
    ASSERT_TRUE(v.previous(again).ok());
    EXPECT_EQ(again.identity.row, r.identity.row);
    EXPECT_FALSE(v.toPosition(QStringLiteral("nonsense")).ok());
}

TEST_F(ViewTest, PositionOfADeletedRecordGoesOnFromWhereItWas)
{
    View v(*file, SkName);
    v.toStart();
    Record r;
    v.next(r);
    v.next(r); // first bravo
    const QString pos = v.position(r);
    ASSERT_TRUE(file->remove(r).ok());
    ASSERT_TRUE(v.toPosition(pos).ok());
    Record after;
    ASSERT_TRUE(v.next(after).ok());
    EXPECT_EQ(after.text(SfName), QStringLiteral("bravo"));
    EXPECT_NE(after.identity.row, r.identity.row);
}

TEST_F(ViewTest, FilterSkipsRecordsInBothDirections)
{
    View v(*file, SkName);
    FilterBindings names;
    ASSERT_TRUE(v.setFilter(QStringLiteral("SAM:Amount > 5 AND NOT (UPPER(SAM:Name) = 'DELTA')"), names).ok());
    v.toStart();
    EXPECT_EQ(readAll(v, true), (QStringList{"1:alpha", "1:bravo", "1:Charlie"}));
    v.toStart();
    EXPECT_EQ(readAll(v, false), (QStringList{"1:Charlie", "1:bravo", "1:alpha"}));
}

TEST_F(ViewTest, FilterFollowsItsBoundVariables)
{
    std::int64_t owner = 1;
    FilterBindings names;
    names.bind(QStringLiteral("BRW1::Sort1:Reset:ACC:SysID"), [&] { return FieldValue{owner}; });
    View v(*file, SkName);
    ASSERT_TRUE(v.setFilter(QStringLiteral("SAM:Owner = BRW1::Sort1:Reset:ACC:SysID"), names).ok());
    v.toStart();
    EXPECT_EQ(readAll(v, true).size(), 4);
    owner = 2;
    v.toStart();
    EXPECT_EQ(readAll(v, true), (QStringList{"2:bravo", "2:Echo", "2:echo", "2:Echo"}));
}

TEST_F(ViewTest, ReadAheadGivesTheSameRecords)
{
    View plain(*file, SkOwnerName);
    View ahead(*file, SkOwnerName);
    ahead.setReadAhead(3);
    plain.toStart();
    ahead.toStart();
    EXPECT_EQ(readAll(ahead, true), readAll(plain, true));
    ahead.toStart();
    Record r;
    ahead.next(r);
    ahead.next(r);
    EXPECT_EQ(label(r), "1:bravo");
    ASSERT_TRUE(ahead.previous(r).ok()) << "a change of direction drops what was read ahead";
    EXPECT_EQ(label(r), "1:alpha");
}

TEST_F(ViewTest, PagesAreSoughtInTheIndexNotScanned)
{
    FUNDORA_SKIP_ON_SERVER(); // SQLite's own plan of the query
    // Capture the query a page read really makes, then ask SQLite how it runs it.
    std::vector<std::string> statements;
    sqlite3_trace_v2(
        store->handle(), SQLITE_TRACE_STMT,
        [](unsigned, void* context, void* statement, void*) {
            static_cast<std::vector<std::string>*>(context)->push_back(sqlite3_sql(static_cast<sqlite3_stmt*>(statement)));
            return 0;
        },
        &statements);
    View v(*file, SkOwnerName);
    v.setRange(sample(2, QString()), 1);
    v.toStart();
    Record r;
    ASSERT_TRUE(v.next(r).ok());
    ASSERT_TRUE(v.next(r).ok()); // this read starts after a record
    sqlite3_trace_v2(store->handle(), 0, nullptr, nullptr);
    ASSERT_FALSE(statements.empty());
    const std::string query = statements.back();
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(store->handle(), ("EXPLAIN QUERY PLAN " + query).c_str(), -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const std::string plan = reinterpret_cast<const char*>(sqlite3_column_text(st, 3));
    sqlite3_finalize(st);
    EXPECT_NE(plan.find("SEARCH"), std::string::npos) << plan;
    EXPECT_NE(plan.find("(Owner=? AND (Name,seq)>(?,?))"), std::string::npos) << "a seek on the range and the place" << plan;
}

} // namespace
