// OFX and QFX files written here, read as the import reads them: both
// versions, several accounts, the character sets, the time zones, and files
// that are damaged or not statements at all.
#include "import/OfxReader.h"
#include "import/ImportPlan.h"
#include "tests/import/ImportFixture.h"

#include <QStringEncoder>
#include <QTcpServer>

#include <cstdlib>
#include <ctime>

using namespace fundora;
using importing::ReadError;
using importing::StatementFile;
using test::OfxLine;

namespace {

class OfxReaderTest : public test::ImportTest {
protected:
    // Writes `text` encoded in `encoding` and reads it; the error's message when it fails.
    bool read(const QString& text, StatementFile& out, ReadError& error, const char* encoding = "UTF-8", const char* name = "statement.ofx")
    {
        QStringEncoder encoder(encoding);
        const QByteArray bytes = encoder(text);
        const QString file = test::writeFile(path(QString::fromLatin1(name)), bytes);
        return importing::readOfxFile(file, out, error);
    }
    QString failure(const QString& text)
    {
        StatementFile out;
        ReadError error;
        EXPECT_FALSE(read(text, out, error));
        EXPECT_TRUE(out.accounts.empty());
        return error.message;
    }
    static std::vector<OfxLine> november()
    {
        return {{QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("T1"), QStringLiteral("Corner Bakery")},
                {QStringLiteral("20261110120000"), QStringLiteral("-7.05"), QStringLiteral("T2"), QStringLiteral("Bus ticket")},
                {QStringLiteral("20261130"), QStringLiteral("100.00"), QStringLiteral("T3"), QStringLiteral("Payment - thank you"),
                 QStringLiteral("CREDIT")},
                {QStringLiteral("20261130"), QStringLiteral("-3.17"), QStringLiteral("T4"), QStringLiteral("Interest charge"),
                 QStringLiteral("INT")}};
    }
};

TEST_F(OfxReaderTest, AFileThatNamesOtherFilesOrAddressesIsRefusedBeforeAnythingIsOpened)
{
    // Anything the parser fetched would arrive here: the connection is made
    // (and waits in the backlog) before the fetch could return.
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/ofx.dtd").arg(listener.serverPort());
    const QString declarations[] = {
        QStringLiteral("<!DOCTYPE OFX SYSTEM \"%1\">").arg(url),
        QStringLiteral("<!DOCTYPE OFX PUBLIC \"-//OFX//DTD 2.1//EN\" \"%1\">").arg(url),
        QStringLiteral("<!DOCTYPE OFX SYSTEM \"/etc/passwd\">"),
        QStringLiteral("<!DOCTYPE OFX SYSTEM \"/dev/zero\">"),
        QStringLiteral("<!DOCTYPE OFX [<!ENTITY leak SYSTEM \"file:///etc/passwd\">]>"),
        QStringLiteral("<!ENTITY leak SYSTEM \"%1\">").arg(url),
    };
    for (bool xml : {false, true}) {
        for (const QString& declaration : declarations) {
            SCOPED_TRACE(declaration.toStdString());
            QString text = test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), november(), xml), xml);
            text.insert(text.indexOf(QStringLiteral("<OFX>")), declaration + u'\n');
            const QString message = failure(text);
            EXPECT_TRUE(message.contains(QStringLiteral("a statement file may not name other files, addresses or entities"))) << message;
            EXPECT_FALSE(listener.waitForNewConnection(0)) << "the reader reached the network";
        }
    }
    // A plain document type, as some banks write it, is read.
    QString plain = test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), november(), true), true);
    plain.insert(plain.indexOf(QStringLiteral("<OFX>")), QStringLiteral("<!DOCTYPE OFX>\n"));
    StatementFile out;
    ReadError error;
    EXPECT_TRUE(read(plain, out, error)) << error.message;
}

TEST_F(OfxReaderTest, AStreamedReadGivesTheSameLinesAsTheLibrary)
{
    std::vector<OfxLine> lines = november();
    lines[0].name = QStringLiteral("Caf\u00e9 &amp; Bar");
    lines[1].name = QStringLiteral("  Bus   ticket  ");
    lines[2].id = QStringLiteral("T1"); // an id used twice
    lines[3].type = QStringLiteral("FEE");
    struct Variant {
        bool xml;
        const char* charset;
        bool twoAccounts;
    };
    for (const Variant v : {Variant{false, "1252", false}, Variant{false, "ISO-8859-1", true}, Variant{false, "UTF-8", false},
                            Variant{true, "UTF-8", true}}) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(v.xml ? "XML" : "SGML", v.charset).arg(v.twoAccounts).toStdString());
        QString statements = test::ofxCardStatement(QStringLiteral("4111222233334444"), lines, v.xml);
        if (v.twoAccounts)
            statements += test::ofxCardStatement(QStringLiteral("5500000011112222"), {lines[1], lines[3]}, v.xml);
        const QString text = test::ofxFile(statements, v.xml, QString::fromLatin1(v.charset));
        QStringEncoder encoder(QString::fromLatin1(v.charset) == u"1252" ? "windows-1252" : v.charset);
        const QString file = test::writeFile(path(QStringLiteral("variant.ofx")), encoder(text));
        StatementFile byLibrary, streamed;
        ReadError error;
        ASSERT_TRUE(importing::readOfxFile(file, byLibrary, error, importing::OfxParser::Libofx)) << error.message;
        ASSERT_TRUE(importing::readOfxFile(file, streamed, error, importing::OfxParser::Streamed)) << error.message;
        EXPECT_EQ(streamed.format, byLibrary.format);
        ASSERT_EQ(streamed.accounts.size(), byLibrary.accounts.size());
        for (std::size_t a = 0; a < byLibrary.accounts.size(); ++a) {
            EXPECT_EQ(streamed.accounts[a].number, byLibrary.accounts[a].number);
            const auto& x = byLibrary.accounts[a].entries;
            const auto& y = streamed.accounts[a].entries;
            ASSERT_EQ(x.size(), y.size());
            for (std::size_t i = 0; i < x.size(); ++i) {
                EXPECT_EQ(y[i].sourceLine, x[i].sourceLine);
                EXPECT_EQ(y[i].date, x[i].date);
                EXPECT_EQ(y[i].amount, x[i].amount);
                EXPECT_EQ(y[i].bankId, x[i].bankId);
                EXPECT_EQ(y[i].description, x[i].description);
                EXPECT_EQ(static_cast<int>(y[i].kind), static_cast<int>(x[i].kind)) << i;
            }
        }
    }
    // Version 2 in ISO-8859-1, which the library misreads, is read as it is declared.
    QStringEncoder latin1("ISO-8859-1");
    const QString file = test::writeFile(
        path(QStringLiteral("latin1.ofx")),
        latin1(test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), lines, true), true, QStringLiteral("ISO-8859-1"))));
    StatementFile streamed;
    ReadError error;
    ASSERT_TRUE(importing::readOfxFile(file, streamed, error, importing::OfxParser::Streamed)) << error.message;
    EXPECT_EQ(streamed.accounts.at(0).entries.at(0).description, QStringLiteral("Caf\u00e9 & Bar"));
}

TEST_F(OfxReaderTest, TextTheParserWouldAlterIsNamedForThePreview)
{
    // Version 1 with ENCODING:UTF-8: a name with a Latin-1 byte, one with an entity nobody knows,
    // one with a NUL in it, and one of 100,000 characters.
    const QByteArray latin1 = "Caf\xE9 Nord";
    const QByteArray nul = QByteArray("Book") + '\0' + QByteArray("shop");
    std::vector<OfxLine> lines = november();
    lines[0].name = QStringLiteral("LATIN1");
    lines[1].name = QStringLiteral("Fish &chips; bar");
    lines[2].name = QStringLiteral("NULNAME");
    lines[3].name = QString(100000, u'x');
    QByteArray bytes =
        test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), lines, false), false, QStringLiteral("UTF-8")).toUtf8();
    bytes.replace("LATIN1", latin1);
    bytes.replace("NULNAME", nul);
    const QString file = test::writeFile(path(QStringLiteral("altered.ofx")), bytes);
    StatementFile out;
    ReadError error;
    ASSERT_TRUE(importing::readOfxFile(file, out, error)) << error.message;
    ASSERT_EQ(out.accounts.size(), 1u);
    const auto& e = out.accounts[0].entries;
    ASSERT_EQ(e.size(), 4u);
    EXPECT_TRUE(e[0].textNotes.join(u'|').contains(QStringLiteral("not the UTF-8 the file declares"))) << e[0].textNotes.join(u'|');
    EXPECT_TRUE(e[1].textNotes.join(u'|').contains(QStringLiteral("the entity &chips; is unknown"))) << e[1].textNotes.join(u'|');
    EXPECT_TRUE(e[2].textNotes.join(u'|').contains(QStringLiteral("holds a NUL character"))) << e[2].textNotes.join(u'|');
    EXPECT_TRUE(e[3].textNotes.join(u'|').contains(QStringLiteral("over 4096 characters long"))) << e[3].textNotes.join(u'|');
    // The preview's note of the booked line says it, whatever the parser made of the text.
    const importing::BookedLine booked = importing::bookEntry(e[1], false);
    EXPECT_TRUE(booked.altered.startsWith(QStringLiteral("description: the entity &chips; is unknown"))) << booked.altered;
}

TEST_F(OfxReaderTest, TagsNestedWithoutEndAreRefusedBeforeTheParserSeesThem)
{
    for (bool xml : {false, true}) {
        QString text = test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), november(), xml), xml);
        QString deep;
        for (int i = 0; i < 100000; ++i)
            deep += QStringLiteral("<X%1>").arg(i % 7);
        text.insert(text.indexOf(QStringLiteral("<CREDITCARDMSGSRSV1>")), deep);
        EXPECT_TRUE(failure(text).contains(QStringLiteral("the tags nest deeper than 32 levels"))) << failure(text);
    }
}

TEST_F(OfxReaderTest, BothVersionsGiveTheSameLinesWithExactDatesAmountsAndIds)
{
    for (bool xml : {false, true}) {
        SCOPED_TRACE(xml ? "OFX 2 (XML)" : "OFX 1 (SGML)");
        StatementFile out;
        ReadError error;
        ASSERT_TRUE(read(test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), november(), xml), xml), out, error))
            << error.message.toStdString();
        EXPECT_EQ(out.format, xml ? QStringLiteral("OFX 2 (XML)") : QStringLiteral("OFX 1 (SGML)"));
        ASSERT_EQ(out.accounts.size(), 1u);
        EXPECT_EQ(out.accounts[0].number, QStringLiteral("4111222233334444"));
        const auto& e = out.accounts[0].entries;
        ASSERT_EQ(e.size(), 4u);
        EXPECT_EQ(e[0].date, test::day(2026, 11, 3));
        EXPECT_EQ(e[0].amount, test::money("-42.50"));
        EXPECT_EQ(e[0].bankId, QStringLiteral("T1"));
        EXPECT_EQ(e[0].description, QStringLiteral("Corner Bakery"));
        EXPECT_EQ(e[1].date, test::day(2026, 11, 10));
        EXPECT_EQ(e[1].amount, test::money("-7.05"));
        EXPECT_EQ(e[2].amount, test::money("100.00"));
        EXPECT_EQ(e[3].kind, importing::EntryKind::Interest);
        // Each line is named by the line of the file its <STMTTRN> begins on.
        EXPECT_LT(e[0].sourceLine, e[1].sourceLine);
        EXPECT_GT(e[0].sourceLine, 3);
    }
}

TEST_F(OfxReaderTest, AQfxFileIsReadAsOfx)
{
    // Quicken's files are OFX 1 with the bank's id in the sign-on.
    const QString qfx = test::ofxFile(test::ofxCardStatement(QStringLiteral("5500111122223333"), november(), false), false,
                                      QStringLiteral("1252"), QStringLiteral("<INTU.BID>3101<INTU.USERID>someone"));
    StatementFile out;
    ReadError error;
    ASSERT_TRUE(read(qfx, out, error, "UTF-8", "download.qfx")) << error.message.toStdString();
    ASSERT_EQ(out.accounts.size(), 1u);
    EXPECT_EQ(out.accounts[0].entries.size(), 4u);
    EXPECT_EQ(importing::kindOfFile(path(QStringLiteral("download.qfx"))), importing::SourceKind::Ofx);
}

TEST_F(OfxReaderTest, SeveralAccountsAreKeptApartAndTheOneWithTheAccountsNumberIsProposed)
{
    const std::vector<OfxLine> other = {
        {QStringLiteral("20261104"), QStringLiteral("-9.99"), QStringLiteral("X1"), QStringLiteral("Music")}};
    for (bool xml : {false, true}) {
        const QString text = test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), november(), xml) +
                                               test::ofxCardStatement(QStringLiteral("379912345678901"), other, xml),
                                           xml);
        StatementFile out;
        ReadError error;
        ASSERT_TRUE(read(text, out, error)) << error.message.toStdString();
        ASSERT_EQ(out.accounts.size(), 2u);
        EXPECT_EQ(out.accounts[0].entries.size(), 4u);
        ASSERT_EQ(out.accounts[1].entries.size(), 1u);
        EXPECT_EQ(out.accounts[1].entries[0].amount, test::money("-9.99"));
        // In full, on the last four digits, or not at all (no number, several that end alike).
        EXPECT_EQ(importing::accountOfFile(out, QStringLiteral("379912345678901")), 1);
        EXPECT_EQ(importing::accountOfFile(out, QStringLiteral("xxxx-xxxx-xxxx-4444")), 0);
        EXPECT_EQ(importing::accountOfFile(out, QStringLiteral("8901")), 1);
        EXPECT_EQ(importing::accountOfFile(out, QStringLiteral("1234")), -1);
        EXPECT_EQ(importing::accountOfFile(out, QString()), -1);
        core::Account a;
        a.sysId = 3;
        a.accountNumber = QStringLiteral("6011000000009999");
        EXPECT_EQ(importing::accountChoiceProblem(out, a),
                  QStringLiteral("The file holds 2 accounts (...4444, ...8901); none matches the number of account 3 (...9999)."));
    }
}

TEST_F(OfxReaderTest, TheCharsetOfTheHeaderIsHonoured)
{
    const QString name = QStringLiteral("Caf\u00e9 M\u00fcller \u00bd");
    const std::vector<OfxLine> lines = {{QStringLiteral("20261103"), QStringLiteral("-4.20"), QStringLiteral("C1"), name}};
    struct Case {
        bool xml;
        QString charset;
        const char* encoding;
        QString expected;
    };
    const Case cases[] = {
        {false, QStringLiteral("1252"), "windows-1252", name + QStringLiteral(" \u20ac")},
        {false, QStringLiteral("ISO-8859-1"), "ISO-8859-1", name},
        {false, QStringLiteral("UTF-8"), "UTF-8", name + QStringLiteral(" \u20ac")},
        {true, QStringLiteral("UTF-8"), "UTF-8", name + QStringLiteral(" \u20ac")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset.toStdString() + (c.xml ? " XML" : " SGML"));
        std::vector<OfxLine> written = lines;
        written[0].name = c.expected;
        StatementFile out;
        ReadError error;
        ASSERT_TRUE(
            read(test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), written, c.xml), c.xml, c.charset), out, error, c.encoding))
            << error.message.toStdString();
        ASSERT_EQ(out.accounts.at(0).entries.size(), 1u);
        EXPECT_EQ(out.accounts[0].entries[0].description, c.expected);
    }
}

TEST_F(OfxReaderTest, DatesAreTheCalendarDatesOfTheFileInEveryTimeZone)
{
    // Late at night on the 30th east of Greenwich is the 30th, and so is the
    // first second of the 3rd in New York; no zone of the machine moves them.
    const std::vector<OfxLine> lines = {
        {QStringLiteral("20261130235959.000[+13:NZDT]"), QStringLiteral("-1.00"), QStringLiteral("Z1"), QStringLiteral("Late")},
        {QStringLiteral("20261103000000[-5:EST]"), QStringLiteral("-2.00"), QStringLiteral("Z2"), QStringLiteral("Early")},
        {QStringLiteral("20261215"), QStringLiteral("-3.00"), QStringLiteral("Z3"), QStringLiteral("Plain")}};
    const QByteArray savedZone = qgetenv("TZ");
    for (const char* zone : {"Pacific/Auckland", "America/Los_Angeles", "UTC", "Asia/Kolkata"}) {
        SCOPED_TRACE(zone);
        qputenv("TZ", zone);
        tzset();
        StatementFile out;
        ReadError error;
        ASSERT_TRUE(read(test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), lines, false), false), out, error));
        const auto& e = out.accounts.at(0).entries;
        ASSERT_EQ(e.size(), 3u);
        EXPECT_EQ(e[0].date, test::day(2026, 11, 30));
        EXPECT_EQ(e[1].date, test::day(2026, 11, 3));
        EXPECT_EQ(e[2].date, test::day(2026, 12, 15));
    }
    if (savedZone.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedZone);
    tzset();
}

TEST_F(OfxReaderTest, AnIdMissingOrReusedIsReadAsTheFileHasIt)
{
    const std::vector<OfxLine> lines = {
        {QStringLiteral("20261103"), QStringLiteral("-5.00"), QString(), QStringLiteral("No id")},
        {QStringLiteral("20261104"), QStringLiteral("-6.00"), QStringLiteral("SAME"), QStringLiteral("One")},
        {QStringLiteral("20261105"), QStringLiteral("-7.00"), QStringLiteral("SAME"), QStringLiteral("Two")}};
    StatementFile out;
    ReadError error;
    ASSERT_TRUE(read(test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), lines, true), true), out, error));
    const auto& e = out.accounts.at(0).entries;
    ASSERT_EQ(e.size(), 3u);
    EXPECT_TRUE(e[0].bankId.isEmpty());
    EXPECT_EQ(e[1].bankId, e[2].bankId);
}

TEST_F(OfxReaderTest, DamagedFilesAreRefusedWithTheLineAndTheTag)
{
    const QString good = test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), november(), false), false);
    auto with = [&](const std::vector<OfxLine>& lines) {
        return test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), lines, false), false);
    };
    OfxLine tooPrecise{QStringLiteral("20261105"), QStringLiteral("12.345"), QStringLiteral("B1"), QStringLiteral("Shoes")};
    std::vector<OfxLine> lines = november();
    lines.insert(lines.begin() + 1, tooPrecise);
    // The bad amount is on the file's line that holds its <TRNAMT>.
    const QString withTooPrecise = with(lines);
    const int amountLine = static_cast<int>(withTooPrecise.left(withTooPrecise.indexOf(QStringLiteral("12.345"))).count(u'\n')) + 1;
    EXPECT_EQ(failure(withTooPrecise),
              QStringLiteral("Line %1: <TRNAMT> \"12.345\" is not an amount; amounts are written like -42.50, with two places at most.")
                  .arg(amountLine));

    EXPECT_TRUE(failure(with({{QString(), QStringLiteral("-1.00"), QStringLiteral("E"), QStringLiteral("x")}}))
                    .contains(QStringLiteral("<DTPOSTED> is empty")));
    EXPECT_TRUE(failure(with({{QStringLiteral("20261340"), QStringLiteral("-1.00"), QStringLiteral("E"), QStringLiteral("x")}}))
                    .contains(QStringLiteral("<DTPOSTED> \"20261340\" is not a date")));
    EXPECT_TRUE(failure(with({{QStringLiteral("20261101"), QString(), QStringLiteral("E"), QStringLiteral("x")}}))
                    .contains(QStringLiteral("<TRNAMT> is empty")));

    QString noDate = good;
    noDate.replace(QStringLiteral("<DTPOSTED>20261103\n"), QString());
    EXPECT_TRUE(failure(noDate).contains(QStringLiteral("has no <DTPOSTED> date")));

    const QString empty = with({});
    EXPECT_TRUE(failure(empty).endsWith(QStringLiteral("The file holds no transactions: its <BANKTRANLIST> is empty.")));

    // Cut short anywhere: inside a tag, inside a transaction, before </OFX>.
    for (qsizetype cut : {good.size() / 3, good.indexOf(QStringLiteral("<TRNAMT>")) + 3, good.size() - 8}) {
        const QString message = failure(good.left(cut));
        EXPECT_TRUE(message.contains(QStringLiteral("cut short"))) << message.toStdString();
    }

    EXPECT_EQ(
        failure(QStringLiteral("Date,Description,Amount\n11/03/2026,Bakery,-4.20\n")),
        QStringLiteral("This is not an OFX file: it does not begin with an OFX header (OFXHEADER:100, or <?xml ...?> with <?OFX ...?>)."));
    EXPECT_EQ(failure(QString()), QStringLiteral("The file is empty: a statement file begins with an OFX header."));
    QString hugeTag = good;
    hugeTag.insert(hugeTag.indexOf(QStringLiteral("<OFX>")) + 1, QString(100, u'A'));
    EXPECT_TRUE(failure(hugeTag).contains(QStringLiteral("a tag longer than 64 characters")));
}

TEST_F(OfxReaderTest, AFileBeyondTheLargestIsRefusedBeforeItIsRead)
{
    QFile f(path(QStringLiteral("huge.ofx")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("OFXHEADER:100\n");
    ASSERT_TRUE(f.resize(importing::MaxStatementFileBytes + 1)); // sparse: no disk is filled
    f.close();
    StatementFile out;
    ReadError error;
    EXPECT_FALSE(importing::readOfxFile(f.fileName(), out, error));
    EXPECT_EQ(error.message, QStringLiteral("The file is larger than 64 MB: statement files of up to 64 MB are read."));
}

} // namespace
