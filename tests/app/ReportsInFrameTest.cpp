// The reports inside the main frame, started as a user starts them: the
// Reports menu, the toolbar's buttons, the picker's radio buttons and its
// Print button, and the date window typed into.
#include "accounts/AccountFormRecord.h"
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "engine/BrowseListView.h"
#include "engine/DateSpinBox.h"
#include "reports/PickaReportWindow.h"
#include "reports/ProgressWindow.h"
#include "reports/ReportProcedures.h"
#include "reports/UpdateDatesWindow.h"
#include "tests/app/FrameFixture.h"
#include "tests/reports/ReportFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/Mnemonics.h"
#include "tests/support/NextModal.h"
#include "transactions/TransactionProcedures.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace fundora;
using platform::ReportDestination;
using reports::PickaReportWindow;
using namespace core::Command;

namespace {

class ReportsInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override
    {
        accounts::registerAccountProcedures();
        transactions::registerTransactionProcedures();
        reports::registerReportProcedures();
    }
    void SetUp() override
    {
        manager = std::make_shared<test::ScriptedReportManager>();
        platform::ReportManager::install(manager);
        FrameTest::SetUp();
        clock(); // today stands still
        core::FileUse transactions(*files, core::FileId::Transactions);
        files->accounts.clear();
        files->accounts.record.sysId = 1;
        files->accounts.record.creditCardVendor = QStringLiteral("Alpha Bank");
        files->accounts.record.cardType = QStringLiteral("V");
        files->accounts.record.accountBalance = *platform::Decimal::parse(u"42.00");
        ASSERT_TRUE(files->accounts.add().ok());
        ASSERT_TRUE(accounts::AccountFormRecord::bookOpeningBalance(*files).ok());
        auto* list = child<accounts::BrowseAccountsWindow>();
        ASSERT_TRUE(list);
        activate(list);
        list->gainedFocus();
        QTest::keyClick(list->list()->table(), Qt::Key_Home);
        settle();
        ASSERT_EQ(core::glo().currentSysid, 1);
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        platform::ReportManager::install(nullptr);
    }
    PickaReportWindow* openPicker()
    {
        press(Report);
        return child<PickaReportWindow>();
    }
    static void choose(PickaReportWindow* picker, const QString& text)
    {
        for (QRadioButton* r : picker->findChildren<QRadioButton*>())
            if (r->text() == text)
                QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(4, r->height() / 2));
    }
    static void clickPrint(PickaReportWindow* picker)
    {
        for (QToolButton* b : picker->findChildren<QToolButton*>())
            if (b->accessibleName() == u"Print this Report")
                QTest::mouseClick(b, Qt::LeftButton);
    }
    std::shared_ptr<test::ScriptedReportManager> manager;
};

TEST_F(ReportsInFrameTest, ThePickerNamesTheAccountAndPrintsNothingWithoutAChoice)
{
    PickaReportWindow* picker = openPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->windowTitle(), QStringLiteral("Report Transactions for Alpha Bank ( VISA CARD )"));
    EXPECT_TRUE(test::controlsWithoutNames(*picker).isEmpty()) << test::controlsWithoutNames(*picker).join(u',');
    EXPECT_EQ(test::mnemonicClashes(*picker, menuTitles()), QStringList());
    // The child window shows its whole title, not "Rep... (... )".
    const QWidget* sub = picker->parentWidget();
    EXPECT_LT(sub->fontMetrics().horizontalAdvance(sub->windowTitle()), sub->width() - 60) << sub->windowTitle().toStdString();
    clickPrint(picker);
    settle();
    EXPECT_EQ(manager->asked, 0);
    EXPECT_EQ(child<PickaReportWindow>(), picker);
}

TEST_F(ReportsInFrameTest, TheChoiceIsMadeWithTheArrowKeys)
{
    PickaReportWindow* picker = openPicker();
    ASSERT_TRUE(picker);
    QRadioButton* first = picker->findChildren<QRadioButton*>().first();
    first->setFocus();
    settle();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    settle();
    EXPECT_EQ(picker->choice(), QStringLiteral("Purchases"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(picker->choice(), QStringLiteral("History"));
}

TEST_F(ReportsInFrameTest, OpenTransactionsRunFromThePickerAndThePickerStaysForTheNext)
{
    PickaReportWindow* picker = openPicker();
    choose(picker, QStringLiteral("Open Transactions for this Account"));
    EXPECT_EQ(picker->choice(), QStringLiteral("Open"));
    manager->answers.push_back(ReportDestination::Preview);
    clickPrint(picker);
    settle();
    EXPECT_EQ(manager->presented, 1);
    EXPECT_EQ(manager->lastTitle, QStringLiteral("Open Transactions"));
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Alpha Bank")));
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("$42.00"))); // the opening balance is open
    EXPECT_EQ(child<PickaReportWindow>(), picker);
    EXPECT_EQ(child<reports::ProgressWindow>(), nullptr);
}

TEST_F(ReportsInFrameTest, CancellingTheDateWindowStillPrintsAndTypedDatesAreTheNextDefaults)
{
    const platform::DayNumber today = core::glo().runDate;
    PickaReportWindow* picker = openPicker();
    choose(picker, QStringLiteral("Purchases Made on this Account"));

    // The dates are typed, then the window is left with Cancel.
    bool typed = false;
    QTimer::singleShot(0, [&typed] {
        auto* dates = qobject_cast<reports::UpdateDatesWindow*>(QApplication::activeModalWidget());
        if (!dates)
            return;
        QLineEdit* start = dates->startDate()->findChild<QLineEdit*>();
        start->selectAll();
        QTest::keyClicks(start, QStringLiteral("01/02/2020"));
        QTest::keyClick(dates->startDate(), Qt::Key_Tab);
        QTest::keyClick(dates->endDate(), Qt::Key_Up); // a day later by the arrow key
        typed = true;
        QTest::keyClick(dates, Qt::Key_Escape);
    });
    manager->answers.push_back(ReportDestination::Cancelled);
    clickPrint(picker);
    settle();
    EXPECT_TRUE(typed);
    EXPECT_EQ(manager->asked, 1); // the report went on to its destination
    EXPECT_EQ(core::glo().lowDate, platform::dayNumberOf(2020, 1, 2));
    EXPECT_EQ(core::glo().highDate, today + 1);

    // The next date window starts from them; OK keeps them.
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* dates = qobject_cast<reports::UpdateDatesWindow*>(QApplication::activeModalWidget())) {
            shown = dates->startDate()->text();
            QTest::keyClick(dates, Qt::Key_Return);
        }
    });
    manager->answers.push_back(ReportDestination::Cancelled);
    clickPrint(picker);
    settle();
    EXPECT_EQ(shown, QStringLiteral("01/02/2020"));
    EXPECT_EQ(manager->asked, 2);
}

TEST_F(ReportsInFrameTest, TheMenuAndTheToolbarPrintAllAccounts)
{
    manager->answers.push_back(ReportDestination::Preview);
    QAction* item = nullptr;
    for (QAction* menu : frame->menuBar()->actions())
        if (menu->menu())
            for (QAction* a : menu->menu()->actions())
                if (a->text() == u"Print All Credit Card Account &Information")
                    item = a;
    ASSERT_TRUE(item);
    item->trigger();
    settle();
    EXPECT_EQ(manager->presented, 1);
    EXPECT_EQ(manager->lastTitle, QStringLiteral("Personal Credit Card Account Information"));
    EXPECT_TRUE(manager->texts.contains(QStringLiteral("Alpha Bank")));

    manager->answers.push_back(ReportDestination::Preview);
    press(PrintAll);
    EXPECT_EQ(manager->presented, 2);
}

TEST_F(ReportsInFrameTest, TheProgressWindowIsAChildWindowWhileTheReportIsMade)
{
    reports::ReportRun::setAutoRun(false);
    manager->answers.push_back(ReportDestination::Preview);
    press(PrintAll);
    auto* progress = child<reports::ProgressWindow>();
    ASSERT_TRUE(progress);
    EXPECT_TRUE(test::controlsWithoutNames(*progress).isEmpty());
    // Closing it by its frame asks as Cancel does.
    messages().answer(platform::Button::No);
    qobject_cast<QMdiSubWindow*>(progress->parentWidget())->close();
    settle();
    EXPECT_EQ(messages().shown().size(), 1u);
    ASSERT_EQ(child<reports::ProgressWindow>(), progress);
    messages().answer(platform::Button::Yes);
    QTest::keyClick(progress, Qt::Key_Escape);
    settle();
    EXPECT_EQ(child<reports::ProgressWindow>(), nullptr);
    EXPECT_EQ(manager->presented, 0);
    reports::ReportRun::setAutoRun(true);
}

} // namespace
