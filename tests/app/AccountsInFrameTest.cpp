// The accounts list and form inside the main frame, as a user meets them.
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "accounts/UpdateAccountsWindow.h"
#include "app/MainFrame.h"
#include "core/GlobalState.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "tests/support/TestEnvironment.h"

#include <QAction>
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
    EXPECT_EQ(browse->list()->model()->index(0, 0).data().toString(), QStringLiteral("Frame Bank"));
    EXPECT_EQ(browse->detail(QStringLiteral("Total Outstanding Debt")), QStringLiteral("$75.25"));
    EXPECT_EQ(core::glo().currentSysid, 1);
    EXPECT_TRUE(frame->isToolbarButtonEnabled(core::Command::Change));
}

} // namespace
