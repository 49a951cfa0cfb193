#include "platform/CalculatorEngine.h"

#include <gtest/gtest.h>

using fundora::platform::CalculatorEngine;

namespace {

void type(CalculatorEngine& c, const char* keys)
{
    for (const char* k = keys; *k; ++k) {
        if (*k >= '0' && *k <= '9')
            c.digit(*k - '0');
        else if (*k == '.')
            c.point();
        else if (*k == '=')
            c.equals();
        else if (*k == '~')
            c.negate();
        else
            c.operation(QChar(*k));
    }
}

TEST(CalculatorEngine, ExactDecimalArithmeticLeftToRight)
{
    CalculatorEngine c;
    c.start(QStringLiteral("1250.00"));
    EXPECT_EQ(c.display(), QStringLiteral("1250"));
    type(c, "+62.5=");
    EXPECT_EQ(c.display(), QStringLiteral("1312.5"));
    c.clear();
    type(c, "0.1+0.2=");
    EXPECT_EQ(c.display(), QStringLiteral("0.3"));
    c.clear();
    type(c, "2+3*4=");
    EXPECT_EQ(c.display(), QStringLiteral("20")) << "a pocket calculator works left to right";
    c.clear();
    type(c, "10/4=");
    EXPECT_EQ(c.display(), QStringLiteral("2.5"));
    c.clear();
    type(c, "1/3=");
    EXPECT_EQ(c.display(), QStringLiteral("0.333333333"));
}

TEST(CalculatorEngine, SignBackspaceAndErrors)
{
    CalculatorEngine c;
    type(c, "12~");
    EXPECT_EQ(c.display(), QStringLiteral("-12"));
    c.backspace();
    EXPECT_EQ(c.display(), QStringLiteral("-1"));
    c.clear();
    type(c, "5/0=");
    EXPECT_TRUE(c.hasError());
    EXPECT_EQ(c.display(), QStringLiteral("Error"));
    c.clear();
    EXPECT_FALSE(c.hasError());
    for (int i = 0; i < 30; ++i)
        c.digit(9);
    EXPECT_EQ(c.display().size(), 18) << "entry stops at 18 digits instead of overflowing";
}

} // namespace
