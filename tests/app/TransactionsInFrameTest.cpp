// The transaction lists and form inside the main frame, driven as a user
// drives them: the toolbar's buttons and keys, the lists' buttons.
#include "accounts/AccountFormRecord.h"
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "platform/store/Statement.h"
#include "tests/app/FrameFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/CutShort.h"
#include "tests/support/Mnemonics.h"
#include "tests/support/TabWalk.h"
#include "transactions/BrowseCurrentTransactionsWindow.h"
#include "transactions/BrowseTransactionHistoryWindow.h"
#include "transactions/TransactionListWindow.h"
#include "transactions/TransactionProcedures.h"
#include "transactions/UpdateTransactionsWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <sqlite3.h>

using namespace fundora;
using transactions::BrowseCurrentTransactionsWindow;
using transactions::BrowseTransactionHistoryWindow;
using transactions::UpdateTransactionsWindow;
namespace Button = platform::Button;
using namespace core::Command;

namespace {

class TransactionsInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override
    {
        accounts::registerAccountProcedures();
        transactions::registerTransactionProcedures();
    }
    void SetUp() override
    {
        FrameTest::SetUp();
        core::FileUse transactions(*files, core::FileId::Transactions);
        addAccount(1, "Alpha Bank", "500.00", "1000.00");
        addAccount(2, "Beta Card", "0.00", "0.00");
        accountsList = child<accounts::BrowseAccountsWindow>();
        ASSERT_NE(accountsList, nullptr);
        activate(accountsList);
        accountsList->gainedFocus();
        QTest::keyClick(accountsList->list()->table(), Qt::Key_Home);
        settle();
        ASSERT_EQ(core::glo().currentSysid, 1);
    }
    void addAccount(std::int32_t id, const char* vendor, const char* balance, const char* limit)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
        files->accounts.record.cardType = QStringLiteral("V");
        files->accounts.record.accountBalance = *platform::Decimal::parse(QString::fromLatin1(balance));
        files->accounts.record.creditLimit = *platform::Decimal::parse(QString::fromLatin1(limit));
        ASSERT_TRUE(files->accounts.add().ok());
        ASSERT_TRUE(accounts::AccountFormRecord::bookOpeningBalance(*files).ok());
    }
    BrowseCurrentTransactionsWindow* openCurrent()
    {
        press(Current);
        auto* w = child<BrowseCurrentTransactionsWindow>();
        if (w)
            w->list()->setFixedRowCount(8);
        return w;
    }
    static QPushButton* buttonOf(QWidget* window, const QString& name)
    {
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->accessibleName() == name)
                return b;
        return nullptr;
    }
    // Highlights the first row of type `type` with the keys (Home, then Down), as a user moves to it.
    static void highlightWithKeys(transactions::TransactionListWindow* w, const QString& type)
    {
        QTableView* table = w->list()->table();
        const qsizetype row = column(w->list(), 2).indexOf(type);
        ASSERT_GE(row, 0) << type;
        QTest::keyClick(table, Qt::Key_Home);
        for (qsizetype i = 0; i < row; ++i)
            QTest::keyClick(table, Qt::Key_Down);
        settle();
    }
    // The type shown on the highlighted row (the engine counts rows from 1).
    static QString highlightedType(transactions::TransactionListWindow* w)
    {
        return w->list()->model()->index(w->engine().selectedRow() - 1, 2).data().toString();
    }
    // What a window shows in words, in the order its children were made: labels
    // (without their "&"), group titles and button texts.
    static QStringList textsOf(QWidget* window)
    {
        QStringList out;
        for (QObject* o : window->findChildren<QObject*>()) {
            if (auto* l = qobject_cast<QLabel*>(o); l && !l->text().isEmpty())
                out << QString(l->text()).remove(u'&');
            else if (auto* g = qobject_cast<QGroupBox*>(o))
                out << g->title();
            else if (auto* b = qobject_cast<QAbstractButton*>(o); b && !b->text().isEmpty())
                out << QString(b->text()).remove(u'&');
        }
        return out;
    }
    // The controls the Tab key walks through, as a user presses it, from the one that has the focus.
    static QStringList tabOrderOf(QWidget* window) { return test::tabWalk(window); }
    static QStringList column(engine::BrowseListView* list, int c)
    {
        QStringList out;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            out << list->model()->index(r, c).data().toString();
        return out;
    }

    accounts::BrowseAccountsWindow* accountsList = nullptr;
};

TEST_F(TransactionsInFrameTest, TheCurrentTransactionsShowTheAccountItsTotalsAndTheirTexts)
{
    EXPECT_TRUE(frame->isToolbarButtonEnabled(Current)) << "the accounts list enables the account's lists";
    EXPECT_TRUE(frame->isToolbarButtonEnabled(History));
    EXPECT_FALSE(frame->isToolbarButtonEnabled(Payment)) << "only while the current transactions are the active window";
    BrowseCurrentTransactionsWindow* w = openCurrent();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Current Transactions for Alpha Bank ( VISA CARD )"));
    auto* tabs = w->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Open Transactions by Date"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Open Transactions by Type"));
    EXPECT_EQ(tabs->tabToolTip(0), QStringLiteral("Browse Transactions by Date"));
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << w->list()->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(headers, (QStringList{"Date", "Description", "Type", "Amount"}));
    EXPECT_EQ(column(w->list(), 1), QStringList{"Initial Account Balance"});
    EXPECT_EQ(column(w->list(), 2), QStringList{"Balance"});
    EXPECT_EQ(w->value(QStringLiteral("Open Transactions")), QStringLiteral("$500.00"));
    EXPECT_EQ(w->value(QStringLiteral("Account Balance")), QStringLiteral("$500.00"));
    EXPECT_EQ(w->value(QStringLiteral("Average Charge")), QStringLiteral("$500.00"));
    EXPECT_EQ(w->value(QStringLiteral("Available Funds")), QStringLiteral("$500.00"));
    EXPECT_EQ(w->button(QStringLiteral("Reconcile"))->toolTip(), QStringLiteral("Reconcile the Selected Transaction"));
    EXPECT_EQ(w->statusDate(), QStringLiteral("Sunday, December 6, 2026"));
    EXPECT_EQ(w->statusTime(), QStringLiteral("10:30 AM"));
    EXPECT_TRUE(frame->isToolbarButtonEnabled(Payment));
    activate(accountsList);
    EXPECT_FALSE(frame->isToolbarButtonEnabled(Payment)) << "off when the list loses the focus";
}

TEST_F(TransactionsInFrameTest, APaymentFromTheFrameLowersTheBalanceTheAccountsListShows)
{
    BrowseCurrentTransactionsWindow* w = openCurrent();
    ASSERT_NE(w, nullptr);
    press(Payment);
    auto* form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Adding a Transaction Record"));
    EXPECT_EQ(form->vendorShown(), QStringLiteral("Alpha Bank"));
    EXPECT_EQ(form->typeGroup()->checkedButton()->text(), QStringLiteral("Payment/Credit"));
    EXPECT_EQ(form->edit(QStringLiteral("D&escription:"))->text(), QStringLiteral("Payment - Check number xxx"));
    EXPECT_EQ(form->edit(QStringLiteral("Transaction &Date:"))->text(), QStringLiteral("12/06/2026"));
    EXPECT_FALSE(frame->isToolbarButtonEnabled(Payment)) << "off while the form is open";
    QLineEdit* amount = form->edit(QStringLiteral("Transaction &Amount:"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("100.00"));
    QStringList run;
    files->store.observeStatements([&run](const char* sql) { run << QString::fromUtf8(sql); });
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    files->store.observeStatements({});
    EXPECT_EQ(child<UpdateTransactionsWindow>(), nullptr);
    // What the save made the list read of the transactions: its two totals once (from the kept totals), and the page once
    // (a page read begins where a page begins, ">=", or at either end), not again when the list
    // gets the focus back from the form.
    int aggregates = 0, pageReads = 0;
    for (const QString& sql : run) {
        if (!sql.contains(QStringLiteral("\"TRANSACT\".\"Transactions")) || !sql.startsWith(QStringLiteral("SELECT")))
            continue;
        if (sql.contains(QStringLiteral("SUM("))) {
            ++aggregates;
            EXPECT_TRUE(sql.contains(QStringLiteral("\"Transactions_Totals\""))) << sql.toStdString();
        } else if (sql.endsWith(QStringLiteral("LIMIT ?")) && !sql.contains(QStringLiteral(") > (")) &&
                   !sql.contains(QStringLiteral(") < (")))
            ++pageReads;
    }
    EXPECT_EQ(aggregates, 2) << run.join(u'\n').toStdString();
    EXPECT_EQ(pageReads, 1) << run.join(u'\n').toStdString();
    EXPECT_EQ(w->value(QStringLiteral("Account Balance")), QStringLiteral("$400.00"));
    EXPECT_EQ(w->value(QStringLiteral("Available Funds")), QStringLiteral("$600.00"));
    // What a screen reader gets over the bus: the prompt as the name, the value as the text.
    EXPECT_EQ(test::busReading(*w, QStringLiteral("Account Balance")), QStringLiteral("Account Balance=$400.00"));
    EXPECT_EQ(test::busReading(*w, QStringLiteral("Date")), QStringLiteral("Date=") + w->statusDate());
    EXPECT_EQ(test::busReading(*frame, QStringLiteral("Time")), QStringLiteral("Time=") + frame->statusTime());
    EXPECT_EQ(w->value(QStringLiteral("Open Transactions")), QStringLiteral("$400.00"));
    EXPECT_EQ(w->value(QStringLiteral("Average Charge")), QStringLiteral("$500.00")) << "payments do not count";
    const QStringList amounts = column(w->list(), 3);
    const qsizetype payment = amounts.indexOf(QStringLiteral("($100.00)"));
    ASSERT_GE(payment, 0) << amounts.join(u' ');
    EXPECT_EQ(w->list()->model()->index(static_cast<int>(payment), 3).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_TRUE(frame->isToolbarButtonEnabled(Payment)) << "on again once the form is gone";

    activate(accountsList);
    EXPECT_EQ(accountsList->detail(QStringLiteral("Current Balance")), QStringLiteral("$400.00"));
    EXPECT_EQ(accountsList->detail(QStringLiteral("Total Outstanding Debt")), QStringLiteral("$400.00"));
}

TEST_F(TransactionsInFrameTest, RecordAPaymentWorksWhereverTheFocusIsAndItsPrimeNeverOutlivesIt)
{
    BrowseCurrentTransactionsWindow* w = openCurrent();
    ASSERT_NE(w, nullptr);
    // The focus on a side button of the window, as after a click on it.
    QPushButton* side = w->button(QStringLiteral("Reconcile"));
    ASSERT_NE(side, nullptr);
    side->setFocus();
    settle();
    press(Payment);
    auto* form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr) << "the press reached the window though a button had the focus";
    EXPECT_EQ(form->typeGroup()->checkedButton()->text(), QStringLiteral("Payment/Credit"));
    QTest::keyClick(form->edit(QStringLiteral("Transaction &Amount:")), Qt::Key_Escape);
    settle();
    ASSERT_EQ(child<UpdateTransactionsWindow>(), nullptr);
    // The next ordinary insert is a charge: the payment's prime went with its form.
    QTest::keyClick(w->list()->table(), Qt::Key_Insert);
    settle();
    form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->typeGroup()->checkedButton()->text(), QStringLiteral("Charge"));
    EXPECT_EQ(core::glo().paymentRequest, 0);
    QTest::keyClick(form->edit(QStringLiteral("Transaction &Amount:")), Qt::Key_Escape);
    settle();

    // A press whose insert cannot happen (the list's Insert is off when it arrives) goes with its
    // request: nothing of it is left for the next insert.
    QPushButton* insert = w->button(QStringLiteral("Insert"));
    w->onToolbarCommand(Payment);
    insert->setEnabled(false);
    settle();
    EXPECT_EQ(child<UpdateTransactionsWindow>(), nullptr);
    insert->setEnabled(true);
    QTest::keyClick(w->list()->table(), Qt::Key_Insert);
    settle();
    form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->typeGroup()->checkedButton()->text(), QStringLiteral("Charge")) << "the refused payment primed a later insert";
    QTest::keyClick(form->edit(QStringLiteral("Transaction &Amount:")), Qt::Key_Escape);
    settle();
}

TEST_F(TransactionsInFrameTest, AChangeKeepsAPaymentAPaymentAndANegativeChargeIsAskedAbout)
{
    BrowseCurrentTransactionsWindow* w = openCurrent();
    ASSERT_NE(w, nullptr);
    press(Payment);
    QLineEdit* amount = child<UpdateTransactionsWindow>()->edit(QStringLiteral("Transaction &Amount:"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("500"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    ASSERT_EQ(w->value(QStringLiteral("Account Balance")), QStringLiteral("$0.00"));

    // The payment opened for a change with the keys, its amount typed again as it was typed when added.
    QTableView* table = w->list()->table();
    highlightWithKeys(w, QStringLiteral("Pmt/Credit"));
    QTest::keyClick(table, Qt::Key_Return);
    settle();
    auto* form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    amount = form->edit(QStringLiteral("Transaction &Amount:"));
    EXPECT_EQ(amount->text().trimmed(), QStringLiteral("500.00-"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("550"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    EXPECT_EQ(child<UpdateTransactionsWindow>(), nullptr);
    EXPECT_EQ(w->value(QStringLiteral("Account Balance")), QStringLiteral("($50.00)")) << "500.00 less a payment of 550.00";
    EXPECT_TRUE(column(w->list(), 3).contains(QStringLiteral("($550.00)"))) << column(w->list(), 3).join(u' ');

    // A charge (the opening balance) given a negative amount: asked first; No keeps the form with what was typed.
    highlightWithKeys(w, QStringLiteral("Balance"));
    QTest::keyClick(table, Qt::Key_Return);
    settle();
    form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    amount = form->edit(QStringLiteral("Transaction &Amount:"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("-20"));
    messages().answer(Button::No);
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    ASSERT_FALSE(shownTexts().isEmpty());
    EXPECT_TRUE(shownTexts().last().contains(QStringLiteral("is negative: it lowers the balance as a payment or credit does")))
        << shownTexts().last();
    ASSERT_EQ(child<UpdateTransactionsWindow>(), form) << "No keeps the form open";
    EXPECT_EQ(amount->text().trimmed(), QStringLiteral("20.00-"));
    messages().answer(Button::Yes);
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    EXPECT_EQ(child<UpdateTransactionsWindow>(), nullptr);
    EXPECT_EQ(w->value(QStringLiteral("Account Balance")), QStringLiteral("($570.00)"));
}

TEST_F(TransactionsInFrameTest, ATransactionsWindowStaysOnItsAccountWhateverTheAccountsListHighlights)
{
    BrowseCurrentTransactionsWindow* alpha = openCurrent();
    ASSERT_NE(alpha, nullptr);
    ASSERT_TRUE(alpha->windowTitle().contains(QStringLiteral("Alpha Bank")));
    // Another card highlighted in the accounts list, then back to the transactions.
    activate(accountsList);
    QTest::keyClick(accountsList->list()->table(), Qt::Key_Down);
    settle();
    ASSERT_EQ(core::glo().currentSysid, 2);
    activate(alpha);
    alpha->gainedFocus();
    settle();
    EXPECT_TRUE(alpha->windowTitle().contains(QStringLiteral("Alpha Bank"))) << alpha->windowTitle();
    EXPECT_EQ(alpha->account().sysId, 1);
    // The next entry lands on the card the window shows.
    QTest::keyClick(alpha->list()->table(), Qt::Key_Insert);
    settle();
    QLineEdit* amount = child<UpdateTransactionsWindow>()->edit(QStringLiteral("Transaction &Amount:"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("12.50"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    EXPECT_EQ(alpha->value(QStringLiteral("Account Balance")), QStringLiteral("$512.50"));
    files->accounts.clear();
    files->accounts.record.sysId = 2;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    EXPECT_EQ(files->accounts.record.accountBalance.toString(), QStringLiteral("0.00")) << "Beta Card is untouched";
    // The other card gets a window of its own.
    activate(accountsList);
    press(Current);
    int windows = 0;
    for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList())
        windows += dynamic_cast<BrowseCurrentTransactionsWindow*>(sub->widget()) != nullptr;
    EXPECT_EQ(windows, 2);
    EXPECT_TRUE(alpha->windowTitle().contains(QStringLiteral("Alpha Bank")));
}

TEST_F(TransactionsInFrameTest, ReconcilingMovesATransactionIntoTheHistory)
{
    BrowseCurrentTransactionsWindow* w = openCurrent();
    ASSERT_NE(w, nullptr);
    messages().answer(Button::No);
    QTest::mouseClick(w->button(QStringLiteral("Reconcile")), Qt::LeftButton);
    settle();
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].title, QStringLiteral("Confirm Reconciliation"));
    EXPECT_EQ(messages().shown()[0].text,
              QStringLiteral("Do you want to reconcile this transaction?||Record will be moved to Transaction History"));
    EXPECT_EQ(messages().shown()[0].defaultButton, Button::No);
    EXPECT_EQ(w->list()->model()->rowCount(), 1) << "No changes nothing";

    press(History);
    auto* history = child<BrowseTransactionHistoryWindow>();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->windowTitle(), QStringLiteral("Transaction History for Alpha Bank ( VISA CARD )"));
    EXPECT_EQ(history->list()->model()->rowCount(), 0);

    activate(w);
    messages().answer(Button::Yes);
    QTest::mouseClick(w->button(QStringLiteral("Reconcile")), Qt::LeftButton);
    settle();
    EXPECT_EQ(w->list()->model()->rowCount(), 0) << "it left the open transactions";
    EXPECT_EQ(w->value(QStringLiteral("Account Balance")), QStringLiteral("$500.00")) << "the balance does not move";
    EXPECT_EQ(w->value(QStringLiteral("Open Transactions")), QStringLiteral("$0.00"));
    EXPECT_EQ(w->value(QStringLiteral("Average Charge")), QStringLiteral("$0.00"));
    activate(history);
    EXPECT_EQ(column(history->list(), 1), QStringList{"Initial Account Balance"}) << "listed once the history gains the focus";
}

TEST_F(TransactionsInFrameTest, TheHistoryAnalysesTheChargesOfAMonth)
{
    // Charges of this March and last April, a fee, a payment; all reconciled.
    core::FileUse transactions(*files, core::FileId::Transactions);
    const std::tuple<int, int, int, const char*, const char*> rows[] = {{2026, 3, 4, "C", "40.00"}, {2026, 3, 20, "C", "-10.00"},
                                                                        {2025, 4, 9, "C", "25.50"}, {2026, 4, 9, "C", "99.00"},
                                                                        {2026, 3, 8, "F", "15.00"}, {2026, 3, 9, "P", "-100.00"}};
    for (const auto& [y, m, d, type, amount] : rows) {
        files->transactions.clear();
        files->transactions.record.sysId = 1;
        files->transactions.record.dateofTransaction = platform::dayNumberOf(y, m, d);
        files->transactions.record.transactionType = QString::fromLatin1(type);
        files->transactions.record.transactionAmount = *platform::Decimal::parse(QString::fromLatin1(amount));
        files->transactions.record.reconciledTransaction = 1;
        ASSERT_TRUE(files->transactions.add().ok());
    }
    clock().set(QDateTime(QDate(2026, 3, 31), QTime(9, 0)));
    press(History);
    auto* history = child<BrowseTransactionHistoryWindow>();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->analysisTitle(), QStringLiteral("Analysis of All Charge Transactions"));
    EXPECT_EQ(history->numberOfCharges(), 4);
    EXPECT_EQ(history->sumOfCharges().toString(), QStringLiteral("154.50"));
    QTest::mouseClick(history->monthSelector()->button(3), Qt::LeftButton);
    settle();
    EXPECT_EQ(history->analysisTitle(), QStringLiteral("Analysis of Charges in 3/2026"));
    EXPECT_EQ(history->numberOfCharges(), 2) << "this March's charges, a negative one lowering the sum";
    EXPECT_EQ(history->sumOfCharges().toString(), QStringLiteral("30.00"));
    EXPECT_EQ(history->averageOfCharges().toString(), QStringLiteral("15.00"));
    EXPECT_EQ(history->value(QStringLiteral("Sum of Charges")), QStringLiteral("30.00"));
    QTest::mouseClick(history->monthSelector()->button(4), Qt::LeftButton);
    settle();
    EXPECT_EQ(history->analysisTitle(), QStringLiteral("Analysis of Charges in 4/2025")) << "April is later than March: last year's";
    EXPECT_EQ(history->numberOfCharges(), 1);
    EXPECT_EQ(history->sumOfCharges().toString(), QStringLiteral("25.50"));
    QTest::mouseClick(history->monthSelector()->button(7), Qt::LeftButton);
    settle();
    EXPECT_EQ(history->numberOfCharges(), 0);
    EXPECT_EQ(history->averageOfCharges().toString(), QStringLiteral("0.00")) << "no division by zero";
    QStringList months;
    for (QAbstractButton* b : history->monthSelector()->buttons())
        months << b->text();
    EXPECT_EQ(months, (QStringList{"All", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}));
}

TEST_F(TransactionsInFrameTest, TheTransactionFormsTextsAndTypes)
{
    openCurrent();
    QTest::keyClick(child<BrowseCurrentTransactionsWindow>()->list()->table(), Qt::Key_Return);
    settle();
    auto* form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Changing a Transaction Record"));
    QStringList types;
    for (QAbstractButton* b : form->typeGroup()->buttons())
        types << b->text();
    EXPECT_EQ(types, (QStringList{"Charge", "Payment/Credit", "Interest", "Fee", "Cash  Advance", "Balance Due"}));
    EXPECT_EQ(form->reconciled()->text(), QStringLiteral("Reconcile this transaction"));
    EXPECT_EQ(form->edit(QStringLiteral("Transaction &Date:"))->toolTip(), QStringLiteral("Date of transaction."));
    EXPECT_EQ(form->edit(QStringLiteral("Transaction &Amount:"))->toolTip(), QStringLiteral("Dollar amount of transaction"));
    EXPECT_EQ(form->edit(QStringLiteral("Transaction &Amount:"))->text(), QStringLiteral("500.00"));
    buttonOf(form, QStringLiteral("Cancel"))->click();
    settle();
}

TEST_F(TransactionsInFrameTest, EveryTextOfTheListsAndTheFormToTheCharacter)
{
    BrowseCurrentTransactionsWindow* current = openCurrent();
    ASSERT_NE(current, nullptr);
    QStringList texts = textsOf(current);
    const QStringList currentPrompts{"Transaction",        "Insert",           "Change",          "Delete",          "Close", "Help",
                                     "Open Transactions:", "Account Balance:", "Average Charge:", "Available Funds:"};
    qsizetype at = -1;
    for (const QString& t : currentPrompts) {
        const qsizetype found = texts.indexOf(t, at + 1);
        EXPECT_GT(found, at) << qPrintable(t) << " in " << qPrintable(texts.join(u'|'));
        at = std::max(at, found);
    }
    EXPECT_EQ(current->list()->table()->statusTip(), QStringLiteral("Browsing Records"));
    EXPECT_EQ(current->helpContext(), QStringLiteral("~BrowseCurrentTransactions"));
    EXPECT_EQ(test::controlsWithoutNames(*current), QStringList());

    press(History);
    auto* history = child<BrowseTransactionHistoryWindow>();
    ASSERT_NE(history, nullptr);
    texts = textsOf(history);
    at = -1;
    for (const char* t : {"Transaction", "Available Funds:", "Account Balance:", "Select Month to Query", "All", "Dec",
                          "Analysis of All Charge Transactions", "Number of Charges:", "Sum of Charges:", "Average of Charges:"}) {
        const qsizetype found = texts.indexOf(QString::fromLatin1(t), at + 1);
        EXPECT_GT(found, at) << t << " in " << qPrintable(texts.join(u'|'));
        at = std::max(at, found);
    }
    auto* tabs = history->findChild<QTabWidget*>();
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Transactions by Date"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Transactions by Type"));
    EXPECT_EQ(tabs->tabToolTip(0), QStringLiteral("Browse Transactions by Date"));
    EXPECT_EQ(history->helpContext(), QStringLiteral("~BrowseTransactions"));
    EXPECT_EQ(test::controlsWithoutNames(*history), QStringList());
    EXPECT_EQ(history->value(QStringLiteral("Account Balance")), QStringLiteral("$500.00"));
    EXPECT_EQ(history->value(QStringLiteral("Number of Charges")), QStringLiteral("0"));
    EXPECT_EQ(history->value(QStringLiteral("Sum of Charges")), QStringLiteral("0.00"));

    activate(current);
    QTest::mouseClick(current->button(QStringLiteral("Insert")), Qt::LeftButton);
    settle();
    auto* form = child<UpdateTransactionsWindow>();
    ASSERT_NE(form, nullptr);
    texts = textsOf(form);
    for (const char* t :
         {"Alpha Bank", "Transaction Log", "Transaction Type", "Charge", "Payment/Credit", "Interest", "Fee", "Cash  Advance",
          "Balance Due", "Transaction Date:", "Transaction Amount:", "Description:", "Reconcile this transaction", "OK", "Cancel", "Help"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(t))) << t << " in " << qPrintable(texts.join(u'|'));
    EXPECT_EQ(test::controlsWithoutNames(*form), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*form, menuTitles()), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*current, menuTitles()), QStringList());
    EXPECT_EQ(test::controlsCutShort(*current), QStringList()) << "at its opening size";
    EXPECT_EQ(test::controlsCutShort(*form), QStringList()) << "at its opening size";
    EXPECT_EQ(test::mnemonicClashes(*history, menuTitles()), QStringList());
    EXPECT_EQ(tabOrderOf(form), (QStringList{"Charge", "Transaction Date", "Transaction Amount", "Description",
                                             "Reconcile this transaction", "OK", "Cancel", "Help"}))
        << "the checked type stands for the option";
    QTest::keyClick(form->edit(QStringLiteral("Transaction &Date:")), Qt::Key_Escape);
    settle();
    EXPECT_EQ(child<UpdateTransactionsWindow>(), nullptr) << "Escape cancels an untouched insert";
}

TEST_F(TransactionsInFrameTest, APaymentIsListedAsPmtCreditAndTheTabsKeepTheHighlightedTransaction)
{
    BrowseCurrentTransactionsWindow* w = openCurrent();
    ASSERT_NE(w, nullptr);
    press(Payment);
    // Dated before the opening balance: first by date, second by type.
    QLineEdit* date = child<UpdateTransactionsWindow>()->edit(QStringLiteral("Transaction &Date:"));
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("12/01/2026"));
    QLineEdit* amount = child<UpdateTransactionsWindow>()->edit(QStringLiteral("Transaction &Amount:"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("25.00"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    const QStringList types = column(w->list(), 2);
    ASSERT_TRUE(types.contains(QStringLiteral("Pmt/Credit"))) << qPrintable(types.join(u'|'));
    EXPECT_EQ(types, (QStringList{"Pmt/Credit", "Balance"}));
    // Highlight the payment, then switch tabs: it stays highlighted.
    QTableView* table = w->list()->table();
    const int payment = static_cast<int>(types.indexOf(QStringLiteral("Pmt/Credit")));
    QSet<QString> reads;
    files->store.observeStatements([&reads](const char* sql) {
        if (const QString s = QString::fromUtf8(sql); s.startsWith(QStringLiteral("SELECT")) && s.contains(QStringLiteral("\"TRANSACT\"")))
            reads.insert(s);
    });
    QTest::keyClick(table, Qt::Key_Home);
    for (int i = 0; i < payment; ++i)
        QTest::keyClick(table, Qt::Key_Down);
    settle();
    auto* tabs = w->findChild<QTabWidget*>();
    tabs->setCurrentIndex(1);
    settle();
    EXPECT_EQ(highlightedType(w), QStringLiteral("Pmt/Credit"));
    EXPECT_EQ(column(w->list(), 2), (QStringList{"Balance", "Pmt/Credit"}));
    tabs->setCurrentIndex(0);
    settle();
    files->store.observeStatements({});
    // Every read of the lists, their pages and totals, seeks through an index: none walks the file. A page
    // read seeks on the account, the list's state (open or reconciled) and its place in the order at once,
    // so it never visits the entries of the other state nor those before its place.
    ASSERT_FALSE(reads.isEmpty());
    int pageReads = 0;
    for (const QString& sql : reads) {
        EXPECT_FALSE(sql.contains(QStringLiteral("SUM(")))
            << "moving and switching tabs read pages, never the totals: " << sql.toStdString();
        EXPECT_FALSE(sql.contains(QStringLiteral("\"SysID\" ="))) << "no filter repeats the account the range fixes: " << sql.toStdString();
        platform::Statement plan(files->store.handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        while (plan.step() == SQLITE_ROW) {
            const QString detail = plan.text(3);
            EXPECT_FALSE(detail.startsWith(QStringLiteral("SCAN"))) << detail.toStdString() << "\n" << sql.toStdString();
            EXPECT_FALSE(detail.contains(QStringLiteral("TEMP B-TREE"))) << "sorted as stored" << detail.toStdString();
            if (sql.contains(QStringLiteral("\"seq\") >")) || sql.contains(QStringLiteral("\"seq\") <"))) {
                ++pageReads;
                EXPECT_TRUE(detail.contains(QStringLiteral("SysID=? AND ReconciledTransaction=? AND ("))) << detail.toStdString() << "\n"
                                                                                                          << sql.toStdString();
            }
        }
    }
    EXPECT_GT(pageReads, 0) << "the keys read pages from a place in the list";
    EXPECT_EQ(highlightedType(w), QStringLiteral("Pmt/Credit"));
}

} // namespace
