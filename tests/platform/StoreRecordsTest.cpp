// Adding, changing and deleting records; key orders; guarding against another station's change.
#include "platform/store/DataFile.h"
#include "platform/store/Store.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora::platform;
using namespace fundora::test;

namespace {

class StoreRecordsTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        store = openStore();
        file = std::make_unique<DataFile>(*store, sampleDef());
        ASSERT_TRUE(file->create().ok());
        ASSERT_TRUE(file->open().ok());
    }
    void TearDown() override
    {
        file.reset();
        store.reset();
        ProgramTest::TearDown();
    }
    Record add(std::int64_t owner, const char* name, const char* amount = "0", std::int64_t day = 0, const char* code = "")
    {
        Record r = sample(owner, QString::fromLatin1(name), amount, day, QString::fromLatin1(code));
        EXPECT_TRUE(file->add(r).ok()) << name;
        return r;
    }
    QStringList namesIn(int key)
    {
        QStringList out;
        Record r;
        file->set(key);
        while (file->next(r).ok())
            out << r.text(SfName);
        return out;
    }

    std::unique_ptr<Store> store;
    std::unique_ptr<DataFile> file;
};

TEST_F(StoreRecordsTest, ValuesComeBackExactly)
{
    Record r = sample(42, QStringLiteral("Zoë  "), "-99999.99", 82000, QStringLiteral("Z1"));
    r.values[SfMemo] = QStringLiteral("line one\r\nline two");
    ASSERT_TRUE(file->add(r).ok());
    Record back;
    ASSERT_TRUE(file->fetch(r.identity.row, back).ok());
    EXPECT_EQ(back.integer(SfOwner), 42);
    EXPECT_EQ(back.text(SfName), QStringLiteral("Zoë")) << "trailing blanks are not kept";
    EXPECT_EQ(back.decimal(SfAmount).toString(), QStringLiteral("-99999.99"));
    EXPECT_EQ(back.decimal(SfAmount).places(), 2);
    EXPECT_EQ(back.integer(SfDay), 82000);
    EXPECT_EQ(back.text(SfMemo), QStringLiteral("line one\r\nline two"));
}

TEST_F(StoreRecordsTest, ValuesThatDoNotFitAreRefusedNotCut)
{
    Record tooLong = sample(1, QString(21, u'x'));
    FileError e = file->add(tooLong);
    EXPECT_EQ(e.code, ErrorCode::InvalidValue);
    EXPECT_TRUE(e.text.contains(QStringLiteral("SAM:Name is longer than 20 characters"))) << e.text.toStdString();

    Record tooBig = sample(1, QStringLiteral("x"), "100000.00");
    e = file->add(tooBig);
    EXPECT_EQ(e.code, ErrorCode::InvalidValue);
    EXPECT_TRUE(e.text.contains(QStringLiteral("SAM:Amount"))) << e.text.toStdString();

    Record tooPrecise = sample(1, QStringLiteral("x"), "1.005");
    EXPECT_EQ(file->add(tooPrecise).code, ErrorCode::InvalidValue);

    Record outOfLong = sample(std::int64_t{1} << 40, QStringLiteral("x"));
    EXPECT_EQ(file->add(outOfLong).code, ErrorCode::InvalidValue);

    std::int64_t n = -1;
    ASSERT_TRUE(file->count(n).ok());
    EXPECT_EQ(n, 0);

    Record ok = add(1, "fits", "99999.99");
    ok.values[SfName] = QString(25, u'y');
    EXPECT_EQ(file->put(ok).code, ErrorCode::InvalidValue);
    Record back;
    file->fetch(ok.identity.row, back);
    EXPECT_EQ(back.text(SfName), QStringLiteral("fits"));
}

TEST_F(StoreRecordsTest, NoCaseKeysIgnoreCaseAndDuplicatesKeepTheirOrderOfAdding)
{
    add(1, "bob");
    add(1, "Alice");
    add(1, "BOB");
    add(1, "carol");
    add(1, "alice");
    EXPECT_EQ(namesIn(SkName), (QStringList{"Alice", "alice", "bob", "BOB", "carol"}));
}

TEST_F(StoreRecordsTest, DescendingKeyListsTheNewestFirst)
{
    add(1, "old", "0", 100);
    add(1, "newest", "0", 300);
    add(1, "middle", "0", 200);
    add(1, "undated", "0", 0);
    EXPECT_EQ(namesIn(SkDayDesc), (QStringList{"newest", "middle", "old", "undated"}));
}

TEST_F(StoreRecordsTest, UniqueKeyRefusesADuplicateWithCode40AndIsCaseSensitive)
{
    add(1, "a", "0", 0, "K1");
    Record dup = sample(2, QStringLiteral("b"), "0", 0, QStringLiteral("K1"));
    EXPECT_EQ(file->add(dup).code, ErrorCode::DuplicateKey);
    Record other = sample(2, QStringLiteral("b"), "0", 0, QStringLiteral("k1"));
    EXPECT_TRUE(file->add(other).ok());
    other.values[SfCode] = QStringLiteral("K1");
    EXPECT_EQ(file->put(other).code, ErrorCode::DuplicateKey);
}

TEST_F(StoreRecordsTest, GetFindsByKeyValue)
{
    add(7, "Dora", "5.00", 0, "D");
    Record key = sample(7, QStringLiteral("DORA"));
    Record found;
    ASSERT_TRUE(file->get(SkOwnerName, key, found).ok());
    EXPECT_EQ(found.decimal(SfAmount).toString(), QStringLiteral("5.00"));
    key.values[SfOwner] = std::int64_t{8};
    EXPECT_EQ(file->get(SkOwnerName, key, found).code, ErrorCode::RecordNotFound);
}

TEST_F(StoreRecordsTest, AnotherStationsChangeIsDetectedNotOverwritten)
{
    Record mine = add(1, "shared", "10.00");
    const auto otherStation = openStore();
    Store& otherStore = *otherStation;
    DataFile other(otherStore, sampleDef());
    ASSERT_TRUE(other.open().ok());
    Record theirs;
    ASSERT_TRUE(other.fetch(mine.identity.row, theirs).ok());
    theirs.values[SfAmount] = *Decimal::parse(u"20.00");
    ASSERT_TRUE(other.put(theirs).ok());

    mine.values[SfAmount] = *Decimal::parse(u"30.00");
    EXPECT_EQ(file->put(mine).code, ErrorCode::ChangedElsewhere);
    EXPECT_EQ(file->remove(mine).code, ErrorCode::ChangedElsewhere);
    Record stored;
    ASSERT_TRUE(file->fetch(mine.identity.row, stored).ok());
    EXPECT_EQ(stored.decimal(SfAmount).toString(), QStringLiteral("20.00"));

    // Read again, the change goes through and the other station now sees it as changed.
    stored.values[SfAmount] = *Decimal::parse(u"30.00");
    EXPECT_TRUE(file->put(stored).ok());
    EXPECT_EQ(other.put(theirs).code, ErrorCode::ChangedElsewhere);
}

TEST_F(StoreRecordsTest, ARecordDeletedElsewhereCannotBeWritten)
{
    Record mine = add(1, "gone");
    Record copy = mine;
    ASSERT_TRUE(file->remove(copy).ok());
    EXPECT_EQ(file->put(mine).code, ErrorCode::ChangedElsewhere);
    EXPECT_EQ(file->fetch(mine.identity.row, copy).code, ErrorCode::RecordNotFound);
}

TEST_F(StoreRecordsTest, ARecordNeverReadCannotBePutOrDeleted)
{
    Record fresh = sample(1, QStringLiteral("x"));
    EXPECT_EQ(file->put(fresh).code, ErrorCode::RecordNotFound);
    EXPECT_EQ(file->remove(fresh).code, ErrorCode::RecordNotFound);
}

TEST_F(StoreRecordsTest, RowsAreNeverReusedBelowTheHighest)
{
    Record a = add(1, "a");
    Record b = add(1, "b");
    ASSERT_TRUE(file->remove(a).ok());
    Record c = add(1, "c");
    EXPECT_GT(c.identity.row, b.identity.row);
    ASSERT_TRUE(file->remove(c).ok());
    Record d = add(1, "d");
    EXPECT_GT(d.identity.row, c.identity.row) << "not even the highest row is given again";
}

} // namespace
