// A statement reconciled inside the main frame, as a user does it: five
// charges typed into the current transactions, the statement window opened
// with its shortcut, every entry ticked with the space bar, Finish; the
// entries in the history and the statement in its list; undone, open again.
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "engine/DateSpinBox.h"
#include "engine/ValueLabel.h"
#include "statements/BrowseStatementsWindow.h"
#include "statements/ReconcileStatementWindow.h"
#include "statements/StatementEntriesModel.h"
#include "statements/StatementListModel.h"
#include "statements/StatementProcedures.h"
#include "statements/StatementRecords.h"
#include "statements/StatementSession.h"
#include "tests/app/FrameFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/CutShort.h"
#include "tests/support/Mnemonics.h"
#include "transactions/BrowseCurrentTransactionsWindow.h"
#include "transactions/BrowseTransactionHistoryWindow.h"
#include "transactions/ReconciledEntries.h"
#include "transactions/TransactionProcedures.h"
#include "transactions/UpdateTransactionsWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace fundora;
using statements::BrowseStatementsWindow;
using statements::ReconcileStatementWindow;
using transactions::BrowseCurrentTransactionsWindow;
using transactions::UpdateTransactionsWindow;
namespace Button = platform::Button;
using namespace core::Command;

namespace {

class StatementsInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override
    {
        accounts::registerAccountProcedures();
        transactions::registerTransactionProcedures();
        statements::registerStatementProcedures();
    }
    void SetUp() override
    {
        FrameTest::SetUp();
        core::FileUse accounts(*files, core::FileId::Accounts);
        files->accounts.clear();
        files->accounts.record.sysId = 1;
        files->accounts.record.creditCardVendor = QStringLiteral("Alpha Bank");
        files->accounts.record.cardType = QStringLiteral("V");
        files->accounts.record.billingDay = 30;
        files->accounts.record.interestRate = *platform::Decimal::parse(u"18.25");
        files->accounts.record.creditLimit = *platform::Decimal::parse(u"1000.00");
        ASSERT_TRUE(files->accounts.add().ok());
        auto* list = child<accounts::BrowseAccountsWindow>();
        ASSERT_NE(list, nullptr);
        activate(list);
        list->gainedFocus();
        settle();
        ASSERT_EQ(core::glo().currentSysid, 1);
    }
    void TearDown() override
    {
        transactions::ReconciledEntries::install(nullptr);
        transactions::AccountFigure::install({});
        FrameTest::TearDown();
    }
    // Types a charge into the form the Insert key opens.
    void typeCharge(QTableView* table, const QString& date, const QString& amount, const QString& description)
    {
        QTest::keyClick(table, Qt::Key_Insert);
        settle();
        UpdateTransactionsWindow* form = child<UpdateTransactionsWindow>();
        ASSERT_NE(form, nullptr) << "the Insert key opens the form";
        for (const auto& [prompt, text] :
             {std::pair{"Transaction &Date:", date}, std::pair{"Transaction &Amount:", amount}, std::pair{"D&escription:", description}}) {
            QLineEdit* e = form->edit(QString::fromLatin1(prompt));
            e->setFocus();
            e->selectAll();
            QTest::keyClicks(e, text);
        }
        QTest::keyClick(form->edit(QStringLiteral("D&escription:")), Qt::Key_Return);
        settle();
        ASSERT_EQ(child<UpdateTransactionsWindow>(), nullptr) << "Enter saved the charge";
    }
    static QStringList column(engine::BrowseListView* list, int c)
    {
        QStringList out;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            out << list->model()->index(r, c).data().toString();
        return out;
    }
};

TEST_F(StatementsInFrameTest, FiveChargesReconciledInOneStatementThenUndone)
{
    press(Current);
    auto* current = child<BrowseCurrentTransactionsWindow>();
    ASSERT_NE(current, nullptr);
    current->list()->setFixedRowCount(10);
    QTableView* table = current->list()->table();
    const char* amounts[] = {"12.50", "40.00", "7.25", "100.00", "3.10"};
    for (int i = 0; i < 5; ++i)
        typeCharge(table, QStringLiteral("11/%1/2026").arg(20 + i), QString::fromLatin1(amounts[i]),
                   QStringLiteral("charge %1").arg(i + 1));
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(column(current->list(), 3).size(), 5);
    EXPECT_EQ(current->value(QStringLiteral("Account Balance")), QStringLiteral("$162.85"));
    // The cycle runs 12/01 to 12/30 (billing day 30, no statement yet): 162.85 a day for 30 days at 18.25 % / 365.
    EXPECT_EQ(current->value(QStringLiteral("Interest This Cycle")), QStringLiteral("$2.44 (estimate)"));
    QString breakdown;
    for (const engine::ValueLabel* l : current->findChildren<engine::ValueLabel*>())
        if (l->prompt() == QStringLiteral("Interest This Cycle"))
            breakdown = l->toolTip();
    EXPECT_TRUE(breakdown.startsWith(
        QStringLiteral("2.44 by the average daily balance: 162.85 over 30 days (12/01/2026 to 12/30/2026) at 18.25 % a year")))
        << breakdown.toStdString();

    // Alt+S: "Reconcile &Statement...". Mnemonics work in the active window.
    frame->activateWindow();
    settle();
    ASSERT_EQ(QApplication::activeWindow(), frame.get());
    table->setFocus();
    // A mnemonic presses its button and lets it go on Qt's own timer: wait for the click itself.
    QSignalSpy clicked(current->button(QStringLiteral("Reconcile Statement...")), &QPushButton::clicked);
    QTest::keyClick(current, Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(clicked.count() > 0 || clicked.wait(10000)) << "Alt+S clicks the button";
    settle();
    auto* window = child<ReconcileStatementWindow>();
    ASSERT_NE(window, nullptr) << "the shortcut opens the statement window";
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Reconcile a Statement for Alpha Bank"));
    EXPECT_EQ(test::controlsWithoutNames(*window), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*window, menuTitles()), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*current, menuTitles()), QStringList());
    EXPECT_EQ(test::controlsCutShort(*window), QStringList()) << "at its opening size";
    EXPECT_EQ(window->closingDate()->text(), QStringLiteral("11/30/2026")) << "the last billing day before today";
    // A key reaches only the active window: Alt+C is the list's Change behind it, not the statement window's.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    settle();
    EXPECT_EQ(child<UpdateTransactionsWindow>(), nullptr) << "Alt+C in the statement window reached the list behind it";
    ASSERT_EQ(window->model()->rowCount(), 5);
    EXPECT_FALSE(window->button(QStringLiteral("Finish"))->isEnabled());
    EXPECT_FALSE(frame->toolbarAction(Insert)->isEnabled()) << "the toolbar's record commands are off over the statement";
    EXPECT_TRUE(frame->toolbarAction(Help)->isEnabled());

    QTest::keyClicks(window->endingBalance(), QStringLiteral("162.85"));
    EXPECT_EQ(window->figure(QStringLiteral("Difference")), QStringLiteral("$162.85"));
    QTableView* entries = window->list();
    entries->setFocus();
    entries->setCurrentIndex(window->model()->index(0, 1));
    const char* differences[] = {"$150.35", "$110.35", "$103.10", "$3.10", "$0.00"};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(entries, Qt::Key_Space);
        EXPECT_EQ(window->figure(QStringLiteral("Difference")), QString::fromLatin1(differences[i])) << "after tick " << i + 1;
        EXPECT_EQ(window->button(QStringLiteral("Finish"))->isEnabled(), i == 4);
        QTest::keyClick(entries, Qt::Key_Down);
    }
    EXPECT_EQ(window->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    // A click on a tick takes it off again, and a second click puts it back.
    const QRect tick = entries->visualRect(window->model()->index(2, 0));
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, tick.center());
    EXPECT_EQ(window->figure(QStringLiteral("Difference")), QStringLiteral("$7.25"));
    QTest::mouseClick(entries->viewport(), Qt::LeftButton, {}, tick.center());
    EXPECT_EQ(window->figure(QStringLiteral("Difference")), QStringLiteral("$0.00"));
    QTest::mouseClick(window->button(QStringLiteral("Finish")), Qt::LeftButton);
    settle();
    EXPECT_EQ(child<ReconcileStatementWindow>(), nullptr) << "Finish closes the window";
    EXPECT_TRUE(messages().shown().empty()) << (messages().shown().empty() ? std::string() : messages().shown().front().text.toStdString());

    activate(current);
    current->gainedFocus();
    settle();
    EXPECT_EQ(current->list()->model()->rowCount(), 0) << "the five are no longer open";
    EXPECT_EQ(current->value(QStringLiteral("Account Balance")), QStringLiteral("$162.85")) << "reconciling leaves the balance";
    press(History);
    auto* history = child<transactions::BrowseTransactionHistoryWindow>();
    ASSERT_NE(history, nullptr);
    history->list()->setFixedRowCount(10);
    history->gainedFocus();
    settle();
    EXPECT_EQ(history->list()->model()->rowCount(), 5);

    QTest::mouseClick(history->button(QStringLiteral("Statements")), Qt::LeftButton);
    settle();
    auto* statements = child<BrowseStatementsWindow>();
    ASSERT_NE(statements, nullptr);
    ASSERT_EQ(statements->model()->rowCount(), 1);
    const QModelIndex first = statements->model()->index(0, 0);
    EXPECT_EQ(first.data().toString(), QStringLiteral("11/30/2026"));
    EXPECT_EQ(statements->model()->index(0, statements::StatementListModel::EndingBalance).data().toString(), QStringLiteral("$162.85"));
    EXPECT_EQ(statements->model()->index(0, statements::StatementListModel::Transactions).data().toInt(), 5);

    messages().answer(Button::Yes);
    QTest::mouseClick(statements->button(QStringLiteral("Undo this Statement")), Qt::LeftButton);
    settle();
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].text,
              QStringLiteral("Undo the statement closing 11/30/2026?||Its 5 transaction(s) will be moved back to the open transactions."));
    EXPECT_EQ(statements->model()->rowCount(), 0);
    // A statement finished elsewhere shows when the list is active again.
    {
        core::FileUse a(*files, core::FileId::Accounts), t(*files, core::FileId::Transactions), st(*files, statements::statementsFile()),
            l(*files, statements::statementLinesFile());
        statements::StatementSession session(*files, 1);
        ASSERT_TRUE(session.open(clock().today()).ok());
        session.setEndingBalance(session.resultingBalance());
        ASSERT_EQ(session.finish(false), statements::StatementSession::Result::Done);
    }
    activate(current);
    activate(statements);
    EXPECT_EQ(statements->model()->rowCount(), 1);
    messages().clear();
    messages().answer(Button::Yes);
    QTest::mouseClick(statements->button(QStringLiteral("Undo this Statement")), Qt::LeftButton);
    settle();
    activate(current);
    current->gainedFocus();
    settle();
    EXPECT_EQ(column(current->list(), 1), (QStringList{"charge 1", "charge 2", "charge 3", "charge 4", "charge 5"})) << "open again";
}

TEST_F(StatementsInFrameTest, ClosingWithTicksAsksToKeepThemAndTheyAreThereTheNextTime)
{
    press(Current);
    auto* current = child<BrowseCurrentTransactionsWindow>();
    ASSERT_NE(current, nullptr);
    current->list()->setFixedRowCount(10);
    typeCharge(current->list()->table(), QStringLiteral("11/02/2026"), QStringLiteral("20.00"), QStringLiteral("lunch"));
    QTest::mouseClick(current->button(QStringLiteral("Reconcile Statement...")), Qt::LeftButton);
    settle();
    auto* window = child<ReconcileStatementWindow>();
    ASSERT_NE(window, nullptr);
    QTest::keyClicks(window->endingBalance(), QStringLiteral("abc"));
    EXPECT_EQ(window->problem(), QStringLiteral("Type an amount such as 1234.56, 1,234.56 or -20.00 (two places at most)."));
    EXPECT_FALSE(window->button(QStringLiteral("Finish"))->isEnabled());
    EXPECT_FALSE(window->button(QStringLiteral("Accept the Difference..."))->isEnabled());
    window->endingBalance()->selectAll();
    QTest::keyClicks(window->endingBalance(), QStringLiteral("25.00"));
    EXPECT_EQ(window->problem(), QString());
    window->list()->setFocus();
    window->list()->setCurrentIndex(window->model()->index(0, 0));
    QTest::keyClick(window->list(), Qt::Key_Space);
    EXPECT_TRUE(window->button(QStringLiteral("Accept the Difference..."))->isEnabled());

    messages().answer(Button::Yes);
    QTest::mouseClick(window->button(QStringLiteral("Cancel")), Qt::LeftButton);
    settle();
    ASSERT_EQ(messages().shown().size(), 1u);
    EXPECT_EQ(messages().shown()[0].text, QStringLiteral("Keep the statement and its ticks for the next time?"));
    EXPECT_EQ(child<ReconcileStatementWindow>(), nullptr);

    QTest::mouseClick(current->button(QStringLiteral("Reconcile Statement...")), Qt::LeftButton);
    settle();
    window = child<ReconcileStatementWindow>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->endingBalance()->text(), QStringLiteral("25.00"));
    EXPECT_EQ(window->figure(QStringLiteral("Charges ticked")), QStringLiteral("$20.00"));
    EXPECT_EQ(window->figure(QStringLiteral("Difference")), QStringLiteral("$5.00"));

    // Escape asks as Cancel does; Cancel on the question keeps the window.
    messages().clear();
    messages().answer(Button::Cancel);
    QTest::keyClick(window->list(), Qt::Key_Escape);
    settle();
    ASSERT_EQ(messages().shown().size(), 0u) << "nothing changed since it opened: no question";
    ASSERT_EQ(child<ReconcileStatementWindow>(), nullptr) << "Escape closed it";
    QTest::mouseClick(current->button(QStringLiteral("Reconcile Statement...")), Qt::LeftButton);
    settle();
    window = child<ReconcileStatementWindow>();
    ASSERT_NE(window, nullptr);
    window->list()->setCurrentIndex(window->model()->index(0, 0));
    QTest::keyClick(window->list(), Qt::Key_Space);
    QTest::keyClick(window->list(), Qt::Key_Space);
    QTest::keyClick(window->list(), Qt::Key_Escape);
    settle();
    ASSERT_EQ(messages().shown().size(), 1u) << "a tick taken off and put back is a change: it asks";
    ASSERT_NE(child<ReconcileStatementWindow>(), nullptr) << "Cancel kept the window";

    // A difference is accepted only after its question.
    messages().clear();
    messages().answer(Button::No);
    QTest::mouseClick(window->button(QStringLiteral("Accept the Difference...")), Qt::LeftButton);
    settle();
    ASSERT_NE(child<ReconcileStatementWindow>(), nullptr) << "No keeps the window";
    EXPECT_EQ(messages().shown().at(0).text, QStringLiteral("The ticked transactions leave a difference of $5.00 to the statement's "
                                                            "ending balance.||Finish anyway, and record the difference as accepted?"));
    messages().answer(Button::Yes);
    QTest::mouseClick(window->button(QStringLiteral("Accept the Difference...")), Qt::LeftButton);
    settle();
    EXPECT_EQ(child<ReconcileStatementWindow>(), nullptr);
    activate(current);
    current->gainedFocus();
    settle();
    EXPECT_EQ(current->list()->model()->rowCount(), 0);
}

} // namespace
