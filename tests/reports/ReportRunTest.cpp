// The run of a report as the user meets it: the destination, the progress
// window and its Cancel (button and Escape), the two questions, the preview,
// and what is put back afterwards.
#include "platform/IniFile.h"
#include "platform/ui/SharedPrinter.h"
#include "reports/AccountsReport.h"
#include "reports/ProgressWindow.h"
#include "reports/TransactionReport.h"
#include "tests/reports/ReportFixture.h"

#include <QDir>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

using namespace fundora;
using platform::ReportDestination;
using reports::ReportRun;
using reports::TransactionReport;
namespace Button = platform::Button;

namespace {

class ReportRunTest : public test::ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        ReportRun::setAutoRun(false);
        addAccount(3, QStringLiteral("Long Card"));
        for (int i = 0; i < 40; ++i)
            addTransaction(3, day(2026, 10, 1) + i, i == 5 ? "P" : "C", QStringLiteral("Item %1").arg(i + 1), "1.00");
        makeCurrent(3);
        core::glo().lowDate = day(2026, 1, 1);
        core::glo().highDate = day(2026, 12, 31);
    }
    QPointer<ReportRun> start(TransactionReport::Kind kind = TransactionReport::Kind::Open)
    {
        manager->answers.push_back(ReportDestination::Preview);
        return ReportRun::start(*files, std::make_unique<TransactionReport>(kind));
    }
    static void clickCancel(ReportRun& run)
    {
        QPushButton* cancel = run.progressWindow()->findChild<QPushButton*>();
        ASSERT_TRUE(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
    }
    void finishRun(QPointer<ReportRun> run)
    {
        for (int i = 0; run && i < 1000 && manager->presented == 0; ++i)
            run->runBatch();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::vector<int> openCounts() const
    {
        std::vector<int> out;
        for (core::FileId id : core::allFiles())
            out.push_back(files->openCount(id));
        return out;
    }
};

TEST_F(ReportRunTest, CancellingTheDestinationOpensNoFileAndShowsNothing)
{
    const auto before = openCounts();
    manager->answers.push_back(ReportDestination::Cancelled);
    std::vector<int> during;
    manager->beforeAnswer = [&] { during = openCounts(); };
    EXPECT_EQ(ReportRun::start(*files, std::make_unique<reports::AccountsReport>()), nullptr);
    EXPECT_EQ(during, before);
    EXPECT_EQ(openCounts(), before);
    EXPECT_EQ(manager->presented, 0);
    EXPECT_TRUE(messages().shown().empty());
}

TEST_F(ReportRunTest, ACompleteRunPresentsEveryPageThenRemovesThemAndClosesItsFiles)
{
    const auto before = openCounts();
    QPointer<ReportRun> run = start();
    ASSERT_TRUE(run);
    EXPECT_EQ(files->openCount(core::FileId::Transactions), before[1] + 1);
    ASSERT_TRUE(run->progressWindow());
    EXPECT_EQ(run->progressWindow()->windowTitle(), QStringLiteral("Generating Report"));
    finishRun(run);
    EXPECT_FALSE(run);
    EXPECT_EQ(manager->presented, 1);
    EXPECT_EQ(manager->pageCount, 3);
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Total Open Transactions:")));
    for (const QString& f : manager->pageFiles)
        EXPECT_FALSE(QFile::exists(f)) << f;
    EXPECT_EQ(openCounts(), before);
    EXPECT_TRUE(messages().shown().empty());
}

TEST_F(ReportRunTest, CancelYesThenCancelGoesOnOneRecordAtATimeToTheFullReport)
{
    QPointer<ReportRun> run = start();
    run->runBatch(); // 25 records: the first page is in the queue
    ASSERT_EQ(run->pages().count(), 1);
    messages().answer(Button::Yes);
    messages().answer(Button::Cancel);
    clickCancel(*run);
    ASSERT_EQ(messages().shown().size(), 2u);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Are you sure you want to CANCEL this Report?"));
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Question"));
    EXPECT_EQ(messages().shown()[0].defaultButton, Button::No);
    EXPECT_EQ(messages().shown()[1].text, QStringLiteral("Report Cancellation Requested!||Preview Report generated so far?"));
    EXPECT_EQ(messages().shown()[1].buttons, Button::Yes | Button::No | Button::Cancel);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->recordsPerCycle(), 1);
    const std::int64_t before = run->generator().recordsProcessed();
    run->runBatch();
    EXPECT_EQ(run->generator().recordsProcessed(), before + 1);
    finishRun(run);
    EXPECT_EQ(manager->presented, 1);
    EXPECT_EQ(manager->pageCount, 3);
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Item 40")));
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Total Open Transactions:")));
}

TEST_F(ReportRunTest, CancelYesYesShowsThePagesMadeSoFarWithoutATotal)
{
    QPointer<ReportRun> run = start();
    run->runBatch();
    messages().answer(Button::Yes);
    messages().answer(Button::Yes);
    clickCancel(*run);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(run);
    EXPECT_EQ(manager->presented, 1);
    EXPECT_EQ(manager->pageCount, 2); // the full first page and the one being made
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Item 25")));
    EXPECT_FALSE(manager->texts.contains(QStringLiteral("Item 26")));
    EXPECT_FALSE(manager->texts.contains(QStringLiteral("Total Open Transactions:")));
}

TEST_F(ReportRunTest, CancelYesNoDropsTheReport)
{
    QPointer<ReportRun> run = start();
    run->runBatch();
    messages().answer(Button::Yes);
    messages().answer(Button::No);
    clickCancel(*run);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(run);
    EXPECT_EQ(manager->presented, 0);
}

TEST_F(ReportRunTest, CancelYesBeforeTheFirstPageAsksNothingMoreAndShowsNothing)
{
    QPointer<ReportRun> run = start();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->pages().count(), 0);
    messages().answer(Button::Yes);
    clickCancel(*run);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(messages().shown().size(), 1u);
    EXPECT_FALSE(run);
    EXPECT_EQ(manager->presented, 0);
}

TEST_F(ReportRunTest, NoAtTheFirstQuestionGoesOnAsBefore)
{
    QPointer<ReportRun> run = start();
    messages().answer(Button::No);
    clickCancel(*run);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->recordsPerCycle(), ReportRun::RecordsPerCycle);
    finishRun(run);
    EXPECT_EQ(manager->pageCount, 3);
}

TEST_F(ReportRunTest, EscapeInTheProgressWindowAsksAsCancelDoes)
{
    QPointer<ReportRun> run = start();
    messages().answer(Button::Yes);
    QTest::keyClick(run->progressWindow(), Qt::Key_Escape);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Are you sure you want to CANCEL this Report?"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(run);
}

TEST_F(ReportRunTest, TheThermometerReachesAHundredAtTheEstimateOf25AndStaysThere)
{
    QPointer<ReportRun> run = start();
    reports::ProgressWindow* w = run->progressWindow();
    EXPECT_EQ(w->thermometer(), 4); // the first record is read when the window opens
    EXPECT_EQ(w->lowerText(), QStringLiteral("  4% Completed"));
    run->runBatch(); // records 2..26 read
    EXPECT_EQ(w->thermometer(), 100);
    EXPECT_EQ(w->lowerText(), QStringLiteral("100% Completed"));
    run->runBatch();
    EXPECT_EQ(w->thermometer(), 100);
    finishRun(run);
}

TEST_F(ReportRunTest, ThePurchasesCountRecordsRead)
{
    QPointer<ReportRun> run = start(TransactionReport::Kind::Purchases);
    run->runBatch();
    EXPECT_EQ(run->progressWindow()->lowerText(), QStringLiteral("26 Records Read"));
    finishRun(run);
    EXPECT_EQ(manager->texts.count(QStringLiteral("Pmt/Credit")), 0);
}

TEST_F(ReportRunTest, TheAccountsProgressIsAShareOfTheFile)
{
    for (int i = 10; i < 20; ++i)
        addAccount(i, QStringLiteral("Vendor %1").arg(i));
    manager->answers.push_back(ReportDestination::Preview);
    QPointer<ReportRun> run = ReportRun::start(*files, std::make_unique<reports::AccountsReport>());
    ASSERT_TRUE(run);
    EXPECT_EQ(run->generator().recordsToProcess(), 11);
    EXPECT_EQ(run->progressWindow()->thermometer(), 9); // 1 of 11
    finishRun(run);
    EXPECT_EQ(manager->pageCount, 4);
}

TEST_F(ReportRunTest, TextsComeFromTheDisplayStringsFileWhereItHasThem)
{
    platform::IniFile::write(path(QStringLiteral("VIDURERI.INI")), QStringLiteral("Display Strings 2.0"),
                             QStringLiteral("progwintitleprvw"), QStringLiteral("Making it"));
    platform::IniFile::write(path(QStringLiteral("VIDURERI.INI")), QStringLiteral("DISPLAY STRINGS 2.0"),
                             QStringLiteral("CancelAreYouSureText"), QStringLiteral("Really stop?"));
    QPointer<ReportRun> run = start();
    EXPECT_EQ(run->progressWindow()->windowTitle(), QStringLiteral("Making it"));
    messages().answer(Button::No);
    clickCancel(*run);
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Really stop?"));
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Question")); // not in the file: the default
    finishRun(run);
}

TEST_F(ReportRunTest, ThePrinterSettingsAndTheWorkingDirectoryArePutBackOnEveryExit)
{
    QPrinter& printer = platform::sharedPrinter();
    printer.setCopyCount(2);
    const QString home = QDir::currentPath();
    QTemporaryDir elsewhere;
    manager->beforeAnswer = [&] {
        // What a destination dialog may change.
        platform::sharedPrinter().setCopyCount(5);
        platform::sharedPrinter().setOutputFileName(elsewhere.filePath(QStringLiteral("out.pdf")));
        QDir::setCurrent(elsewhere.path());
    };
    manager->answers.push_back(ReportDestination::Cancelled);
    ReportRun::start(*files, std::make_unique<reports::AccountsReport>());
    EXPECT_EQ(printer.copyCount(), 2);
    EXPECT_TRUE(printer.outputFileName().isEmpty());
    EXPECT_EQ(QDir::currentPath(), home);

    finishRun(start()); // a report that runs to its preview
    EXPECT_EQ(manager->presented, 1);
    EXPECT_EQ(printer.copyCount(), 2);
    EXPECT_EQ(QDir::currentPath(), home);

    addAccount(50, QStringLiteral("Empty"));
    makeCurrent(50);
    finishRun(start()); // nothing selected
    EXPECT_EQ(printer.copyCount(), 2);
    EXPECT_EQ(QDir::currentPath(), home);
    printer.setCopyCount(1);
}

TEST_F(ReportRunTest, NothingLeftAfterAFailedPreview)
{
    manager->presentResult = 2; // the user closed the preview without printing
    QPointer<ReportRun> run = start();
    core::Response response = core::Response::None;
    QObject::connect(run, &ReportRun::ended, [&response](core::Response r) { response = r; });
    finishRun(run);
    EXPECT_EQ(response, core::Response::Cancelled);
    for (const QString& f : manager->pageFiles)
        EXPECT_FALSE(QFile::exists(f));
}

} // namespace
