// Transactions over several files.
#include "platform/store/DataFile.h"
#include "platform/store/Store.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora::platform;
using namespace fundora::test;
using namespace std::chrono_literals;

namespace {

FileDef secondDef()
{
    FileDef def = sampleDef();
    def.label = QStringLiteral("Second");
    def.diskName = QStringLiteral("SECOND");
    return def;
}

class StoreTransactionTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        store = openStore();
        first = std::make_unique<DataFile>(*store, sampleDef());
        second = std::make_unique<DataFile>(*store, secondDef());
        for (DataFile* f : {first.get(), second.get()}) {
            ASSERT_TRUE(f->create().ok());
            ASSERT_TRUE(f->open().ok());
        }
    }
    void TearDown() override
    {
        first.reset();
        second.reset();
        store.reset();
        ProgramTest::TearDown();
    }
    static std::int64_t count(DataFile& f)
    {
        std::int64_t n = -1;
        f.count(n);
        return n;
    }

    std::unique_ptr<Store> store;
    std::unique_ptr<DataFile> first;
    std::unique_ptr<DataFile> second;
};

TEST_F(StoreTransactionTest, RollbackUndoesEveryFile)
{
    ASSERT_TRUE(store->begin().ok());
    Record a = sample(1, QStringLiteral("a"));
    Record b = sample(1, QStringLiteral("b"));
    ASSERT_TRUE(first->add(a).ok());
    ASSERT_TRUE(second->add(b).ok());
    store->rollback();
    EXPECT_FALSE(store->inTransaction());
    EXPECT_EQ(count(*first), 0);
    EXPECT_EQ(count(*second), 0);
}

TEST_F(StoreTransactionTest, CommitIsSeenByAnotherStationOnlyWhenDone)
{
    const auto otherStation = openStore();
    Store& otherStore = *otherStation;
    DataFile other(otherStore, sampleDef());
    ASSERT_TRUE(other.open().ok());
    ASSERT_TRUE(store->begin().ok());
    Record a = sample(1, QStringLiteral("a"));
    ASSERT_TRUE(first->add(a).ok());
    EXPECT_EQ(count(other), 0);
    ASSERT_TRUE(store->commit().ok());
    EXPECT_EQ(count(other), 1);
}

TEST_F(StoreTransactionTest, AWriteGivesUpAfterItsWaitWhileAnotherStationHoldsTheRecord)
{
    Record shared = sample(1, QStringLiteral("shared"));
    ASSERT_TRUE(first->add(shared).ok());
    const auto otherStation = openStore();
    Store& otherStore = *otherStation;
    DataFile other(otherStore, sampleDef());
    ASSERT_TRUE(other.open().ok());
    Record theirs;
    ASSERT_TRUE(other.fetch(shared.identity.row, theirs).ok());
    ASSERT_TRUE(otherStore.begin().ok());
    theirs.values[SfName] = QStringLiteral("theirs");
    ASSERT_TRUE(other.put(theirs).ok());
    // A register in a directory waits at the beginning of the transaction, one on a server at the record.
    FileError e = store->begin(200ms);
    if (e.ok()) {
        Record mine = shared;
        mine.values[SfName] = QStringLiteral("mine");
        e = first->put(mine);
        store->rollback();
    }
    EXPECT_EQ(e.code, ErrorCode::FileLocked);
    EXPECT_FALSE(store->inTransaction());
    otherStore.rollback();
    ASSERT_TRUE(store->begin(200ms).ok());
    shared.values[SfName] = QStringLiteral("mine");
    EXPECT_TRUE(first->put(shared).ok());
    EXPECT_TRUE(store->commit().ok());
}

TEST_F(StoreTransactionTest, FilesCannotBeOpenedOrClosedInsideATransaction)
{
    ASSERT_TRUE(store->begin().ok());
    EXPECT_FALSE(first->close().ok());
    store->rollback();
    EXPECT_TRUE(first->close().ok());
}

TEST_F(StoreTransactionTest, ANestedTransactionJoinsTheOpenOne)
{
    auto count = [](DataFile& f) {
        std::int64_t n = -1;
        EXPECT_TRUE(f.count(n).ok());
        return n;
    };
    ASSERT_TRUE(store->begin().ok());
    Record a = sample(1, QStringLiteral("outer"));
    ASSERT_TRUE(first->add(a).ok());
    {
        ASSERT_TRUE(store->begin().ok());
        EXPECT_EQ(store->transactionDepth(), 2);
        Record b = sample(2, QStringLiteral("kept"));
        ASSERT_TRUE(second->add(b).ok());
        ASSERT_TRUE(store->commit().ok()) << "the inner commit keeps its change for the outer one";
    }
    {
        ASSERT_TRUE(store->begin().ok());
        Record c = sample(3, QStringLiteral("undone"));
        ASSERT_TRUE(first->add(c).ok());
        store->rollback();
    }
    EXPECT_TRUE(store->inTransaction()) << "the inner rollback undoes only its own changes";
    EXPECT_EQ(count(*first), 1);
    {
        // Another station sees nothing before the outer commit.
        const auto otherStation = openStore();
        Store& otherStore = *otherStation;
        DataFile other(otherStore, secondDef());
        ASSERT_TRUE(other.open().ok());
        EXPECT_EQ(count(other), 0);
        ASSERT_TRUE(store->commit().ok());
        EXPECT_EQ(count(other), 1);
    }
    EXPECT_FALSE(store->inTransaction());
    EXPECT_EQ(count(*first), 1);
    EXPECT_EQ(count(*second), 1);

    ASSERT_TRUE(store->begin().ok());
    ASSERT_TRUE(store->begin().ok());
    Record d = sample(4, QStringLiteral("both undone"));
    ASSERT_TRUE(first->add(d).ok());
    ASSERT_TRUE(store->commit().ok());
    store->rollback();
    EXPECT_EQ(count(*first), 1) << "an outer rollback undoes what inner ones committed";
}

} // namespace
