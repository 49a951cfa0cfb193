// The account form driven as a user would: type into its fields, press its buttons.
#include "accounts/UpdateAccountsWindow.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/Station.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace fundora;
using accounts::UpdateAccountsWindow;
namespace Button = platform::Button;

namespace {

class AccountFormTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        core::resetGlobalState();
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Accounts));
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Transactions));
    }
    // Opens the form for `request` on the buffer as it is.
    UpdateAccountsWindow* openForm(core::Request request)
    {
        auto* form = new UpdateAccountsWindow(*files);
        form->run(request, [this](core::Response r, core::Navigation n) {
            response = r;
            navigation = n;
            ended = true;
        });
        return form;
    }
    void finishEvents() { QCoreApplication::processEvents(); }
    void type(UpdateAccountsWindow* form, const char* prompt, const QString& text)
    {
        QLineEdit* e = form->edit(QString::fromLatin1(prompt));
        ASSERT_NE(e, nullptr) << prompt;
        e->setText(text);
    }
    int accounts()
    {
        std::int64_t n = 0;
        files->accounts.file().count(n);
        return static_cast<int>(n);
    }
    std::vector<core::Transaction> transactions()
    {
        std::vector<core::Transaction> out;
        files->transactions.set(core::TraSysIDKey);
        while (files->transactions.next().ok())
            out.push_back(files->transactions.record);
        return out;
    }
    void addAccount(std::int32_t id, const char* vendor)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
        files->accounts.record.billingDay = 15;
        ASSERT_TRUE(files->accounts.add().ok());
    }

    core::Response response = core::Response::None;
    core::Navigation navigation = core::Navigation::LastPage; // anything but what a form hands back
    bool ended = false;
};

TEST_F(AccountFormTest, NewAccountBooksItsOpeningBalance)
{
    files->accounts.clear();
    UpdateAccountsWindow* form = openForm(core::Request::Insert);
    ASSERT_TRUE(form->isOpen());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Adding a Credit Card Account Record"));
    EXPECT_EQ(accounts(), 1) << "the number is taken at once";
    type(form, "Credit Card &Vendor:", QStringLiteral("First Bank"));
    type(form, "Current &Balance:", QStringLiteral("1,250.00"));
    form->pressOk();
    finishEvents();
    ASSERT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Completed);
    ASSERT_EQ(accounts(), 1);
    const auto t = transactions();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].sysId, 1);
    EXPECT_EQ(t[0].transactionType, QStringLiteral("B"));
    EXPECT_EQ(t[0].transactionDescription, QStringLiteral("Initial Account Balance"));
    EXPECT_EQ(t[0].transactionAmount.toString(), QStringLiteral("1250.00"));
    EXPECT_EQ(t[0].reconciledTransaction, 0);
    EXPECT_EQ(t[0].dateofTransaction, clock().today());
    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("First Bank"));
    EXPECT_EQ(files->accounts.record.cardType, QStringLiteral("V")) << "the insert default";
    EXPECT_EQ(files->accounts.record.billingDay, 10);
}

TEST_F(AccountFormTest, TheAccountAndItsOpeningBalanceAreOneCommit)
{
    files->accounts.clear();
    UpdateAccountsWindow* form = openForm(core::Request::Insert);
    type(form, "Credit Card &Vendor:", QStringLiteral("Held Bank"));
    type(form, "Current &Balance:", QStringLiteral("300.00"));
    // Another station holds the files: the save cannot begin.
    const QString ready = path(QStringLiteral("held"));
    auto holder = test::Station::start({QStringLiteral("hold"), registerArgument(), ready});
    ASSERT_TRUE(test::Station::waitForFile(ready));
    messages().answer(Button::Ok);
    form->pressOk();
    EXPECT_FALSE(ended) << "the form stays open with what was typed";
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Record Insert Error"));
    EXPECT_TRUE(transactions().empty()) << "no opening balance without its account";
    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_TRUE(files->accounts.record.creditCardVendor.isEmpty()) << "the account is still only primed";
    holder->closeWriteChannel();
    ASSERT_TRUE(holder->waitForFinished(10000));

    EXPECT_EQ(form->edit(QStringLiteral("Credit Card &Vendor:"))->text(), QStringLiteral("Held Bank"));
    form->pressOk();
    finishEvents();
    ASSERT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Completed);
    const auto t = transactions();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].transactionAmount.toString(), QStringLiteral("300.00"));
}

TEST_F(AccountFormTest, BlankBalanceBooksZero)
{
    files->accounts.clear();
    UpdateAccountsWindow* form = openForm(core::Request::Insert);
    type(form, "Credit Card &Vendor:", QStringLiteral("Zero Bank"));
    type(form, "Current &Balance:", QString());
    form->pressOk();
    finishEvents();
    const auto t = transactions();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_TRUE(t[0].transactionAmount.isZero());
}

TEST_F(AccountFormTest, CancellingANewAccountLeavesNothing)
{
    files->accounts.clear();
    UpdateAccountsWindow* form = openForm(core::Request::Insert);
    type(form, "Credit Card &Vendor:", QStringLiteral("Never Mind"));
    form->pressCancel();
    finishEvents();
    EXPECT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Cancelled);
    EXPECT_EQ(accounts(), 0);
    EXPECT_TRUE(transactions().empty());
}

TEST_F(AccountFormTest, BillingDayOutOfRangeKeepsTheFormOpen)
{
    files->accounts.clear();
    UpdateAccountsWindow* form = openForm(core::Request::Insert);
    type(form, "Credit Card &Vendor:", QStringLiteral("Range Bank"));
    for (const char* bad : {"0", "29"}) {
        type(form, "Billing &Day:", QString::fromLatin1(bad));
        messages().answer(Button::Ok);
        form->pressOk();
        finishEvents();
        EXPECT_FALSE(ended) << bad;
        ASSERT_FALSE(messages().shown().empty());
        EXPECT_EQ(messages().shown().back().title, QStringLiteral("Range Error"));
        EXPECT_EQ(messages().shown().back().text, QStringLiteral("The value of ACC:BillingDay must be between 1 and 28."));
    }
    type(form, "Billing &Day:", QStringLiteral("28"));
    form->pressOk();
    finishEvents();
    EXPECT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Completed);
}

TEST_F(AccountFormTest, UnchangedOkWritesNothingAndCompletes)
{
    addAccount(5, "Steady Bank");
    const auto version = files->accounts.record.identity.version;
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Changing a Credit Card Account Record"));
    EXPECT_FALSE(form->edit(QStringLiteral("Current &Balance:"))->isEnabled()) << "the balance changes only through transactions";
    form->pressOk();
    finishEvents();
    EXPECT_EQ(response, core::Response::Completed);
    EXPECT_EQ(navigation, core::Navigation::None);
    files->accounts.clear();
    files->accounts.record.sysId = 5;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.identity.version, version) << "nothing was written";
}

TEST_F(AccountFormTest, UnchangedSaveAndNextWritesNothingAndCancels)
{
    addAccount(6, "Steady Bank");
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    EXPECT_EQ(form->toolbarState().at(core::Command::NextRecord).tip, QStringLiteral("Save changes and go to next record"));
    form->onToolbarCommand(core::Command::NextRecord);
    finishEvents();
    EXPECT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Cancelled);
    EXPECT_EQ(navigation, core::Navigation::NextRecord);
}

TEST_F(AccountFormTest, AChangeIsSavedThroughTheGuardedUpdate)
{
    addAccount(7, "Old Name");
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    type(form, "Credit Card &Vendor:", QStringLiteral("New Name"));
    form->findChildren<QRadioButton*>()[3]->click(); // American Express
    form->pressOk();
    finishEvents();
    EXPECT_EQ(response, core::Response::Completed);
    files->accounts.clear();
    files->accounts.record.sysId = 7;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("New Name"));
    EXPECT_EQ(files->accounts.record.cardType, QStringLiteral("A"));
}

TEST_F(AccountFormTest, DeleteIsConfirmedWithoutAWindow)
{
    addAccount(8, "Gone Bank");
    messages().answer(Button::Cancel);
    openForm(core::Request::Delete);
    EXPECT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Cancelled);
    EXPECT_EQ(accounts(), 1);
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Confirm Delete"));
    ended = false;
    messages().answer(Button::Ok);
    openForm(core::Request::Delete);
    EXPECT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Completed);
    EXPECT_EQ(accounts(), 0);
}

TEST_F(AccountFormTest, PictureRefusesAnEntryAndTheSweepStopsThere)
{
    addAccount(9, "Zip Bank");
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    type(form, "Credit &Limit:", QStringLiteral("100000.00")); // beyond DECIMAL(4,2)
    form->pressOk();
    finishEvents();
    EXPECT_FALSE(ended) << "a value the field cannot hold is refused, not cut";
    QLineEdit* limit = form->edit(QStringLiteral("Credit &Limit:"));
    EXPECT_EQ(limit->text(), QStringLiteral("100000.00")) << "what was typed stays";
    EXPECT_EQ(limit->selectedText(), QStringLiteral("100000.00")) << "selected, to be typed over";
    EXPECT_EQ(form->problem(),
              QStringLiteral("Enter an amount of at most 99,999.99, written like 1,250.00 or -1,250.00 (no letters or %)"));
    type(form, "&Exp Date:", QStringLiteral("13/45/2026"));
    type(form, "Credit &Limit:", QStringLiteral("2,500"));
    form->pressOk();
    finishEvents();
    EXPECT_FALSE(ended);
    EXPECT_EQ(form->edit(QStringLiteral("&Exp Date:"))->text(), QStringLiteral("13/45/2026"));
    EXPECT_EQ(form->problem(), QStringLiteral("Enter a date as mm/dd/yyyy"));
    type(form, "&Exp Date:", QStringLiteral("12/31/2027"));
    form->pressOk();
    finishEvents();
    EXPECT_TRUE(ended);
    files->accounts.clear();
    files->accounts.record.sysId = 9;
    files->accounts.get(core::AccSysIDKey);
    EXPECT_EQ(files->accounts.record.creditLimit.toString(), QStringLiteral("2500.00"));
}

TEST_F(AccountFormTest, EscapeCancelsAndEnterPressesOk)
{
    addAccount(4, "Key Bank");
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    QTest::keyClicks(form->edit(QStringLiteral("Address &1:")), QStringLiteral("1 Main St"));
    QTest::keyClick(form->edit(QStringLiteral("Address &1:")), Qt::Key_Escape);
    finishEvents();
    ASSERT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Cancelled);
    files->accounts.clear();
    files->accounts.record.sysId = 4;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_TRUE(files->accounts.record.vendorAddr1.isEmpty());

    ended = false;
    form = openForm(core::Request::Change);
    QTest::keyClicks(form->edit(QStringLiteral("Address &1:")), QStringLiteral("1 Main St"));
    QTest::keyClick(form->edit(QStringLiteral("Address &1:")), Qt::Key_Return);
    finishEvents();
    ASSERT_TRUE(ended);
    EXPECT_EQ(response, core::Response::Completed);
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.vendorAddr1, QStringLiteral("1 Main St"));
}

TEST_F(AccountFormTest, TheFormEditsItsOwnCopyNotTheSharedBuffer)
{
    addAccount(5, "Own Bank");
    addAccount(6, "Other Bank");
    files->accounts.clear();
    files->accounts.record.sysId = 5;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    type(form, "Address &1:", QStringLiteral("5 Own Road"));
    // Another window (a second accounts list) loads another account into the buffer meanwhile.
    files->accounts.clear();
    files->accounts.record.sysId = 6;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    form->pressOk();
    finishEvents();
    ASSERT_TRUE(ended);
    files->accounts.clear();
    files->accounts.record.sysId = 6;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Other Bank"));
    EXPECT_TRUE(files->accounts.record.vendorAddr1.isEmpty()) << "the other account is untouched";
    files->accounts.record.sysId = 5;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.vendorAddr1, QStringLiteral("5 Own Road"));
}

TEST_F(AccountFormTest, EveryControlHasAnAccessibleName)
{
    addAccount(11, "Named Bank");
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    EXPECT_EQ(test::controlsWithoutNames(*form), QStringList());
    form->pressCancel();
    finishEvents();
}

TEST_F(AccountFormTest, NotesIndicatorShowsWhetherTheAccountHasMemoCards)
{
    ASSERT_TRUE(core::acquireFile(*files, core::FileId::MemoCard));
    files->memoCards.clear();
    files->memoCards.record.type = QStringLiteral("ACC");
    files->memoCards.record.secondId = QStringLiteral("4111-22");
    ASSERT_TRUE(files->memoCards.add().ok());
    addAccount(12, "With Notes");
    files->accounts.record.accountNumber = QStringLiteral("4111-22");
    ASSERT_TRUE(files->accounts.put().ok());
    UpdateAccountsWindow* form = openForm(core::Request::Change);
    EXPECT_TRUE(form->notesExist());
    form->pressCancel();
    finishEvents();

    addAccount(13, "Without Notes");
    form = openForm(core::Request::Change);
    EXPECT_FALSE(form->notesExist());
    form->pressCancel();
    finishEvents();
}

TEST_F(AccountFormTest, NotesOnANewAccountWithoutANumberAsksForOne)
{
    files->accounts.clear();
    UpdateAccountsWindow* form = openForm(core::Request::Insert);
    messages().answer(Button::Ok);
    form->notesButton()->click();
    ASSERT_FALSE(messages().shown().empty());
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Card Number Missing"));
    EXPECT_EQ(messages().shown().back().text, QStringLiteral("Please a credit card number before you enter a note."));
    form->pressCancel();
    finishEvents();
}

} // namespace
