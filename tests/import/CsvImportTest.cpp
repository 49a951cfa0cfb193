// CSV statements: how the table is read, the mapping proposed from its lines,
// and the lines it gives with the account's remembered mapping.
#include "import/CsvMapping.h"
#include "import/ImportRecords.h"
#include "platform/Clock.h"
#include "platform/pictures/Picture.h"
#include "statements/StatementText.h"
#include "tests/import/ImportFixture.h"

#include <QStringEncoder>

using namespace fundora;
using importing::CsvMapping;
using importing::CsvTable;
using importing::ReadError;
using importing::StatementFile;

namespace {

CsvTable table(const QByteArray& bytes, QChar delimiter = {})
{
    CsvTable t;
    ReadError error;
    EXPECT_TRUE(importing::readCsvText(bytes, delimiter, t, error)) << error.message.toStdString();
    return t;
}

QString conversionError(const QByteArray& bytes, const CsvMapping& m)
{
    StatementFile out;
    ReadError error;
    EXPECT_FALSE(importing::csvToStatement(table(bytes), m, out, error));
    return error.message;
}

TEST(CsvTableTest, Utf16WithItsMarkIsReadAndWithoutItIsRefusedSayingWhy)
{
    const QString text = QStringLiteral("Date;Text;Amount\r\n03.11.2026;Caf\u00e9;-4,20\r\n");
    for (auto [kind, mark] : {std::pair{QStringEncoder::Utf16LE, QByteArrayLiteral("\xFF\xFE")},
                              std::pair{QStringEncoder::Utf16BE, QByteArrayLiteral("\xFE\xFF")}}) {
        QStringEncoder encoder(kind);
        const QByteArray bytes = encoder(text);
        const CsvTable t = table(mark + bytes);
        ASSERT_EQ(t.rows.size(), 2u);
        EXPECT_EQ(t.rows[1][1], QStringLiteral("Caf\u00e9"));
        EXPECT_TRUE(t.encoding.startsWith(QStringLiteral("UTF-16"))) << t.encoding;
        CsvTable refused;
        ReadError error;
        EXPECT_FALSE(importing::readCsvText(bytes, {}, refused, error));
        EXPECT_TRUE(error.message.contains(QStringLiteral("UTF-16 without its byte order mark"))) << error.message;
    }
}

TEST(CsvTableTest, QuotesDelimitersLineBreaksAndCharacterSets)
{
    const CsvTable t =
        table("Date;Text;Amount\r\n03.11.2026;\"Caf\xc3\xa9; \"\"Nord\"\"\nsecond line\";-4,20\r\n\r\n04.11.2026;Bus;-2,00\r\n");
    EXPECT_EQ(t.delimiter, u';');
    EXPECT_EQ(t.encoding, QStringLiteral("UTF-8"));
    ASSERT_EQ(t.rows.size(), 3u); // the blank line is left out
    EXPECT_EQ(t.rows[1][1], QStringLiteral("Caf\u00e9; \"Nord\"\nsecond line"));
    EXPECT_EQ(t.lines, (std::vector<int>{1, 2, 5}));

    // Not UTF-8: read as Windows-1252, of which ISO-8859-1's letters are a part.
    const CsvTable w = table("11/03/2026,M\xfcller \x80,-1.00\n");
    EXPECT_EQ(w.encoding, QStringLiteral("Windows-1252"));
    EXPECT_EQ(w.rows[0][1], QStringLiteral("M\u00fcller \u20ac"));
    const CsvTable bom = table("\xEF\xBB\xBF"
                               "Date\tAmount\n2026-11-03\t-1.00\n");
    EXPECT_EQ(bom.delimiter, u'\t');
    EXPECT_EQ(bom.rows[0][0], QStringLiteral("Date"));

    CsvTable out;
    ReadError error;
    EXPECT_FALSE(importing::readCsvText("a,b\n\"open,field\n", {}, out, error));
    EXPECT_EQ(error.message, QStringLiteral("Line 2: a quoted field is not closed: the file is cut short."));
    EXPECT_FALSE(importing::readCsvText("\"a\"b,c\n", {}, out, error));
    EXPECT_EQ(error.message, QStringLiteral("Line 1: text follows a quoted field before the next ,."));
    EXPECT_FALSE(importing::readCsvText("\n\n", {}, out, error));
    EXPECT_EQ(error.message, QStringLiteral("The file holds no lines."));
}

TEST(CsvMappingTest, TheMappingIsProposedFromTheHeaderAndTheData)
{
    const importing::CsvProposal p = importing::proposeCsvMapping(
        table("Posted Date,Reference,Payee,Amount\n2026-11-03,R1,Corner Bakery,-42.50\n2026-11-14,R2,Bus,-2.00\n"));
    EXPECT_EQ(p.mapping.skipLines, 1);
    EXPECT_EQ(p.mapping.dateColumn, 1);
    EXPECT_EQ(p.mapping.descriptionColumn, 3);
    EXPECT_EQ(p.mapping.amountColumn, 4);
    EXPECT_EQ(p.mapping.dateFormat, QStringLiteral("yyyy-MM-dd"));
    EXPECT_FALSE(p.dateFormatAmbiguous);

    // No header, European amounts, a day above 12 tells the order.
    const importing::CsvProposal eu = importing::proposeCsvMapping(table("15/11/2026;Boulangerie du coin;-4,20\n03/11/2026;Bus;-2,00\n"));
    EXPECT_EQ(eu.mapping.skipLines, 0);
    EXPECT_EQ(eu.mapping.decimalSeparator, u',');
    EXPECT_EQ(eu.mapping.dateFormat, QStringLiteral("d/M/yyyy"));
    EXPECT_EQ(eu.mapping.amountColumn, 3);
    EXPECT_EQ(eu.mapping.descriptionColumn, 2);
    EXPECT_FALSE(eu.dateFormatAmbiguous);

    // 03/04/2026 and 05/06/2026 are March or April, May or June: the user is asked.
    const importing::CsvProposal unsure = importing::proposeCsvMapping(table("03/04/2026,Bakery,-4.20\n05/06/2026,Bus,-2.00\n"));
    EXPECT_TRUE(unsure.dateFormatAmbiguous);
    EXPECT_EQ(unsure.fittingDateFormats, (QStringList{QStringLiteral("M/d/yyyy"), QStringLiteral("d/M/yyyy")}));

    // Separate debit and credit columns.
    const importing::CsvProposal split = importing::proposeCsvMapping(table("Date,Description,Debit,Credit\n11/30/2026,Payment,,100.00\n"));
    EXPECT_EQ(split.mapping.amountColumn, 0);
    EXPECT_EQ(split.mapping.debitColumn, 3);
    EXPECT_EQ(split.mapping.creditColumn, 4);
}

TEST(CsvMappingTest, LinesGetTheirSignFromTheColumnsAndTheType)
{
    CsvMapping m;
    m.skipLines = 1;
    m.dateColumn = 1;
    m.descriptionColumn = 2;
    m.debitColumn = 3;
    m.creditColumn = 4;
    m.typeColumn = 5;
    m.dateFormat = QStringLiteral("M/d/yyyy");
    StatementFile out;
    ReadError error;
    ASSERT_TRUE(importing::csvToStatement(table("Date,Description,Debit,Credit,Type\n"
                                                "11/3/2026,Bakery,\"1,042.50\",,Sale\n"
                                                "11/30/2026,Payment,,100.00,Payment\n"
                                                "11/30/2026,Interest,3.17,,Interest\n"),
                                          m, out, error))
        << error.message.toStdString();
    ASSERT_EQ(out.accounts.size(), 1u);
    const auto& e = out.accounts[0].entries;
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].amount, test::money("-1042.50"));
    EXPECT_EQ(e[0].date, test::day(2026, 11, 3));
    EXPECT_EQ(e[0].sourceLine, 2);
    EXPECT_EQ(e[1].amount, test::money("100.00"));
    EXPECT_EQ(e[2].kind, importing::EntryKind::Interest);

    // One amount column whose type says debit or credit, with unsigned amounts.
    CsvMapping typed;
    typed.dateColumn = 1;
    typed.amountColumn = 2;
    typed.typeColumn = 3;
    typed.dateFormat = QStringLiteral("yyyy-MM-dd");
    ASSERT_TRUE(
        importing::csvToStatement(table("2026-11-03,42.50,DEBIT\n2026-11-04,(10.00),CREDIT\n2026-11-05,(7.00),\n"), typed, out, error));
    EXPECT_EQ(out.accounts[0].entries[0].amount, test::money("-42.50"));
    EXPECT_EQ(out.accounts[0].entries[1].amount, test::money("10.00"));
    EXPECT_EQ(out.accounts[0].entries[2].amount, test::money("-7.00"));
}

TEST(CsvMappingTest, BadLinesAreRefusedWithTheirLineAndColumn)
{
    CsvMapping m;
    m.skipLines = 1;
    m.dateColumn = 1;
    m.descriptionColumn = 2;
    m.amountColumn = 3;
    m.dateFormat = QStringLiteral("M/d/yyyy");
    EXPECT_EQ(conversionError("Date,Text,Amount\n11/3/2026,Shoes,12.345\n", m),
              QStringLiteral("Line 2, column 3: \"12.345\" is not an amount; amounts are written like -42.50, with two places at most."));
    EXPECT_EQ(conversionError("Date,Text,Amount\n11/3/2026,a,-1.00\n,Shoes,-1.00\n", m),
              QStringLiteral("Line 3, column 1: the date is missing."));
    EXPECT_EQ(conversionError("Date,Text,Amount\n13/31/2026,Shoes,-1.00\n", m),
              QStringLiteral("Line 2, column 1: \"13/31/2026\" is not a date written M/d/yyyy (1801 to 2099)."));
    EXPECT_EQ(conversionError("Date,Text,Amount\n11/3/2026,Shoes,\n", m), QStringLiteral("Line 2, column 3: the amount is missing."));
    EXPECT_EQ(conversionError("Date,Text,Amount\n", m), QStringLiteral("The file has 1 lines: skip fewer header lines."));
    CsvMapping none = m;
    none.amountColumn = 0;
    EXPECT_EQ(conversionError("Date,Text,Amount\n11/3/2026,Shoes,1\n", none),
              QStringLiteral("Pick the column that holds the amounts, or both a debit and a credit column."));
}

class CsvImportTest : public test::ImportTest {};

TEST_F(CsvImportTest, TheAccountsRememberedMappingIsUsedAndAnAmbiguousFileIsNotGuessed)
{
    addAccount(1, 15);
    const QString file = test::writeFile(path(QStringLiteral("card.csv")), "03/04/2026,Bakery,-4.20\n05/06/2026,Bus,-2.00\n");
    importing::ImportSettings settings;
    settings.sysId = 1;
    StatementFile out;
    ReadError error;
    EXPECT_FALSE(importing::readStatement(file, settings, out, error));
    EXPECT_EQ(
        error.message,
        QStringLiteral("The dates could be written M/d/yyyy or d/M/yyyy: give --date-format with one of them, or choose the format once in "
                       "the import window, which keeps it for the account."));

    CsvMapping m = importing::proposeCsvMapping(table("03/04/2026,Bakery,-4.20\n")).mapping;
    m.dateFormat = QStringLiteral("d/M/yyyy");
    importing::storeMapping(m, u',', settings);
    ASSERT_TRUE(importing::writeImportSettings(*files, settings).ok());
    importing::ImportSettings read;
    ASSERT_TRUE(importing::readImportSettings(*files, 1, read).ok());
    EXPECT_EQ(importing::mappingOf(read), m);

    const importing::ImportPlan plan = importFile(file, 1);
    ASSERT_EQ(plan.lines.size(), 2u);
    EXPECT_EQ(plan.lines[0].line.date, test::day(2026, 4, 3));
    EXPECT_EQ(balanceOf(1), test::money("6.20"));
}

} // namespace

namespace {

// Every place an amount or a date is typed or imported reads it by the same
// rule: the transaction form, the statement window, a bank's file (OFX's
// amounts, a CSV file's cells).
TEST(EntryRulesTest, TheFormTheStatementWindowAndTheFilesReadTheSameTable)
{
    const struct {
        const char* text;
        const char* amount; // nullptr: refused everywhere
    } amounts[] = {{"1234.56", "1234.56"},   {"1,234.56", "1234.56"}, {"$1,234.56", "1234.56"}, {"-20.00", "-20.00"},
                   {"20.00-", "-20.00"},     {"(20.00)", "-20.00"},   {".5", "0.50"},           {"12.340", "12.34"},
                   {"1,234,567", "1234567"}, {"1,2", nullptr},        {"12,34", nullptr},       {"1,23,456", nullptr},
                   {"12.345", nullptr},      {"1.2.3", nullptr},      {"--5", nullptr},         {"abc", nullptr}};
    const platform::Picture form = *platform::Picture::parse(QStringLiteral("n13.2-"));
    for (const auto& [text, amount] : amounts) {
        const QString t = QString::fromLatin1(text);
        const std::optional<platform::Decimal> expected =
            amount ? std::optional(platform::Decimal::parse(QString::fromLatin1(amount))->rounded(2)) : std::nullopt;
        const std::optional<platform::PictureValue> typed = form.deformat(t);
        EXPECT_EQ(typed ? std::optional(std::get<platform::Decimal>(*typed)) : std::nullopt, expected) << "form: " << text;
        EXPECT_EQ(statements::parseMoney(t, {}), expected) << "statement window: " << text;
        platform::Decimal read;
        EXPECT_EQ(importing::readPlainAmount(t, u'.', read) ? std::optional(read) : std::nullopt, expected) << "file: " << text;
        StatementFile out;
        ReadError error;
        const CsvMapping m{1, 1, 2, 3, 0, 0, 0, QStringLiteral("M/d/yyyy"), u'.'};
        const bool converted =
            importing::csvToStatement(table("Date,Text,Amount\n11/3/2026,x,\"" + QByteArray(text) + "\"\n"), m, out, error);
        EXPECT_EQ(converted ? std::optional(out.accounts.at(0).entries.at(0).amount) : std::nullopt, expected) << "CSV: " << text;
    }

    // A two-digit year is the one within the 80 years before and the 19 after today's.
    const auto clock = std::make_shared<platform::FixedClock>(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    const auto before = platform::Clock::install(clock);
    const struct {
        const char* text;
        int year;
    } years[] = {{"1/2/26", 2026}, {"1/2/45", 2045}, {"1/2/46", 1946}, {"1/2/49", 1949}, {"1/2/99", 1999}, {"2/29/00", 2000}};
    const platform::Picture date = *platform::Picture::parse(QStringLiteral("d2"));
    for (const auto& [text, year] : years) {
        const platform::DayNumber expected =
            platform::dayNumberOf(year, QByteArray(text).startsWith("2/") ? 2 : 1, QByteArray(text).startsWith("2/") ? 29 : 2);
        const std::optional<platform::PictureValue> typed = date.deformat(QString::fromLatin1(text));
        EXPECT_EQ(typed ? std::get<std::int64_t>(*typed) : 0, expected) << "form: " << text;
        StatementFile out;
        ReadError error;
        const CsvMapping m{1, 1, 2, 3, 0, 0, 0, QStringLiteral("M/d/yy"), u'.'};
        ASSERT_TRUE(importing::csvToStatement(table("Date,Text,Amount\n" + QByteArray(text) + ",x,-1.00\n"), m, out, error))
            << text << ": " << error.message.toStdString();
        EXPECT_EQ(out.accounts.at(0).entries.at(0).date, expected) << "CSV: " << text;
    }
    platform::Clock::install(before);
}

} // namespace
