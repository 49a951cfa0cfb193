// Pages as files: what is drawn comes back from the file, the files live in a
// private directory and go at the clean-up, a page looks as it did (golden
// image), and the preview pages by keys and zooms.
#include "platform/report/PageQueue.h"
#include "platform/report/ReportOutput.h"
#include "platform/report/ReportPreviewDialog.h"
#include "reports/AccountsReport.h"
#include "tests/reports/ReportFixture.h"

#include <QFileInfo>
#include <QListView>
#include <QSpinBox>
#include <QTest>

#include <sys/stat.h>

using namespace fundora;
using platform::PageQueue;
using platform::ReportPage;

namespace {

ReportPage samplePage(const QString& name)
{
    ReportPage page;
    page.text({1000, 1000, 3000, 0}, name, reports::font(12, true));
    page.text({1000, 1400, 2000, 0}, QStringLiteral("$1,234.56"), reports::font(10), Qt::AlignRight);
    page.line({1000, 1800}, {7000, 1800});
    page.box({1000, 2000, 2000, 1000});
    return page;
}

// The share of pixels whose grey differs by more than a quarter.
double differingShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    std::int64_t differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64)
                ++differing;
    return double(differing) / (a.width() * a.height());
}

class ReportPagesTest : public test::ReportTest {};

TEST_F(ReportPagesTest, APageComesBackFromItsFileAsItWasDrawn)
{
    PageQueue queue;
    ASSERT_TRUE(queue.isValid());
    ASSERT_TRUE(queue.append(samplePage(QStringLiteral("Ünïcode, \"quoted\" & ﬁne"))));
    const std::optional<ReportPage> back = queue.page(0);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->texts(), (QStringList{QStringLiteral("Ünïcode, \"quoted\" & ﬁne"), QStringLiteral("$1,234.56")}));
    EXPECT_EQ(renderPage(*back, 200), renderPage(samplePage(QStringLiteral("Ünïcode, \"quoted\" & ﬁne")), 200));
}

TEST_F(ReportPagesTest, ADamagedPageFileIsRefusedNotMisread)
{
    PageQueue queue;
    ASSERT_TRUE(queue.append(samplePage(QStringLiteral("x"))));
    QByteArray bytes = test::readAll(queue.files()[0]);
    test::writeAll(queue.files()[0], bytes.left(bytes.size() / 2));
    EXPECT_FALSE(queue.page(0));
    test::writeAll(queue.files()[0], "not a page");
    EXPECT_FALSE(queue.page(0));
    QString error;
    EXPECT_FALSE(platform::writePdf(queue, path(QStringLiteral("out.pdf")), QStringLiteral("t"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Page 1"))) << error;
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out.pdf")))); // no half file
}

TEST_F(ReportPagesTest, PagesLiveInAPrivateDirectoryAndGoAtTheCleanUp)
{
    QString directory;
    QStringList names;
    {
        PageQueue queue;
        directory = queue.directory();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(directory).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(queue.append(samplePage(QString::number(i))));
        ASSERT_TRUE(queue.appendRow({QStringLiteral("a"), QStringLiteral("b")}));
        names = queue.files();
        queue.cleanup();
        EXPECT_TRUE(queue.isEmpty());
        for (const QString& n : names)
            EXPECT_FALSE(QFile::exists(n));
        EXPECT_FALSE(QFile::exists(queue.rowsFile()));
        ASSERT_TRUE(queue.append(samplePage(QStringLiteral("again"))));
    }
    EXPECT_FALSE(QFileInfo::exists(directory)); // the queue's end removes the rest
}

TEST_F(ReportPagesTest, CsvFieldsAreQuotedWhereASpreadsheetNeedsIt)
{
    EXPECT_EQ(platform::csvLine({QStringLiteral("plain"), QStringLiteral("a,b"), QStringLiteral("say \"hi\""), QString()}),
              QByteArray("plain,\"a,b\",\"say \"\"hi\"\"\",\r\n"));
    EXPECT_EQ(platform::csvLine({QStringLiteral("two\nlines")}), QByteArray("\"two\nlines\"\r\n"));
}

TEST_F(ReportPagesTest, TheAccountsPageLooksAsItsGoldenImage)
{
    core::glo().runDate = day(2026, 12, 7);
    reports::AccountsReport report;
    core::Account a;
    a.creditCardVendor = QStringLiteral("First Harbor Bank");
    a.cardType = QStringLiteral("V");
    a.accountNumber = QStringLiteral("4111-0000-1234");
    a.vendorAddr1 = QStringLiteral("PO Box 1200");
    a.vendorCity = QStringLiteral("Springfield");
    a.vendorState = QStringLiteral("IL");
    a.vendorZip = QStringLiteral("62701");
    a.balanceInfoPhone = platform::Decimal::fromInteger(8005550100);
    a.lostCardPhone = platform::Decimal::fromInteger(8005550199);
    a.interestRate = *platform::Decimal::parse(u"18.90");
    a.creditLimit = *platform::Decimal::parse(u"5000.00");
    a.accountBalance = *platform::Decimal::parse(u"1250.00");
    a.billingDay = 21;
    report.take(core::accountLayout().toRecord(a));
    ReportPage page;
    report.pageHeader(page);
    report.detail(page, report.detailArea().topLeft());
    report.pageFooter(page, 1);
    const QImage shown = renderPage(page, 425).convertToFormat(QImage::Format_RGB32);

    const QString golden = QStringLiteral(FUNDORA_GOLDEN_DIR "/accounts-page.png");
    if (qEnvironmentVariableIsSet("FUNDORA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(shown.save(golden));
    }
    const QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << golden;
    EXPECT_LT(differingShare(shown, expected), 0.002);

    // A band moved by a tenth of an inch is seen.
    ReportPage moved;
    report.pageHeader(moved);
    report.detail(moved, report.detailArea().topLeft() + QPoint(0, 100));
    report.pageFooter(moved, 1);
    EXPECT_GT(differingShare(renderPage(moved, 425).convertToFormat(QImage::Format_RGB32), expected), 0.002);
}

TEST_F(ReportPagesTest, ThePreviewPagesByKeysAndZooms)
{
    PageQueue queue;
    for (int i = 1; i <= 4; ++i)
        ASSERT_TRUE(queue.append(samplePage(QStringLiteral("Page text %1").arg(i))));
    queue.appendRow({QStringLiteral("row")});
    queue.finishRows();
    platform::ReportPreviewDialog preview(queue, QStringLiteral("Sample"));
    preview.show();
    preview.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&preview));
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_EQ(preview.currentPage(), 1) << QApplication::focusWidget()->metaObject()->className();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_EQ(preview.currentPage(), 2) << QApplication::focusWidget()->metaObject()->className();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    EXPECT_EQ(preview.currentPage(), 4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown); // stays on the last
    EXPECT_EQ(preview.currentPage(), 4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(preview.currentPage(), 1);

    auto* list = preview.findChild<QListView*>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(list->model()->index(2, 0).data().toString(), QStringLiteral("Page 3"));
    EXPECT_FALSE(list->model()->index(2, 0).data(Qt::DecorationRole).value<QImage>().isNull());
    list->setCurrentIndex(list->model()->index(2, 0));
    EXPECT_EQ(preview.currentPage(), 3);
    EXPECT_EQ(preview.findChild<QSpinBox*>()->value(), 3);

    EXPECT_TRUE(preview.fitsWidth());
    const int fitted = preview.shownImage().width();
    preview.setZoom(2.0);
    EXPECT_FALSE(preview.fitsWidth());
    EXPECT_EQ(preview.shownImage().width(), 1632); // 8.5 inches at 96 dpi, doubled
    preview.fitWidth();
    EXPECT_EQ(preview.shownImage().width(), fitted);

    QString error;
    ASSERT_TRUE(preview.saveAsPdf(path(QStringLiteral("p.pdf")), &error)) << error;
    const QString text = test::pdfText(path(QStringLiteral("p.pdf")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page text 4"))) << text;
    ASSERT_TRUE(preview.saveAsCsv(path(QStringLiteral("p.csv")), &error)) << error;
    EXPECT_EQ(test::readAll(path(QStringLiteral("p.csv"))), QByteArray("row\r\n"));
    EXPECT_EQ(preview.result(), 1);
    for (QWidget* w : preview.findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus && w->isVisible() && !w->inherits("QScrollBar") && !w->inherits("QSplitterHandle") &&
            !w->parentWidget()->inherits("QAbstractSpinBox")) { // a spin box speaks for its entry
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        }
}

} // namespace
