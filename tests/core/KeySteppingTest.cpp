#include "core/KeyStepping.h"

#include "tests/support/TestEnvironment.h"

using fundora::core::KeyStepper;

namespace {

QStringList hundredSteps(const char* low, const char* high)
{
    KeyStepper stepper;
    stepper.setup(QString::fromLatin1(low), QString::fromLatin1(high), 30, KeyStepper::Letters);
    QStringList steps;
    for (int i = 0; i < 100; ++i)
        steps << stepper.next();
    return steps;
}

TEST(KeyStepping, FromAcmeToZetaRisingSteadily)
{
    const QStringList steps = hundredSteps("ACME", "ZETA");
    EXPECT_EQ(steps.first(), QStringLiteral("ACME"));
    EXPECT_EQ(steps.last(), QStringLiteral("ZETA"));
    for (int i = 1; i < 100; ++i)
        EXPECT_LT(steps[i - 1], steps[i]) << i;
    EXPECT_TRUE(steps[50].startsWith(u'M') || steps[50].startsWith(u'N')) << steps[50].toStdString();
}

TEST(KeyStepping, CommonPrefixIsKeptOnEveryStep)
{
    const QStringList steps = hundredSteps("BANK OF AMERICA", "BANK OF THE WEST");
    for (const QString& s : steps)
        EXPECT_TRUE(s.startsWith(QStringLiteral("BANK OF "))) << s.toStdString();
    EXPECT_EQ(steps.first(), QStringLiteral("BANK OF AMER"));
    EXPECT_EQ(steps.last(), QStringLiteral("BANK OF THE "));
}

TEST(KeyStepping, LowerCaseIsFoldedWithoutFlag8)
{
    KeyStepper stepper;
    stepper.setup(QStringLiteral("acme"), QStringLiteral("zeta"), 30, KeyStepper::Letters | KeyStepper::Digits);
    EXPECT_EQ(stepper.characterSet(), QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    EXPECT_EQ(stepper.next(), QStringLiteral("ACME"));
    stepper.setup(QStringLiteral("a"), QStringLiteral("b"), 30, KeyStepper::Digits, true);
    EXPECT_EQ(stepper.characterSet(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")) << "the further argument means letters only";
}

TEST(KeyStepping, ShortHighestValueIsFilledWithTheLastCharacter)
{
    const QStringList steps = hundredSteps("AB", "AC");
    EXPECT_EQ(steps.last(), QStringLiteral("ACZZZ")) << "prefix A, then CZZZ";
}

} // namespace
