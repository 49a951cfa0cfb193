#include "platform/pictures/Picture.h"
#include "platform/Dates.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace fundora::platform;

namespace {

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

QString show(const char* picture, const PictureValue& value)
{
    const auto p = Picture::parse(QString::fromLatin1(picture));
    EXPECT_TRUE(p) << picture;
    return p ? p->format(value) : QString();
}

std::optional<PictureValue> enter(const char* picture, const char* text)
{
    return Picture::parse(QString::fromLatin1(picture))->deformat(QString::fromLatin1(text));
}

TEST(Picture, KnowsEveryPictureTheWindowsAndReportsUse)
{
    for (const char* p : {"s30",           "s2",   "s55",    "d2", "d17",  "D4", "d1",         "T3",      "n$(12.2)B", "n10.2-",
                          "n$10.2-",       "N5.2", "n10.2B", "N3", "n5.1", "n2", "N$(_12..2)", "n$10.2B", "n$(10.2)",  "p(###) ###-####p",
                          "k#####|-####k", "k<#k", "@s20"})
        EXPECT_TRUE(Picture::parse(QString::fromLatin1(p))) << p;
    for (const char* p : {"", "x12", "s", "s0", "n", "n$(12.2", "d9", "p###", "k#"})
        EXPECT_FALSE(Picture::parse(QString::fromLatin1(p))) << p;
}

TEST(Picture, MoneyFormats)
{
    EXPECT_EQ(show("n$(12.2)B", dec("1250")), "   $1,250.00");
    EXPECT_EQ(show("n$(12.2)B", dec("-1250")), " ($1,250.00)");
    EXPECT_EQ(show("n$(12.2)B", dec("0")), "            ");
    EXPECT_EQ(show("n$(12.2)", dec("0")), "       $0.00");
    EXPECT_EQ(show("n10.2-", dec("-45.5")), "    45.50-");
    EXPECT_EQ(show("n$10.2-", dec("45.5")), "    $45.50");
    EXPECT_EQ(show("n10.2B", dec("2500")), "  2,500.00");
    EXPECT_EQ(show("N5.2", dec("19.8")), "19.80");
    EXPECT_EQ(show("n5.1", dec("19.85")), " 19.9") << "rounded half away from zero";
    EXPECT_EQ(show("N3", std::int64_t{7}), "  7");
    EXPECT_EQ(show("n2", std::int64_t{15}), "15");
    EXPECT_EQ(show("N$(_12..2)", dec("-123456.78")), "($123456.78)");
    EXPECT_EQ(show("N$(_12..2)", dec("-1234567.8")), "############");
    EXPECT_EQ(show("n-010.2", dec("-3.5")), "-000003.50");
}

TEST(Picture, NumbersTooWideShowHashesNotWrongDigits)
{
    EXPECT_EQ(show("n5.2", dec("1000")), "#####");
    EXPECT_EQ(show("n2", std::int64_t{100}), "##");
}

TEST(Picture, MoneyEntries)
{
    EXPECT_EQ(std::get<Decimal>(*enter("n$(12.2)B", "$1,250.00")), dec("1250"));
    EXPECT_EQ(std::get<Decimal>(*enter("n$(12.2)B", "(1,250.00)")), dec("-1250"));
    EXPECT_EQ(std::get<Decimal>(*enter("n10.2-", "45.50-")), dec("-45.5"));
    EXPECT_EQ(std::get<Decimal>(*enter("n10.2-", "-45.5")), dec("-45.5"));
    EXPECT_EQ(std::get<Decimal>(*enter("n10.2B", "")), dec("0")) << "blank is zero";
    for (const char* bad : {"12.345", "abc", "1.2.3", "99999999.00", "--5", "5-5"})
        EXPECT_FALSE(enter("n10.2-", bad)) << bad;
}

TEST(Picture, Dates)
{
    const std::int64_t day = dayNumberOf(2026, 12, 6);
    EXPECT_EQ(show("d2", day), "12/06/2026");
    EXPECT_EQ(show("d1", day), "12/06/26");
    EXPECT_EQ(show("D4", day), "December 6, 2026");
    EXPECT_EQ(show("d3", day), "Dec 06, 2026");
    EXPECT_EQ(show("d2", std::int64_t{0}), "") << "no date shows blank";
    EXPECT_EQ(std::get<std::int64_t>(*enter("d2", "12/6/2026")), day);
    EXPECT_EQ(std::get<std::int64_t>(*enter("d2", "12-06-26")), day);
    EXPECT_EQ(std::get<std::int64_t>(*enter("d2", "December 6, 2026")), day);
    EXPECT_EQ(std::get<std::int64_t>(*enter("d2", "  ")), 0);
    for (const char* bad : {"2/30/2026", "13/01/2026", "12/06", "tomorrow"})
        EXPECT_FALSE(enter("d2", bad)) << bad;
}

TEST(Picture, Times)
{
    EXPECT_EQ(show("T3", std::int64_t{timeNumberOf(15, 7)}), "3:07 PM");
    EXPECT_EQ(show("T3", std::int64_t{timeNumberOf(0, 5)}), "12:05 AM");
    EXPECT_EQ(show("T3", std::int64_t{timeNumberOf(12, 0)}), "12:00 PM");
    EXPECT_EQ(show("T1", std::int64_t{timeNumberOf(9, 30)}), "09:30");
    EXPECT_EQ(std::get<std::int64_t>(*enter("T3", "3:07 pm")), timeNumberOf(15, 7));
    EXPECT_EQ(std::get<std::int64_t>(*enter("T1", "23:59")), timeNumberOf(23, 59));
    EXPECT_FALSE(enter("T3", "13:00 PM"));
    EXPECT_FALSE(enter("T1", "24:00"));
}

TEST(Picture, TelephonePattern)
{
    EXPECT_EQ(show("p(###) ###-####p", dec("8005551234")), "(800) 555-1234");
    EXPECT_EQ(show("p(###) ###-####p", std::int64_t{5551234}), "(   ) 555-1234");
    EXPECT_EQ(show("p(###) ###-####p", std::int64_t{0}), "") << "no number shows nothing";
    EXPECT_EQ(show("p(###) ###-####p", std::int64_t{18005551234}), "18005551234") << "no digit is dropped";
    EXPECT_EQ(std::get<std::int64_t>(*enter("p(###) ###-####p", "(800) 555-1234")), 8005551234);
    EXPECT_FALSE(enter("p(###) ###-####p", "1 (800) 555-12345"));
}

TEST(Picture, EntryTemplates)
{
    EXPECT_EQ(std::get<QString>(*enter("k#####|-####k", "12345")), "12345");
    EXPECT_EQ(std::get<QString>(*enter("k#####|-####k", "12345-6789")), "12345-6789");
    EXPECT_EQ(std::get<QString>(*enter("k#####|-####k", "")), "");
    for (const char* bad : {"1234", "12345-", "12345-678", "ABCDE", "123456"})
        EXPECT_FALSE(enter("k#####|-####k", bad)) << bad;
    EXPECT_EQ(std::get<QString>(*enter("k<#k", "5")), "5");
    EXPECT_EQ(std::get<QString>(*enter("k<#k", "28")), "28");
    EXPECT_FALSE(enter("k<#k", "123"));
}

TEST(Picture, Strings)
{
    EXPECT_EQ(show("s2", QStringLiteral("Texas")), "Te");
    EXPECT_EQ(std::get<QString>(*enter("s5", "abc  ")), "abc");
    EXPECT_FALSE(enter("s5", "abcdef")) << "a longer entry is refused, not cut";
}

} // namespace
