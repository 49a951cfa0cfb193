#include "core/Autonumber.h"
#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"

using namespace fundora;
using namespace fundora::core;

namespace {

class AutonumberTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_TRUE(acquireFile(*files, FileId::Accounts));
    }
    void addAccount(std::int32_t id)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        ASSERT_TRUE(files->accounts.add().ok());
    }
};

TEST_F(AutonumberTest, EmptyFileGivesOneWithTheInsertDefaults)
{
    files->accounts.clear();
    files->accounts.record.creditCardVendor = QStringLiteral("typed before");
    ASSERT_EQ(autonumberAccount(*files), AutonumberResult::Added);
    const Account& a = files->accounts.record;
    EXPECT_EQ(a.sysId, 1);
    EXPECT_EQ(a.cardType, QStringLiteral("V"));
    EXPECT_EQ(a.billingDay, 10);
    EXPECT_TRUE(a.accountBalance.isZero());
    EXPECT_EQ(a.creditCardVendor, QStringLiteral("typed before")) << "the buffer is kept apart from the defaults";
    EXPECT_TRUE(a.identity.isStored()) << "the number is taken at once";
}

TEST_F(AutonumberTest, NextIsOneAboveTheHighestNotTheCount)
{
    addAccount(1);
    addAccount(7);
    addAccount(2);
    files->accounts.clear();
    ASSERT_EQ(autonumberAccount(*files), AutonumberResult::Added);
    EXPECT_EQ(files->accounts.record.sysId, 8);
    files->accounts.clear();
    ASSERT_EQ(autonumberAccount(*files), AutonumberResult::Added);
    EXPECT_EQ(files->accounts.record.sysId, 9);
}

TEST_F(AutonumberTest, AFailingAddOffersRetryAndCancelEndsTheInsert)
{
    files->accounts.clear();
    files->accounts.record.creditCardVendor = QString(31, u'x'); // every add of this buffer is refused
    messages().answer(platform::Button::Retry);
    messages().answer(platform::Button::Cancel);
    EXPECT_EQ(autonumberAccount(*files), AutonumberResult::Cancelled);
    ASSERT_EQ(messages().shown().size(), 2u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Auto Increment Error"));
    EXPECT_TRUE(messages().shown()[0].text.contains(QStringLiteral("Invalid Field Value")));
    std::int64_t n = -1;
    files->accounts.file().count(n);
    EXPECT_EQ(n, 0);
}

} // namespace
