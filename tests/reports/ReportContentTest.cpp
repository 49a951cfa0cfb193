// What each report prints over known data, read back from its PDF with
// pdftotext, and the same report as CSV rows.
#include "core/OpenFile.h"
#include "platform/store/Statement.h"
#include "reports/AccountsReport.h"
#include "reports/StatementReport.h"
#include "reports/TransactionReport.h"
#include "statements/StatementRecords.h"
#include "statements/StatementSession.h"
#include "tests/reports/ReportFixture.h"

#include <QRegularExpression>

#include <sqlite3.h>

using namespace fundora;
using platform::ReportDestination;
using reports::TransactionReport;
using Kind = reports::TransactionReport::Kind;

namespace {

class ReportContentTest : public test::ReportTest {
protected:
    QString reportPdf(std::unique_ptr<reports::Report> report)
    {
        manager->pdfFile = path(QStringLiteral("report.pdf"));
        manager->csvFile = path(QStringLiteral("report.csv"));
        QFile::remove(manager->pdfFile);
        runToEnd(std::move(report));
        return QFile::exists(manager->pdfFile) ? test::pdfText(manager->pdfFile) : QString();
    }
    QStringList csvLines() const
    {
        return QString::fromUtf8(test::readAll(manager->csvFile)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    // One account with a spread of transactions in December 2026.
    void sampleAccount()
    {
        addAccount(7, QStringLiteral("First Harbor Bank"), "318.42", "2500.00");
        addTransaction(7, day(2026, 11, 30), "C", QStringLiteral("Before the range"), "11.00", true);
        addTransaction(7, day(2026, 12, 1), "C", QStringLiteral("Groceries on the first"), "86.42", true);
        addTransaction(7, day(2026, 12, 10), "P", QStringLiteral("Payment, check 1042"), "-200.00", true);
        addTransaction(7, day(2026, 12, 15), "X", QStringLiteral("ATM withdrawal"), "60.00");
        addTransaction(7, day(2026, 12, 20), "F", QStringLiteral("Late fee"), "25.00");
        addTransaction(7, day(2026, 12, 31), "C", QStringLiteral("Books on the last"), "31.99", true);
        addTransaction(8, day(2026, 12, 5), "C", QStringLiteral("Another account's"), "999.00");
        makeCurrent(7);
        core::glo().lowDate = day(2026, 12, 1);
        core::glo().highDate = day(2026, 12, 31);
    }
};

TEST_F(ReportContentTest, TheAccountsReportPrintsEveryCardWithItsFiguresAndTheFooter)
{
    core::glo().runDate = day(2026, 12, 7);
    core::Account over = addAccount(1, QStringLiteral("Zenith Card"), "1250.50", "1000.00");
    over.billingDay = 21;
    over.cardType = QStringLiteral("A");
    over.vendorAddr1 = QStringLiteral("PO Box 12");
    over.balanceInfoPhone = platform::Decimal::fromInteger(8005550100);
    putAccount(over);
    core::Account eleven = addAccount(2, QStringLiteral("Alder Savings"), "100.00", "600.00");
    eleven.billingDay = 11;
    eleven.cardType = QStringLiteral("Q");
    putAccount(eleven);
    core::Account twelve = addAccount(3, QStringLiteral("Birch Store"), "0.00", "0.00");
    twelve.billingDay = 12;
    twelve.cardType = QStringLiteral("S");
    putAccount(twelve);

    const QString text = reportPdf(std::make_unique<reports::AccountsReport>());
    EXPECT_TRUE(text.contains(QStringLiteral("Personal Credit Card Account Information"))) << text;
    // In vendor order: Alder, Birch, Zenith.
    const qsizetype alder = text.indexOf(QStringLiteral("Alder Savings"));
    const qsizetype birch = text.indexOf(QStringLiteral("Birch Store"));
    const qsizetype zenith = text.indexOf(QStringLiteral("Zenith Card"));
    EXPECT_TRUE(alder >= 0 && alder < birch && birch < zenith) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("American Express Account")));
    EXPECT_TRUE(text.contains(QStringLiteral("Other Account")));
    EXPECT_TRUE(text.contains(QStringLiteral("Store Account")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Springfield, IL\\s+62701")).match(text).hasMatch()) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("(800) 555-0100")));
    EXPECT_TRUE(text.contains(QStringLiteral("$1250.50"))) << text; // N$(_12..2): no thousands separator
    // A balance above the limit leaves negative funds, in parentheses.
    EXPECT_TRUE(text.contains(QStringLiteral("($250.50)"))) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("$500.00")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("21\\s*st")).match(text).hasMatch()) << text;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("11\\s*th")).match(text).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("12\\s*th")).match(text).hasMatch());
    EXPECT_TRUE(text.contains(QStringLiteral("12/07/2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1")));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 2"))); // three cards fit on a page

    const QStringList rows = csvLines();
    ASSERT_EQ(rows.size(), 4) << rows.join(u'\n');
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("Card Type,Vendor,")));
    EXPECT_TRUE(rows[3].contains(QStringLiteral("Zenith Card"))) << rows[3];
    EXPECT_TRUE(rows[3].contains(QStringLiteral(",\"Springfield, IL   62701\","))) << rows[3];
    EXPECT_TRUE(rows[3].contains(QStringLiteral(",1250.50,1000.00,-250.50,"))) << rows[3];
    EXPECT_TRUE(rows[3].endsWith(QStringLiteral(",21st"))) << rows[3];
}

TEST_F(ReportContentTest, AccountsSpillOntoFurtherPagesThreeAPage)
{
    for (int i = 1; i <= 7; ++i)
        addAccount(i, QStringLiteral("Vendor %1").arg(i));
    const QString text = reportPdf(std::make_unique<reports::AccountsReport>());
    EXPECT_EQ(manager->pageCount, 3);
    EXPECT_TRUE(text.contains(QStringLiteral("Page 3")));
    EXPECT_EQ(text.count(QStringLiteral("Personal Credit Card Account Information")), 3); // a header on every page
}

TEST_F(ReportContentTest, OpenTransactionsListOnlyTheOpenOnesOfTheCurrentAccountWithTheirTotal)
{
    sampleAccount();
    const QString text = reportPdf(std::make_unique<TransactionReport>(Kind::Open));
    EXPECT_TRUE(text.contains(QStringLiteral("Open Transactions")));
    EXPECT_TRUE(text.contains(QStringLiteral("First Harbor Bank")));
    EXPECT_TRUE(text.contains(QStringLiteral("4000-0007")));
    EXPECT_TRUE(text.contains(QStringLiteral("ATM withdrawal")));
    EXPECT_TRUE(text.contains(QStringLiteral("Cash Adv"))); // a type none of P, C, F, I
    EXPECT_TRUE(text.contains(QStringLiteral("Late fee")));
    EXPECT_TRUE(text.contains(QStringLiteral("Fee")));
    EXPECT_FALSE(text.contains(QStringLiteral("Groceries")));
    EXPECT_FALSE(text.contains(QStringLiteral("Another account's")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Total Open Transactions:\\s+\\$85\\.00")).match(text).hasMatch()) << text;
    const QStringList rows = csvLines();
    ASSERT_EQ(rows.size(), 4) << rows.join(u'\n');
    EXPECT_EQ(rows[1], QStringLiteral("12/15/2026,ATM withdrawal,Cash Adv,60.00"));
    EXPECT_EQ(rows[3], QStringLiteral(",Total Open Transactions,,85.00"));
}

TEST_F(ReportContentTest, TheHistoryTakesReconciledTransactionsOfTheRangeWithBothEndsIncluded)
{
    sampleAccount();
    const QString text = reportPdf(std::make_unique<TransactionReport>(Kind::History));
    EXPECT_TRUE(text.contains(QStringLiteral("History of Transactions")));
    EXPECT_TRUE(text.contains(QStringLiteral("Groceries on the first"))) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("Books on the last")));
    EXPECT_TRUE(text.contains(QStringLiteral("Payment, check 1042")));
    EXPECT_TRUE(text.contains(QStringLiteral("Pmt/Credit")));
    EXPECT_FALSE(text.contains(QStringLiteral("Before the range")));
    EXPECT_FALSE(text.contains(QStringLiteral("ATM withdrawal"))); // open
    // n$10.2-: a negative total carries a trailing minus.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("12/01/2026\\s*through\\s*12/31/2026\\s+Total for this date range:\\s+\\$81\\.59-"))
                    .match(text)
                    .hasMatch())
        << text;
}

TEST_F(ReportContentTest, PurchasesAndPaymentsTakeTheirTypeWhetherReconciledOrNot)
{
    sampleAccount();
    addTransaction(7, day(2026, 12, 16), "C", QStringLiteral("Open charge"), "10.00");
    QString text = reportPdf(std::make_unique<TransactionReport>(Kind::Purchases));
    EXPECT_TRUE(text.contains(QStringLiteral("History of Purchases")));
    EXPECT_TRUE(text.contains(QStringLiteral("Open charge")));
    EXPECT_TRUE(text.contains(QStringLiteral("Groceries on the first")));
    EXPECT_FALSE(text.contains(QStringLiteral("Late fee")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Total for this date range:\\s+\\$128\\.41")).match(text).hasMatch()) << text;

    text = reportPdf(std::make_unique<TransactionReport>(Kind::Payments));
    EXPECT_TRUE(text.contains(QStringLiteral("History of Payments")));
    EXPECT_TRUE(text.contains(QStringLiteral("Payment, check 1042")));
    EXPECT_FALSE(text.contains(QStringLiteral("Open charge")));
}

TEST_F(ReportContentTest, AnEmptySelectionGivesNoReportAndNoMessage)
{
    sampleAccount();
    addAccount(9, QStringLiteral("Nothing Open"));
    makeCurrent(9);
    manager->pdfFile = path(QStringLiteral("empty.pdf"));
    runToEnd(std::make_unique<TransactionReport>(Kind::Open));
    EXPECT_EQ(manager->presented, 0);
    EXPECT_FALSE(QFile::exists(manager->pdfFile));
    EXPECT_TRUE(messages().shown().empty()) << shownTexts().join(u'\n');

    // A start date after the end date selects nothing either.
    makeCurrent(7);
    core::glo().lowDate = day(2026, 12, 31);
    core::glo().highDate = day(2026, 12, 1);
    runToEnd(std::make_unique<TransactionReport>(Kind::History));
    EXPECT_EQ(manager->presented, 0);
    EXPECT_TRUE(messages().shown().empty());
}

TEST_F(ReportContentTest, AnEmptyAccountsFileGivesNothing)
{
    runToEnd(std::make_unique<reports::AccountsReport>());
    EXPECT_EQ(manager->presented, 0);
    EXPECT_EQ(manager->asked, 1);
    EXPECT_TRUE(messages().shown().empty());
}

TEST_F(ReportContentTest, ManyTransactionsBreakOverPagesAndTheTotalComesOnce)
{
    addAccount(3, QStringLiteral("Long Card"));
    for (int i = 0; i < 40; ++i)
        addTransaction(3, day(2026, 10, 1) + i, "C", QStringLiteral("Item %1").arg(i + 1), "1.25");
    makeCurrent(3);
    const QString text = reportPdf(std::make_unique<TransactionReport>(Kind::Open));
    EXPECT_EQ(manager->pageCount, 3); // 15 lines a page
    EXPECT_EQ(text.count(QStringLiteral("Total Open Transactions:")), 1);
    EXPECT_TRUE(text.contains(QStringLiteral("$50.00")));
    // Date order: item 1 comes first, item 40 last.
    EXPECT_LT(text.indexOf(QStringLiteral("Item 1 ")), text.indexOf(QStringLiteral("Item 40")));
    EXPECT_EQ(text.count(QStringLiteral("Open Transactions")), 3 + 1); // each header, and the footer's label
}

TEST_F(ReportContentTest, AnAccountsHistoryIsOneForwardPassOfSeeksThroughItsOwnEntries)
{
    addAccount(3, QStringLiteral("Long Card"));
    addAccount(4, QStringLiteral("Other Card"));
    {
        core::FileUse use(*files, core::FileId::Transactions);
        files->store.begin();
        for (int i = 0; i < 600; ++i)
            addTransaction(3 + i % 2, day(2026, 1, 1) + i / 2, "C", QStringLiteral("Item %1").arg(i / 2 + 1), "1.00", true);
        files->store.commit();
    }
    makeCurrent(3);
    core::glo().lowDate = day(2026, 1, 1);
    core::glo().highDate = day(2026, 12, 31);
    QStringList reads;
    files->store.observeStatements([&reads](const char* sql) {
        if (const QString s = QString::fromUtf8(sql);
            s.contains(QStringLiteral("\"Transactions\" WHERE")) && s.contains(QStringLiteral("ORDER BY \"SysID\", \"DateofTransaction\"")))
            reads << s;
    });
    runToEnd(std::make_unique<TransactionReport>(Kind::History));
    files->store.observeStatements({});
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Item 300")));
    EXPECT_FALSE(manager->texts.contains(QStringLiteral("Item 301")));
    // 300 entries in batches of 256: two reads and the one that finds the end, each a seek from where the last stopped.
    EXPECT_LE(reads.size(), 3) << reads.join(u'\n').toStdString();
    core::FileUse use(*files, core::FileId::Transactions);
    for (const QString& sql : reads) {
        EXPECT_FALSE(sql.contains(QStringLiteral("\"SysID\" ="))) << "the account is the range, not in the filter";
        if (onServer())
            continue; // the plan below is SQLite's
        platform::Statement plan(files->store.handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        ASSERT_EQ(plan.step(), SQLITE_ROW);
        const QString detail = plan.text(3);
        EXPECT_TRUE(detail.startsWith(QStringLiteral("SEARCH")) && detail.contains(QStringLiteral("SysID=? AND ReconciledTransaction=?")))
            << detail.toStdString();
        if (sql.contains(QStringLiteral("\"seq\") >"))) {
            EXPECT_TRUE(detail.contains(QStringLiteral("(DateofTransaction,seq)>(?,?)"))) << detail.toStdString();
        }
    }
}

TEST_F(ReportContentTest, TheHeaderShowsTheAccountFetchedForTheReportWhenTheBufferHoldsAnother)
{
    sampleAccount();
    addAccount(9, QStringLiteral("Other Bank"));
    core::glo().currentSysid = 7; // the buffer was left on account 9 by addAccount
    const QString text = reportPdf(std::make_unique<TransactionReport>(Kind::Open));
    EXPECT_TRUE(text.contains(QStringLiteral("First Harbor Bank"))) << text;
    EXPECT_FALSE(text.contains(QStringLiteral("Other Bank")));
}

TEST_F(ReportContentTest, ALongCityStateAndZipIsCutToItsFieldOnTheCard)
{
    core::Account a;
    a.vendorCity = QStringLiteral("A very long city name that goes on");
    a.vendorState = QStringLiteral("NY");
    a.vendorZip = QStringLiteral("10001-1234");
    EXPECT_EQ(reports::reportCityStateZip(a).size(), 35);
    EXPECT_TRUE(reports::reportCityStateZip(a).startsWith(QStringLiteral("A very long city name that goes on,")));
}

} // namespace

namespace {

TEST_F(ReportContentTest, AStatementPrintsItsFiguresAndOnlyTheTransactionsItReconciled)
{
    addAccount(7, QStringLiteral("First Harbor Bank"), "0.00", "2500.00");
    addTransaction(7, day(2026, 11, 3), "C", QStringLiteral("Groceries in November"), "86.42");
    addTransaction(7, day(2026, 11, 9), "P", QStringLiteral("Payment, check 1042"), "-50.00");
    addTransaction(7, day(2026, 11, 20), "C", QStringLiteral("Not on this statement"), "12.00");
    addTransaction(7, day(2026, 12, 2), "C", QStringLiteral("After the closing date"), "5.00");
    std::int32_t id = 0;
    {
        core::FileUse a(*files, core::FileId::Accounts), t(*files, core::FileId::Transactions), st(*files, statements::statementsFile()),
            l(*files, statements::statementLinesFile());
        statements::StatementSession session(*files, 7);
        ASSERT_TRUE(session.open(day(2026, 12, 7)).ok());
        ASSERT_EQ(session.closingDate(), day(2026, 11, 14));
        session.setClosingDate(day(2026, 11, 30));
        for (std::size_t i = 0; i < session.entries().size(); ++i)
            if (!session.entries()[i].transaction.transactionDescription.startsWith(QStringLiteral("Not")))
                session.setTicked(i, true);
        session.setEndingBalance(*platform::Decimal::parse(u"40.00"));
        session.setMinimumPayment(*platform::Decimal::parse(u"15.00"));
        session.setDueDate(day(2026, 12, 24));
        ASSERT_EQ(session.finish(true), statements::StatementSession::Result::Done);
        id = session.statement().statementId;
    }
    core::glo().currentStatementId = id;
    const QString text = reportPdf(std::make_unique<reports::StatementReport>());
    EXPECT_TRUE(text.contains(QStringLiteral("Statement closing 11/30/2026"))) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("First Harbor Bank"))) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("Groceries in November")));
    EXPECT_TRUE(text.contains(QStringLiteral("Payment, check 1042")));
    EXPECT_FALSE(text.contains(QStringLiteral("Not on this statement")));
    EXPECT_FALSE(text.contains(QStringLiteral("After the closing date")));
    EXPECT_TRUE(text.contains(QStringLiteral("2 transaction(s) reconciled:"))) << text;
    EXPECT_TRUE(text.contains(QStringLiteral("$36.42"))) << "the sum of the two";
    EXPECT_TRUE(text.contains(QStringLiteral("$3.58"))) << "the difference accepted: 40.00 - 36.42";
    EXPECT_TRUE(text.contains(QStringLiteral("12/24/2026")));
    const QStringList lines = csvLines();
    ASSERT_EQ(lines.size(), 5) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("Groceries in November")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("2 transaction(s) reconciled")) && lines[3].endsWith(QStringLiteral("36.42")));
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral("40.00")));

    // Another statement's number prints nothing of this one.
    core::glo().currentStatementId = id + 1;
    EXPECT_TRUE(reportPdf(std::make_unique<reports::StatementReport>()).isEmpty());
}

} // namespace
