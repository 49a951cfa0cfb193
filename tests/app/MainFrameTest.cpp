#include "app/MainFrame.h"
#include "core/GlobalState.h"
#include "core/Help.h"
#include "core/OptionFiles.h"
#include "core/Procedures.h"
#include "platform/IniFile.h"
#include "platform/ipc/DdeLink.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>

using namespace fundora;
using namespace fundora::core::Command;

namespace {

// A child window that records the toolbar commands that reach it.
class RecordingChild : public QWidget, public core::ToolbarTarget {
public:
    QList<int> received;
    void onToolbarCommand(int command) override { received << command; }
};

class MainFrameTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        core::resetGlobalState();
        files = std::make_unique<core::DataFiles>(dir());
        core::registerProcedure(QStringLiteral("TestChild"), [] {
            auto* c = new RecordingChild();
            c->setWindowTitle(QStringLiteral("Test child"));
            return c;
        });
        frame = std::make_unique<app::MainFrame>(*files, dir());
        ASSERT_TRUE(frame->open());
    }
    void TearDown() override
    {
        frame->close();
        frame.reset();
        files.reset();
        ProgramTest::TearDown();
    }
    RecordingChild* startChild()
    {
        EXPECT_TRUE(frame->startProcedure(QStringLiteral("TestChild")));
        auto* sub = frame->mdiArea()->subWindowList().last();
        frame->mdiArea()->setActiveSubWindow(sub);
        return dynamic_cast<RecordingChild*>(sub->widget());
    }
    void press(int command)
    {
        frame->toolbarAction(command)->trigger();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<core::DataFiles> files;
    std::unique_ptr<app::MainFrame> frame;
};

TEST_F(MainFrameTest, StartsWithItsMenusToolbarAndAccountsFile)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Fundora 2000"));
    QStringList menus;
    for (QAction* a : frame->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Browse", "&Reports", "On&Line", "&Window", "&Help"}));
    EXPECT_EQ(frame->toolbarAction(Payment)->toolTip(), QStringLiteral("Record a Payment for Selected Account"));
    EXPECT_EQ(frame->toolbarAction(LastPage)->toolTip(), QStringLiteral("Go to the Last Page"));
    EXPECT_EQ(frame->toolbarAction(Exit)->toolTip(), QStringLiteral("Exit Fundora"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("ACCOUNTS.TPS"))));
    EXPECT_TRUE(files->accounts.file().isOpen());
    for (int c : {Payment, History, Current, Report})
        EXPECT_FALSE(frame->isToolbarButtonEnabled(c)) << c;
    EXPECT_TRUE(frame->isToolbarButtonEnabled(Insert));
    EXPECT_EQ(core::glo().lowDate, clock().today() - 30);
    EXPECT_EQ(core::glo().frameWindow, frame.get());
    EXPECT_EQ(test::controlsWithoutNames(*frame), QStringList());
}

TEST_F(MainFrameTest, EveryToolbarButtonShowsItsPicture)
{
    for (int c : {0,      FirstPage, PreviousPage, PreviousRecord, Locate,   NextRecord, NextPage, LastPage, Select, Insert,   Change,
                  Delete, Ditto,     Help,         Calculator,     Calendar, Payment,    History,  Current,  Report, PrintAll, Exit}) {
        const QImage image = frame->toolbarAction(c)->icon().pixmap(24, 24).toImage();
        ASSERT_FALSE(image.isNull()) << c;
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 20) << "button " << c << " shows no picture";
    }
}

TEST_F(MainFrameTest, ToolbarPressReachesTheActiveChildOnlyAndLater)
{
    RecordingChild* first = startChild();
    RecordingChild* second = startChild();
    frame->toolbarAction(NextRecord)->trigger();
    EXPECT_TRUE(second->received.isEmpty()) << "posted, not called";
    QCoreApplication::processEvents();
    EXPECT_EQ(second->received, QList<int>{NextRecord});
    EXPECT_TRUE(first->received.isEmpty());
    frame->mdiArea()->setActiveSubWindow(frame->mdiArea()->subWindowList()[frame->mdiArea()->subWindowList().size() - 2]);
    press(Help);
    EXPECT_EQ(first->received, QList<int>{Help});
}

TEST_F(MainFrameTest, ToolbarPressWithNoChildDoesNothing)
{
    frame->mdiArea()->closeAllSubWindows();
    ASSERT_EQ(frame->mdiArea()->activeSubWindow(), nullptr);
    press(NextRecord);
    press(Insert);
    SUCCEED() << "no child, no crash, no message";
    EXPECT_TRUE(messages().shown().empty());
}

TEST_F(MainFrameTest, StatusBarShowsTheDayAndChangesAtMidnight)
{
    clock().set(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)));
    frame->tick();
    EXPECT_EQ(frame->statusDate(), QStringLiteral("Sunday, December 6, 2026"));
    EXPECT_EQ(frame->statusTime(), QStringLiteral("11:59 PM"));
    clock().advanceSeconds(1);
    frame->tick();
    EXPECT_EQ(frame->statusDate(), QStringLiteral("Monday, December 7, 2026"));
    EXPECT_EQ(frame->statusTime(), QStringLiteral("12:00 AM"));
    EXPECT_EQ(frame->timerIntervalMs(), 1000);
}

TEST_F(MainFrameTest, BackupUtilityCanTellThatFundoraRuns)
{
    EXPECT_TRUE(frame->ddeServer().isRegistered());
    EXPECT_TRUE(platform::ddeServerRunning(QString(), QStringLiteral("Vaultbak")));
    EXPECT_FALSE(platform::ddeServerRunning(QString(), QStringLiteral("SomethingElse")));
    frame->close();
    EXPECT_FALSE(platform::ddeServerRunning(QString(), QStringLiteral("Vaultbak")));
}

TEST_F(MainFrameTest, ClosingReleasesAccountsSavesThePositionAndClosesChildren)
{
    startChild();
    frame->move(40, 50);
    frame->close();
    EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(files->accounts.file().isOpen());
    EXPECT_EQ(platform::IniFile::read(path(QStringLiteral("fundora.INI")), QStringLiteral("Main"), QStringLiteral("Maximize")),
              QStringLiteral("No"));
}

TEST_F(MainFrameTest, AccountButtonsFollowWhatTheListsSay)
{
    core::ProcedureHost::current()->setToolbarButtonEnabled(History, true);
    EXPECT_TRUE(frame->isToolbarButtonEnabled(History));
    EXPECT_FALSE(frame->isToolbarButtonEnabled(Payment));
}

TEST(PopupOptionFiles, WrittenAtStart)
{
    QTemporaryDir d;
    ASSERT_TRUE(core::writePopupOptionFiles(d.path()));
    const QString calc = d.filePath(QStringLiteral("CALC.INI"));
    EXPECT_EQ(platform::IniFile::read(calc, QStringLiteral("Options"), QStringLiteral("WHIDE")), QStringLiteral("1"));
    EXPECT_EQ(platform::IniFile::read(calc, QStringLiteral("Options"), QStringLiteral("ENTER")), QStringLiteral("0"));
    EXPECT_TRUE(platform::IniFile::load(calc).value(QStringLiteral("Options"), QStringLiteral("CALC5")).has_value());
    EXPECT_EQ(platform::IniFile::read(d.filePath(QStringLiteral("CALENDAR.INI")), QStringLiteral("Options"), QStringLiteral("SV")),
              QStringLiteral("0"));
}

} // namespace

namespace {

// Every help context the program opens lands on a page that exists, at an anchor on it.
TEST(HelpPages, EveryContextHasItsPageAndAnchor)
{
    for (const char* context :
         {"~FundoraMainWindow", "~Toolbar", "~Popups", "~About", "~Dialer", "~HowToUseHelp", "~Contents", "~BrowseCreditCardAccounts",
          "~UpdateAccounts", "~BrowseCurrentTransactions", "~BrowseTransactions", "~UpdateTransactions", "MemoBrowse", "UpdateMemoCard"}) {
        const QUrl url = core::helpPageOf(QString::fromLatin1(context));
        QFile page(QStringLiteral(":") + url.path());
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << context << " " << url.toString().toStdString();
        const QByteArray html = page.readAll();
        EXPECT_TRUE(html.contains("name=\"" + url.fragment().toLatin1() + "\"")) << context;
    }
}

} // namespace
