// Filters decide which records a view reads: each case names the records that must come back.
#include "platform/store/FilterExpression.h"
#include "platform/store/DataFile.h"
#include "platform/store/Store.h"
#include "platform/store/View.h"
#include "tests/support/SampleFile.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora::platform;
using namespace fundora::test;

namespace {

class FilterExpressionTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        store = openStore();
        file = std::make_unique<DataFile>(*store, sampleDef());
        ASSERT_TRUE(file->create().ok());
        ASSERT_TRUE(file->open().ok());
        struct Row {
            int owner;
            const char* name;
            const char* amount;
            int day;
        };
        for (const Row& row : {Row{1, "alpha", "12.49", 1}, Row{1, "Bravo", "12.50", 2}, Row{2, "charlie", "12.51", 3},
                               Row{3, "O'Brien; DROP t", "-3.00", 2}, Row{3, "delta", "0.00", 4}}) {
            Record r = sample(row.owner, QString::fromLatin1(row.name), row.amount, row.day);
            ASSERT_TRUE(file->add(r).ok());
        }
    }
    void TearDown() override
    {
        file.reset();
        store.reset();
        ProgramTest::TearDown();
    }
    // The names of the records the filter lets through, in name order; "refused" when it does not compile.
    QStringList matching(const char* filter, const FilterBindings& names = {})
    {
        View v(*file, SkName);
        if (!v.setFilter(QString::fromLatin1(filter), names).ok())
            return {QStringLiteral("refused")};
        v.toStart();
        QStringList out;
        Record r;
        while (v.next(r).ok())
            out << r.text(SfName);
        return out;
    }

    std::unique_ptr<Store> store;
    std::unique_ptr<DataFile> file;
};

TEST_F(FilterExpressionTest, ATextIsAValueNeverSql)
{
    EXPECT_EQ(matching("SAM:Name = 'O''Brien; DROP t'"), QStringList{QStringLiteral("O'Brien; DROP t")});
    std::int64_t count = 0;
    ASSERT_TRUE(file->count(count).ok());
    EXPECT_EQ(count, 5) << "the file is whole";
}

TEST_F(FilterExpressionTest, MoneyComparesExactlyInItsPlaces)
{
    EXPECT_EQ(matching("sam:amount >= 12.5"), (QStringList{"Bravo", "charlie"}));
    EXPECT_EQ(matching("SAM:Amount < 0"), QStringList{"O'Brien; DROP t"});
    EXPECT_EQ(matching("SAM:Amount = 12.49"), QStringList{"alpha"});
}

TEST_F(FilterExpressionTest, NotBindsTighterThanAndWhichBindsTighterThanOr)
{
    // Read as: owner 2, or (day is not 2 and owner 3).
    EXPECT_EQ(matching("SAM:Owner = 2 OR NOT SAM:Day = 2 AND SAM:Owner = 3"), (QStringList{"charlie", "delta"}));
    EXPECT_EQ(matching("(SAM:Owner = 2 OR NOT SAM:Day = 2) AND SAM:Owner = 3"), QStringList{"delta"});
}

TEST_F(FilterExpressionTest, UpperComparesWithoutCase)
{
    EXPECT_EQ(matching("UPPER(SAM:Name) = 'BRAVO'"), QStringList{"Bravo"});
    EXPECT_EQ(matching("SAM:Name = 'BRAVO'"), QStringList{}) << "without UPPER the case counts";
}

TEST_F(FilterExpressionTest, AnEqualityOnAKeyedTextStaysExactAndItsBoundValuesStayInOrder)
{
    // SAM:Name is keyed without regard to case; the comparison still counts case.
    EXPECT_EQ(matching("SAM:Name = 'bravo'"), QStringList{});
    EXPECT_EQ(matching("'Bravo' = SAM:Name"), QStringList{"Bravo"});
    EXPECT_EQ(matching("SAM:Name <> 'bravo' AND SAM:Owner = 1"), (QStringList{"alpha", "Bravo"}));
    // Bound values on both sides of the equality and around it are bound in their places.
    FilterBindings names;
    names.bind(QStringLiteral("LOC:Owner"), [] { return FieldValue{std::int64_t{1}}; });
    names.bind(QStringLiteral("LOC:Name"), [] { return FieldValue{QStringLiteral("Bravo")}; });
    names.bind(QStringLiteral("LOC:Day"), [] { return FieldValue{std::int64_t{2}}; });
    EXPECT_EQ(matching("SAM:Owner = LOC:Owner AND SAM:Name = LOC:Name AND SAM:Day = LOC:Day", names), QStringList{"Bravo"});
    EXPECT_EQ(matching("SAM:Owner = LOC:Owner AND UPPER(SAM:Name) = UPPER(LOC:Name) AND SAM:Day = LOC:Day", names), QStringList{"Bravo"});
    EXPECT_EQ(matching("SAM:Owner = LOC:Owner AND SAM:Name = LOC:Name AND SAM:Day = 1", names), QStringList{});
}

TEST_F(FilterExpressionTest, BoundNamesAreReadEachTimeTheViewReads)
{
    Decimal limit = *Decimal::parse(u"12.5");
    FilterBindings names;
    names.bind(QStringLiteral("LOC:Limit"), [&] { return FieldValue{limit}; });
    View v(*file, SkName);
    ASSERT_TRUE(v.setFilter(QStringLiteral("SAM:Amount > loc:limit"), names).ok());
    auto read = [&] {
        v.toStart();
        QStringList out;
        Record r;
        while (v.next(r).ok())
            out << r.text(SfName);
        return out;
    };
    EXPECT_EQ(read(), QStringList{"charlie"});
    limit = *Decimal::parse(u"-5");
    EXPECT_EQ(read(), (QStringList{"alpha", "Bravo", "charlie", "delta", "O'Brien; DROP t"}));
}

TEST_F(FilterExpressionTest, RefusesWhatItCannotCompileAndAnEmptyFilterKeepsAll)
{
    for (const char* bad : {"SAM:Nope = 1", "SAM:Name = 1", "(SAM:Owner = 1", "SAM:Owner =", "'open", "SAM:Owner = 1 1",
                            "UPPER(SAM:Owner) = 'A'", "SAM:Owner ~= 1"}) {
        CompiledFilter f;
        EXPECT_EQ(compileFilter(QString::fromLatin1(bad), sampleDef(), {}, f).code, ErrorCode::InvalidFilter) << bad;
        EXPECT_EQ(matching(bad), QStringList{QStringLiteral("refused")}) << bad;
    }
    EXPECT_EQ(matching("   ").size(), 5);
}

} // namespace
