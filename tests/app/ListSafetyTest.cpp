// What a user does to a list and its form through keys, buttons and the
// frame's toolbar must never write the wrong record: the Insert key and the
// toolbar while a form is open were found to replace the highlighted account.
#include "accounts/AccountFormRecord.h"
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "accounts/UpdateAccountsWindow.h"
#include "engine/BrowseListView.h"
#include "tests/app/FrameFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace fundora;
namespace Button = platform::Button;

namespace {

class ListSafetyTest : public test::FrameTest {
protected:
    void registerProcedures() override { accounts::registerAccountProcedures(); }
    void SetUp() override
    {
        FrameTest::SetUp();
        // Two accounts, each with its opening balance.
        core::FileUse transactions(*files, core::FileId::Transactions);
        for (const auto& [id, vendor, balance] : {std::tuple{1, "Alpha Bank", "300.00"}, std::tuple{2, "Beta Card", "0"}}) {
            files->accounts.clear();
            files->accounts.record.sysId = id;
            files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
            files->accounts.record.accountNumber = QStringLiteral("4111-%1").arg(id);
            files->accounts.record.balanceInfoPhone = platform::Decimal::fromInteger(8005550100 + id);
            files->accounts.record.accountBalance = *platform::Decimal::parse(QString::fromLatin1(balance));
            files->accounts.record.billingDay = 12;
            ASSERT_TRUE(files->accounts.add().ok());
            ASSERT_TRUE(accounts::AccountFormRecord::bookOpeningBalance(*files).ok());
        }
        browse = child<accounts::BrowseAccountsWindow>();
        ASSERT_NE(browse, nullptr);
        activate(browse);
        browse->gainedFocus();
        QTest::keyClick(browse->list()->table(), Qt::Key_Home);
        settle();
        ASSERT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Alpha Bank")) << "Alpha is highlighted";
        accountsBefore = dump(core::FileId::Accounts);
        transactionsBefore = dump(core::FileId::Transactions);
    }
    enum class Way { InsertKey, InsertButton, ToolbarInsert };
    accounts::UpdateAccountsWindow* openInsert(Way way)
    {
        switch (way) {
        case Way::InsertKey: QTest::keyClick(browse->list()->table(), Qt::Key_Insert); break;
        case Way::InsertButton: QTest::mouseClick(browse->button(QStringLiteral("Insert")), Qt::LeftButton); break;
        case Way::ToolbarInsert: press(core::Command::Insert); break;
        }
        settle();
        return child<accounts::UpdateAccountsWindow>();
    }
    static QPushButton* buttonOf(QWidget* window, const QString& text)
    {
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->accessibleName() == text)
                return b;
        return nullptr;
    }
    QStringList vendors()
    {
        QStringList out;
        for (const QString& row : dump(core::FileId::Accounts))
            out << row.section(u'|', 1, 1);
        return out;
    }

    accounts::BrowseAccountsWindow* browse = nullptr;
    QStringList accountsBefore;
    QStringList transactionsBefore;
};

TEST_F(ListSafetyTest, CancellingAnInsertLeavesEveryRecordAsItWasHoweverItWasStarted)
{
    for (Way way : {Way::InsertKey, Way::InsertButton, Way::ToolbarInsert}) {
        accounts::UpdateAccountsWindow* form = openInsert(way);
        ASSERT_NE(form, nullptr) << static_cast<int>(way);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Adding a Credit Card Account Record"));
        EXPECT_TRUE(form->edit(QStringLiteral("Credit Card &Vendor:"))->text().isEmpty()) << "a new account, not the highlighted one";
        QTest::mouseClick(buttonOf(form, QStringLiteral("Cancel")), Qt::LeftButton);
        settle();
        EXPECT_EQ(child<accounts::UpdateAccountsWindow>(), nullptr);
        EXPECT_EQ(dump(core::FileId::Accounts), accountsBefore) << static_cast<int>(way);
        EXPECT_EQ(dump(core::FileId::Transactions), transactionsBefore) << static_cast<int>(way);
        EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Alpha Bank")) << "still highlighted";
    }
}

TEST_F(ListSafetyTest, SavingAnInsertAddsTheNewAccountAndTouchesNoOtherHoweverItWasStarted)
{
    int n = 0;
    for (Way way : {Way::InsertKey, Way::InsertButton, Way::ToolbarInsert}) {
        accounts::UpdateAccountsWindow* form = openInsert(way);
        ASSERT_NE(form, nullptr);
        const QString vendor = QStringLiteral("New Card %1").arg(++n);
        QTest::keyClicks(form->edit(QStringLiteral("Credit Card &Vendor:")), vendor);
        QTest::keyClicks(form->edit(QStringLiteral("Current &Balance:")), QStringLiteral("25.00"));
        QTest::keyClick(form->edit(QStringLiteral("Current &Balance:")), Qt::Key_Return); // Enter is OK
        settle();
        ASSERT_EQ(child<accounts::UpdateAccountsWindow>(), nullptr) << static_cast<int>(way);
        const QStringList now = dump(core::FileId::Accounts);
        for (const QString& before : accountsBefore)
            EXPECT_TRUE(now.contains(before)) << "unchanged: " << before;
        EXPECT_TRUE(vendors().contains(vendor));
        EXPECT_EQ(now.size(), accountsBefore.size() + n);
        EXPECT_EQ(files->accounts.record.creditCardVendor, vendor) << "the new account is highlighted";
    }
    EXPECT_FALSE(vendors().contains(QString())) << "no empty account is left behind";
    const QStringList transactions = dump(core::FileId::Transactions);
    EXPECT_EQ(transactions.size(), transactionsBefore.size() + 3) << "one opening balance each";
    for (const QString& before : transactionsBefore)
        EXPECT_TRUE(transactions.contains(before));
}

TEST_F(ListSafetyTest, WithAFormOpenTheListBehindItIgnoresTheToolbarAndItsKeys)
{
    accounts::UpdateAccountsWindow* form = openInsert(Way::InsertKey);
    ASSERT_NE(form, nullptr);
    // The greyed list is brought to the front and the toolbar pressed at it.
    activate(browse);
    for (int command : {core::Command::NextRecord, core::Command::LastPage, core::Command::Insert, core::Command::Delete})
        EXPECT_FALSE(frame->toolbarAction(command)->isEnabled()) << command << " is greyed while the list waits for its form";
    for (int command : {core::Command::NextRecord, core::Command::LastPage, core::Command::Delete})
        browse->onToolbarCommand(command); // as the frame would post it
    QTest::keyClick(browse->list()->table(), Qt::Key_Down);
    QTest::keyClick(browse->list()->table(), Qt::Key_Insert);
    settle();
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 2) << "no second form";
    activate(form);
    QTest::keyClicks(form->edit(QStringLiteral("Credit Card &Vendor:")), QStringLiteral("Gamma"));
    form->pressOk();
    settle();
    const QStringList now = dump(core::FileId::Accounts);
    for (const QString& before : accountsBefore)
        EXPECT_TRUE(now.contains(before)) << "unchanged: " << before;
    EXPECT_EQ(vendors(), (QStringList{"Alpha Bank", "Beta Card", "Gamma"}));
}

TEST_F(ListSafetyTest, ClosingTheProgramWithAFormOpenAsksAboutWhatWasTyped)
{
    accounts::UpdateAccountsWindow* form = openInsert(Way::InsertButton);
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->edit(QStringLiteral("Credit Card &Vendor:")), QStringLiteral("Typed Bank"));
    messages().answer(Button::Cancel);
    frame->close();
    settle();
    ASSERT_FALSE(messages().shown().empty());
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Save Record"));
    EXPECT_EQ(messages().shown().back().text, QStringLiteral("Do you want to save the changes to this record?"));
    EXPECT_TRUE(frame->isVisible()) << "Cancel keeps the program running";
    ASSERT_NE(child<accounts::UpdateAccountsWindow>(), nullptr);
    EXPECT_EQ(form->edit(QStringLiteral("Credit Card &Vendor:"))->text(), QStringLiteral("Typed Bank"));

    messages().answer(Button::Yes);
    frame->close();
    settle();
    EXPECT_TRUE(vendors().contains(QStringLiteral("Typed Bank"))) << "Yes saves it";
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(ListSafetyTest, ClosingTheListWaitsForItsForm)
{
    accounts::UpdateAccountsWindow* form = openInsert(Way::InsertButton);
    ASSERT_NE(form, nullptr);
    // Its window frame's close box is not greyed with the list inside it.
    qobject_cast<QMdiSubWindow*>(browse->parentWidget())->close();
    settle();
    EXPECT_EQ(child<accounts::UpdateAccountsWindow>(), nullptr) << "the form closed first (nothing was typed, nothing asked)";
    EXPECT_EQ(child<accounts::BrowseAccountsWindow>(), nullptr);
    EXPECT_EQ(dump(core::FileId::Accounts), accountsBefore);
}

} // namespace
