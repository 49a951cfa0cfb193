#include "platform/Decimal.h"

#include <gtest/gtest.h>

#include <stdexcept>

using fundora::platform::Decimal;

namespace {

Decimal d(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

TEST(Decimal, ParsesAndPrintsExactly)
{
    EXPECT_EQ(d("1250.00").toString(), "1250.00");
    EXPECT_EQ(d("-0.05").toString(), "-0.05");
    EXPECT_EQ(d(".25").toString(), "0.25");
    EXPECT_EQ(d("+7").toString(), "7");
    for (const char* bad : {"", "-", ".", "1.2.3", "12a", "1,000", "--1", "١٢"})
        EXPECT_FALSE(Decimal::parse(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(Decimal::parse(QStringLiteral("99999999999999999999"))) << "overflow is refused, not wrapped";
}

TEST(Decimal, SumsOfCentsStayExact)
{
    // 0.10 added ten times is exactly 1.00, which binary floating point misses.
    Decimal sum = Decimal::fromUnits(0, 2);
    for (int i = 0; i < 10; ++i)
        sum += d("0.10");
    EXPECT_EQ(sum, d("1"));
    EXPECT_EQ((d("1250.00") - d("1250.01")).toString(), "-0.01");
    EXPECT_EQ((d("1.5") * d("2.25")).toString(), "3.375");
}

TEST(Decimal, ComparesAcrossScales)
{
    EXPECT_EQ(d("1.50"), d("1.5"));
    EXPECT_LT(d("-2"), d("-1.99"));
    EXPECT_GT(d("0.001"), d("0"));
}

TEST(Decimal, RoundsHalfAwayFromZero)
{
    EXPECT_EQ(d("2.345").rounded(2).toString(), "2.35");
    EXPECT_EQ(d("-2.345").rounded(2).toString(), "-2.35");
    EXPECT_EQ(d("2.344").rounded(2).toString(), "2.34");
    EXPECT_EQ(d("7").rounded(2).toString(), "7.00");
    EXPECT_EQ(d("1").dividedBy(d("3"), 2)->toString(), "0.33");
    EXPECT_EQ(d("2").dividedBy(d("3"), 2)->toString(), "0.67");
    EXPECT_EQ(d("-2").dividedBy(d("3"), 0)->toString(), "-1");
    EXPECT_FALSE(d("1").dividedBy(d("0"), 2));
}

TEST(Decimal, DeclaredSizesHoldTheirRangeAndNoMore)
{
    // DECIMAL(4,2): seven digits, two after the point.
    EXPECT_TRUE(d("99999.99").fits(7, 2));
    EXPECT_TRUE(d("-99999.99").fits(7, 2));
    EXPECT_FALSE(d("100000.00").fits(7, 2));
    EXPECT_FALSE(d("0.001").fits(7, 2)) << "a third place would be lost";
    // DECIMAL(6,0) telephone numbers: eleven digits.
    EXPECT_TRUE(d("18005551234").fits(11, 0));
    EXPECT_FALSE(d("180055512345").fits(11, 0));
}

TEST(Decimal, OverflowThrowsInsteadOfWrapping)
{
    const Decimal big = Decimal::fromUnits(INT64_MAX, 0);
    EXPECT_THROW(big + Decimal::fromInteger(1), std::overflow_error);
    EXPECT_THROW(big * Decimal::fromInteger(2), std::overflow_error);
    EXPECT_THROW(-Decimal::fromUnits(INT64_MIN, 0), std::overflow_error);
    EXPECT_EQ(Decimal::fromUnits(INT64_MIN, 2).toString(), "-92233720368547758.08");
}

} // namespace
