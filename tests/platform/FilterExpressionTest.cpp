#include "platform/store/FilterExpression.h"
#include "tests/support/SampleFile.h"

#include <gtest/gtest.h>

using namespace fundora::platform;
using namespace fundora::test;

namespace {

FileError compile(const char* text, CompiledFilter& out, const FilterBindings& names = {})
{
    return compileFilter(QString::fromLatin1(text), sampleDef(), names, out);
}

TEST(FilterExpression, CompilesToBoundParametersNeverToSqlText)
{
    CompiledFilter f;
    ASSERT_TRUE(compile("SAM:Name = 'O''Brien; DROP TABLE x'", f).ok());
    EXPECT_EQ(f.sql(), QStringLiteral("(\"Name\" COLLATE BINARY = ? COLLATE BINARY)"));
    ASSERT_EQ(f.parameters().size(), 1u);
    EXPECT_EQ(std::get<QString>(f.parameters()[0]), QStringLiteral("O'Brien; DROP TABLE x"));
}

TEST(FilterExpression, MoneyComparesInUnitsOfItsPlaces)
{
    CompiledFilter f;
    ASSERT_TRUE(compile("sam:amount >= 12.5", f).ok());
    EXPECT_EQ(f.sql(), QStringLiteral("(\"Amount\" >= (? * 10))"));
    EXPECT_EQ(std::get<std::int64_t>(f.parameters()[0]), 125);
}

TEST(FilterExpression, PrecedenceIsNotThenAndThenOr)
{
    CompiledFilter f;
    ASSERT_TRUE(compile("SAM:Owner = 1 OR NOT SAM:Day = 2 AND SAM:Owner = 3", f).ok());
    EXPECT_EQ(f.sql(), QStringLiteral("((\"Owner\" = ?) OR ((NOT (\"Day\" = ?)) AND (\"Owner\" = ?)))"));
}

TEST(FilterExpression, BoundNamesAreReadAtEachUse)
{
    Decimal limit = *Decimal::parse(u"1.5");
    FilterBindings names;
    names.bind(QStringLiteral("LOC:Limit"), [&] { return FieldValue{limit}; });
    CompiledFilter f;
    ASSERT_TRUE(compile("SAM:Amount > loc:limit", f, names).ok());
    EXPECT_EQ(std::get<std::int64_t>(f.parameters()[0]), 15);
    limit = *Decimal::parse(u"2.7");
    EXPECT_EQ(std::get<std::int64_t>(f.parameters()[0]), 27);
}

TEST(FilterExpression, RefusesWhatItCannotCompile)
{
    CompiledFilter f;
    for (const char* bad : {"SAM:Nope = 1", "SAM:Name = 1", "(SAM:Owner = 1", "SAM:Owner =", "'open", "SAM:Owner = 1 1",
                            "UPPER(SAM:Owner) = 'A'", "SAM:Owner ~= 1"}) {
        const FileError e = compile(bad, f);
        EXPECT_EQ(e.code, ErrorCode::InvalidFilter) << bad;
        EXPECT_TRUE(f.isEmpty()) << bad;
    }
    EXPECT_TRUE(compile("   ", f).ok());
    EXPECT_TRUE(f.isEmpty());
}

} // namespace
