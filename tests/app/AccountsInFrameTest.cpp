// The accounts list and form inside the main frame, as a user meets them.
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "accounts/UpdateAccountsWindow.h"
#include "app/MainFrame.h"
#include "core/GlobalState.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "tests/support/Mnemonics.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace fundora;

namespace {

class AccountsInFrameTest : public test::ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        core::resetGlobalState();
        files = std::make_unique<core::DataFiles>(dir());
        core::DataFiles::setCurrent(files.get());
        accounts::registerAccountProcedures();
        frame = std::make_unique<app::MainFrame>(*files, dir());
        ASSERT_TRUE(frame->open());
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        frame->close();
        frame.reset();
        files.reset();
        ProgramTest::TearDown();
    }
    template <class W>
    W* child() const
    {
        for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList())
            if (auto* w = dynamic_cast<W*>(sub->widget()))
                return w;
        return nullptr;
    }
    // The account form, opened as a user opens it: the Insert key in the active accounts list.
    accounts::UpdateAccountsWindow* insertWithTheKey(accounts::BrowseAccountsWindow* browse)
    {
        frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(browse->parentWidget()));
        QTest::keyClick(browse->list()->table(), Qt::Key_Insert);
        settle();
        return child<accounts::UpdateAccountsWindow>();
    }
    void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    std::unique_ptr<core::DataFiles> files;
    std::unique_ptr<app::MainFrame> frame;
};

TEST_F(AccountsInFrameTest, TheAccountsListOpensFirstAndEnablesTheAccountButtonsItCan)
{
    auto* browse = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(browse, nullptr) << "the accounts list is the first window";
    EXPECT_EQ(browse->windowTitle(), QStringLiteral("Browse Credit Card Accounts"));
    EXPECT_EQ(browse->list()->shownEmptyText(), QStringLiteral("No cards yet. Press Insert to add your first card."))
        << "an empty register says what to do first";
    EXPECT_EQ(browse->list()->table()->accessibleDescription(), browse->list()->shownEmptyText());
    EXPECT_FALSE(frame->isToolbarButtonEnabled(core::Command::History)) << "no history window in this build yet";
    EXPECT_FALSE(frame->isToolbarButtonEnabled(core::Command::Change)) << "the toolbar mirrors the empty list";
    EXPECT_TRUE(frame->isToolbarButtonEnabled(core::Command::Insert));
    browse->button(QStringLiteral("Close"))->click();
    settle();
    EXPECT_EQ(child<accounts::BrowseAccountsWindow>(), nullptr);
    EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty()) << "no empty window frame is left behind";
    EXPECT_TRUE(files->accounts.file().isOpen()) << "the frame still holds Accounts";
}

TEST_F(AccountsInFrameTest, AddingAnAccountThroughTheToolbarShowsItInTheList)
{
    auto* browse = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(browse, nullptr);
    frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(browse->parentWidget()));
    frame->toolbarAction(core::Command::Insert)->trigger();
    settle();
    auto* form = child<accounts::UpdateAccountsWindow>();
    ASSERT_NE(form, nullptr) << "the form opens as a child window";
    EXPECT_FALSE(browse->isEnabled()) << "the list waits for its form";
    EXPECT_EQ(frame->toolbarAction(core::Command::NextRecord)->toolTip(), QStringLiteral("Save record and add another"));
    form->edit(QStringLiteral("Credit Card &Vendor:"))->setText(QStringLiteral("Frame Bank"));
    form->edit(QStringLiteral("Current &Balance:"))->setText(QStringLiteral("75.25"));
    form->pressOk();
    settle();
    EXPECT_EQ(child<accounts::UpdateAccountsWindow>(), nullptr);
    EXPECT_TRUE(browse->isEnabled());
    ASSERT_EQ(browse->list()->model()->rowCount(), 1);
    EXPECT_EQ(browse->list()->shownEmptyText(), QString()) << "the hint goes with the first card";
    EXPECT_EQ(browse->list()->model()->index(0, 0).data().toString(), QStringLiteral("Frame Bank"));
    EXPECT_EQ(browse->detail(QStringLiteral("Total Outstanding Debt")), QStringLiteral("$75.25"));
    EXPECT_EQ(core::glo().currentSysid, 1);
    EXPECT_TRUE(frame->isToolbarButtonEnabled(core::Command::Change));
}

TEST_F(AccountsInFrameTest, AWholeAccountTypedWithKeysOnlyIsSavedAsTypedAndAnEmptyOneIsRefused)
{
    auto* browse = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(browse, nullptr);
    accounts::UpdateAccountsWindow* form = insertWithTheKey(browse);
    ASSERT_NE(form, nullptr);
    auto type = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    auto tab = [this] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        settle();
    };
    auto focused = [] { return QApplication::focusWidget() ? QApplication::focusWidget()->accessibleName() : QString(); };

    EXPECT_EQ(test::mnemonicClashes(*form, test::menuTitles(*frame->menuBar())), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*browse, test::menuTitles(*frame->menuBar())), QStringList());
    // Enter on the empty form: refused, saying what is missing; nothing saved.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    ASSERT_EQ(child<accounts::UpdateAccountsWindow>(), form);
    EXPECT_TRUE(form->problem().contains(QStringLiteral("Enter the credit card vendor"))) << form->problem();
    EXPECT_EQ(focused(), QStringLiteral("Credit Card Vendor"));

    type(QStringLiteral("Keyboard Bank"));
    tab();
    type(QStringLiteral("1 Main St"));
    tab();
    tab(); // Address 2 left blank
    type(QStringLiteral("Springfield"));
    tab();
    type(QStringLiteral("IL"));
    tab();
    type(QStringLiteral("62701"));
    tab();
    EXPECT_EQ(focused(), QStringLiteral("Visa"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(focused(), QStringLiteral("Discover"));
    tab();
    EXPECT_EQ(focused(), QStringLiteral("Account Number")) << "Tab leaves the card types for the next entry, whichever type is chosen";
    type(QStringLiteral("5500 0000 1111 2222"));
    tab();
    type(QStringLiteral("12/31/2029"));
    tab();
    type(QStringLiteral("2500"));
    tab();
    type(QStringLiteral("100"));
    tab();
    type(QStringLiteral("19.99"));
    tab();
    type(QStringLiteral("15"));
    tab();
    // A letter in a telephone number is refused, saying what is accepted, not dropped.
    type(QStringLiteral("800-55A-1234"));
    tab();
    EXPECT_EQ(focused(), QStringLiteral("Balance Info")) << "the refused entry keeps the focus";
    EXPECT_TRUE(form->problem().contains(QStringLiteral("no letters"))) << form->problem();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("800-555-1234"));
    tab();
    type(QStringLiteral("(800) 555-9999"));
    tab();
    EXPECT_EQ(focused(), QStringLiteral("Notes"));
    tab();
    EXPECT_EQ(focused(), QStringLiteral("OK"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    ASSERT_EQ(child<accounts::UpdateAccountsWindow>(), nullptr) << form->problem();

    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    const core::Account& a = files->accounts.record;
    EXPECT_EQ(a.creditCardVendor, QStringLiteral("Keyboard Bank"));
    EXPECT_EQ(a.vendorAddr1, QStringLiteral("1 Main St"));
    EXPECT_EQ(a.vendorCity, QStringLiteral("Springfield"));
    EXPECT_EQ(a.vendorState, QStringLiteral("IL"));
    EXPECT_EQ(a.vendorZip.trimmed(), QStringLiteral("62701"));
    EXPECT_EQ(a.cardType, QStringLiteral("D"));
    EXPECT_EQ(a.accountNumber, QStringLiteral("5500 0000 1111 2222"));
    EXPECT_EQ(a.creditLimit.toString(), QStringLiteral("2500.00"));
    EXPECT_EQ(a.accountBalance.toString(), QStringLiteral("100.00"));
    EXPECT_EQ(a.billingDay, 15);
    EXPECT_EQ(a.balanceInfoPhone.integerPart(), 8005551234);
    EXPECT_EQ(a.lostCardPhone.integerPart(), 8005559999);
}

TEST_F(AccountsInFrameTest, ListWindowsAreLeftAndClosedWithKeysAndTheWindowsAreSwitchedWithCtrlF6)
{
    auto* browse = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(browse, nullptr);
    for (int i = 0; i < 2; ++i) {
        files->accounts.clear();
        files->accounts.record.sysId = i + 1;
        files->accounts.record.creditCardVendor = QStringLiteral("Bank %1").arg(i + 1);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(browse->parentWidget()));
    browse->gainedFocus();
    settle();
    QTableView* table = browse->list()->table();
    table->setFocus();
    settle();
    ASSERT_GT(browse->list()->model()->rowCount(), 0);
    // Tab leaves a list with rows for the next control.
    QTest::keyClick(table, Qt::Key_Tab);
    settle();
    EXPECT_NE(QApplication::focusWidget(), table);
    EXPECT_TRUE(browse->isAncestorOf(QApplication::focusWidget()));
    // Close has a key of its own; no two buttons of the window share one.
    const QString closeText = browse->button(QStringLiteral("Close"))->text();
    EXPECT_TRUE(closeText.contains(u'&')) << closeText;

    // A second window, then Ctrl+F6 back and forth between them; the Window menu names both.
    frame->toolbarAction(core::Command::Insert)->trigger(); // the account form, a window of its own
    settle();
    auto* form = child<accounts::UpdateAccountsWindow>();
    ASSERT_NE(form, nullptr);
    QMdiSubWindow* formFrame = frame->mdiArea()->activeSubWindow();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ControlModifier);
    settle();
    EXPECT_NE(frame->mdiArea()->activeSubWindow(), formFrame);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ControlModifier);
    settle();
    EXPECT_EQ(frame->mdiArea()->activeSubWindow(), formFrame);
    QStringList listed;
    for (QAction* a : frame->windowMenu()->actions())
        listed << a->text();
    emit frame->windowMenu()->aboutToShow();
    listed.clear();
    for (QAction* a : frame->windowMenu()->actions())
        listed << QString(a->text()).remove(u'&');
    EXPECT_TRUE(listed.contains(QStringLiteral("1 Browse Credit Card Accounts"))) << listed.join(u'|');
    EXPECT_TRUE(listed.contains(QStringLiteral("2 ") + form->windowTitle())) << listed.join(u'|');
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    settle();
    ASSERT_EQ(child<accounts::UpdateAccountsWindow>(), nullptr);

    // Escape, and Ctrl+F4, close a list window.
    frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(browse->parentWidget()));
    table->setFocus();
    settle();
    QTest::keyClick(table, Qt::Key_Escape);
    settle();
    EXPECT_EQ(child<accounts::BrowseAccountsWindow>(), nullptr);
    frame->startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    browse = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(browse, nullptr);
    browse->list()->table()->setFocus();
    QTest::keyClick(browse->list()->table(), Qt::Key_F4, Qt::ControlModifier);
    settle();
    EXPECT_EQ(child<accounts::BrowseAccountsWindow>(), nullptr);
}

TEST_F(AccountsInFrameTest, EveryRefusedEntrySaysWhatIsAccepted)
{
    auto* browse = child<accounts::BrowseAccountsWindow>();
    ASSERT_NE(browse, nullptr);
    accounts::UpdateAccountsWindow* form = insertWithTheKey(browse);
    ASSERT_NE(form, nullptr);
    const struct {
        const char* prompt;
        const char* typed;
        const char* says;
    } cases[] = {
        {"&Exp Date:", "02/30/2026", "mm/dd/yyyy"},    {"&Exp Date:", "2026-12-07", "mm/dd/yyyy"},
        {"Credit &Limit:", "12a0", "1,250.00"},        {"Interest &Rate:", "24.99%", "1,250.00"},
        {"Vendor address zip code", "1985A", "#####"}, {"Vendor address zip code", "571170001", "#####"},
    };
    for (const auto& c : cases) {
        QLineEdit* e = form->edit(QString::fromLatin1(c.prompt));
        ASSERT_NE(e, nullptr) << c.prompt;
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, QString::fromLatin1(c.typed));
        QTest::keyClick(e, Qt::Key_Tab);
        settle();
        EXPECT_TRUE(form->problem().contains(QString::fromLatin1(c.says)))
            << c.prompt << " " << c.typed << ": \"" << form->problem() << '"';
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClick(e, Qt::Key_Tab);
        settle();
    }
}

} // namespace
