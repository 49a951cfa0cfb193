#include "accounts/AccountText.h"
#include "tests/support/TestEnvironment.h"

using namespace fundora;
using namespace fundora::accounts;

namespace {

TEST(AccountText, CardTypeDescriptions)
{
    const std::vector<std::pair<const char*, const char*>> cases = {{"M", "MASTER CARD"},      {"V", "VISA CARD"},   {"D", "DISCOVER CARD"},
                                                                    {"A", "AMERICAN EXPRESS"}, {"S", "STORE CARD"},  {"G", "GASOLINE CARD"},
                                                                    {"O", "CHARGE CARD"},      {"X", "CHARGE CARD"}, {"", "CHARGE CARD"}};
    for (const auto& [code, text] : cases)
        EXPECT_EQ(cardTypeDescription(QString::fromLatin1(code)), QString::fromLatin1(text)) << code;
}

TEST(AccountText, OrdinalExtensions)
{
    for (int d : {1, 21})
        EXPECT_EQ(ordinalExtension(d), QStringLiteral("st")) << d;
    for (int d : {2, 22})
        EXPECT_EQ(ordinalExtension(d), QStringLiteral("nd")) << d;
    for (int d : {3, 23})
        EXPECT_EQ(ordinalExtension(d), QStringLiteral("rd")) << d;
    for (int d : {4, 11, 12, 13, 28})
        EXPECT_EQ(ordinalExtension(d), QStringLiteral("th")) << d;
}

TEST(AccountText, DialingFormats)
{
    auto dial = [](std::int64_t n) { return dialingFormat(platform::Decimal::fromInteger(n)); };
    EXPECT_EQ(dial(0), QString());
    EXPECT_EQ(dial(4357), QStringLiteral("4357"));
    EXPECT_EQ(dial(5551234), QStringLiteral("555-1234"));
    EXPECT_EQ(dial(10001), QStringLiteral("1-0001")) << "leading zeros of the first group are suppressed";
    EXPECT_EQ(dial(8005551234), QStringLiteral("(800) 555-1234"));
    EXPECT_EQ(dial(12345678), QStringLiteral("(1) 234-5678"));
    EXPECT_EQ(dial(18005551234), QStringLiteral("18005551234"));
}

TEST(AccountText, CityStateZip)
{
    core::Account a;
    a.vendorCity = QStringLiteral("Wilmington");
    a.vendorState = QStringLiteral("DE");
    a.vendorZip = QStringLiteral("19850");
    EXPECT_EQ(cityStateZip(a), QStringLiteral("Wilmington, DE 19850     "));
}

} // namespace
