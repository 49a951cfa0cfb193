// Planning in the frame: the payments due above the windows at the start and
// again when the date moves on, with the days ahead set from the keyboard;
// the payoff plan window from the Reports menu, typed into as a user does.
#include "accounts/AccountProcedures.h"
#include "core/OpenFile.h"
#include "core/WindowPosition.h"
#include "planning/DueNoticeBar.h"
#include "planning/PayoffPlanWindow.h"
#include "planning/PlanningProcedures.h"
#include "statements/StatementRecords.h"
#include "tests/app/FrameFixture.h"
#include "tests/reports/ReportFixture.h"
#include "transactions/Ledger.h"

#include <QAbstractItemModelTester>
#include <QChart>
#include <QChartView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

using namespace fundora;

namespace {

class PlanningInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override
    {
        accounts::registerAccountProcedures();
        planning::registerPlanningProcedures();
    }
    // A card whose 25.00 minimum falls due on 12/10/2026 with nothing paid; today is 12/07.
    void prepareRegister() override
    {
        clock().set(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        app::declareFeatureFiles();
        core::DataFiles made(dir());
        const core::FileUses uses(made, {core::FileId::Accounts, core::FileId::Transactions, statements::statementsFile()});
        ASSERT_TRUE(uses.ok());
        core::Account a;
        a.sysId = 1;
        a.creditCardVendor = QStringLiteral("Alpha Bank");
        a.interestRate = platform::Decimal::fromUnits(1800, 2);
        platform::Record r = core::accountLayout().toRecord(a);
        ASSERT_TRUE(made.accounts.file().add(r).ok());
        core::Transaction t;
        t.sysId = 1;
        t.dateofTransaction = platform::dayNumberOf(2026, 11, 2);
        t.transactionType = QStringLiteral("C");
        t.transactionAmount = platform::Decimal::fromUnits(50000, 2);
        ASSERT_TRUE(transactions::Ledger(made).book(t).ok());
        auto& stm = statements::statementsOf(made);
        stm.record = {1,
                      1,
                      platform::dayNumberOf(2026, 11, 15),
                      platform::Decimal::fromUnits(50000, 2),
                      {},
                      {},
                      {},
                      platform::Decimal::fromUnits(2500, 2),
                      platform::dayNumberOf(2026, 12, 10),
                      {},
                      platform::dayNumberOf(2026, 11, 16),
                      0,
                      1,
                      {}};
        ASSERT_TRUE(stm.add().ok());
    }
    planning::DueNoticeBar& bar() { return const_cast<planning::DueNoticeBar&>(frame->dueNotice()); }
};

TEST_F(PlanningInFrameTest, ShownAtTheStartHiddenBeyondTheDaysChosenAndBackWhenTheDateMovesOn)
{
    EXPECT_TRUE(bar().isVisible());
    EXPECT_EQ(bar().text(), QStringLiteral("Alpha Bank: 25.00 minimum due 12/10/2026 (due in 3 days), 0.00 paid"));
    EXPECT_EQ(bar().accessibleName(), QStringLiteral("Payments due"));
    EXPECT_TRUE(messages().shown().empty()) << "a notice, not a message box";

    // Two days ahead, typed: the card is no longer within them, and the choice is kept.
    auto* days = bar().findChild<QSpinBox*>();
    ASSERT_NE(days, nullptr);
    days->setFocus();
    QTest::keyClick(days, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(days, QStringLiteral("2"));
    settle();
    EXPECT_FALSE(bar().isVisible());
    EXPECT_EQ(planning::DueNoticeBar(*files, QDir(dir()).filePath(core::WindowPositionFile)).within(), 2);

    // The next morning it is due in 2 days: shown again; Dismiss puts it away.
    clock().set(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1)));
    frame->tick();
    EXPECT_TRUE(bar().isVisible());
    EXPECT_TRUE(bar().text().contains(QStringLiteral("(due in 2 days)")));
    // From the days, Tab reaches Dismiss and the space bar puts the notice away.
    days->setFocus();
    QTest::keyClick(days, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), bar().findChild<QPushButton*>());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    EXPECT_FALSE(bar().isVisible());
}

TEST_F(PlanningInFrameTest, ThePayoffPlanFromTheReportsMenuTypedAndRefusedInTheWindow)
{
    QAction* entry = nullptr;
    for (QAction* a : frame->menuBar()->findChildren<QAction*>())
        if (a->text() == QStringLiteral("&Payoff Plan"))
            entry = a;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    settle();
    auto* w = child<planning::PayoffPlanWindow>();
    ASSERT_NE(w, nullptr);
    QAbstractItemModelTester months(const_cast<planning::PlanMonthsModel*>(&w->months()));
    QAbstractItemModelTester ways(const_cast<planning::PlanComparisonModel*>(&w->comparison()));
    auto* amount = w->findChild<QLineEdit*>();
    ASSERT_EQ(QApplication::focusWidget(), amount) << "the amount is where typing starts";

    // 500.00 at 18 %, 100.00 a month: 7.50, 6.11, 4.70, 3.27, 1.82 and 0.35 of interest (23.75 in all), the
    // balance 407.50, 313.61, 218.31, 121.58, 23.40, and a last payment of 23.40 + 0.35.
    QTest::keyClicks(amount, QStringLiteral("100"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    EXPECT_EQ(w->summary(), QStringLiteral("Every card is paid off in 6 months with 23.75 of interest. Paid off: Alpha Bank in month 6."));
    EXPECT_EQ(w->months().rowCount(), 6);
    EXPECT_EQ(w->months().index(5, planning::PlanMonthsModel::Payment).data().toString(), QStringLiteral("23.75"));
    EXPECT_EQ(w->months().index(5, planning::PlanMonthsModel::Balance).data(planning::AmountUnitsRole).toLongLong(), 0);
    ASSERT_EQ(w->comparison().rowCount(), 4) << "three orders and the minimums alone";
    EXPECT_EQ(w->comparison().index(3, planning::PlanComparisonModel::Way).data().toString(), QStringLiteral("Only the minimums"));
    EXPECT_GT(w->comparison().index(3, planning::PlanComparisonModel::Months).data(planning::AmountUnitsRole).toInt(), 6);
    EXPECT_EQ(w->chart()->chart()->series().size(), 1);

    // Printed with its Alt key: the destination asked, then the pages of the plan shown.
    auto reports = std::make_shared<test::ScriptedReportManager>();
    reports->answers.push_back(platform::ReportDestination::Preview);
    platform::ReportManager::install(reports);
    frame->activateWindow();
    settle();
    QPushButton* print = nullptr;
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->accessibleName() == QStringLiteral("Print"))
            print = b;
    // A mnemonic presses its button and lets it go on Qt's own timer: wait for the click itself.
    QSignalSpy clicked(print, &QPushButton::clicked);
    QTest::keyClick(amount, Qt::Key_N, Qt::AltModifier);
    ASSERT_TRUE(clicked.count() > 0 || clicked.wait(10000)) << "Alt+N prints";
    settle();
    platform::ReportManager::install(nullptr);
    ASSERT_EQ(reports->presented, 1);
    EXPECT_EQ(reports->lastTitle, QStringLiteral("Payoff Plan"));
    const QStringList lastMonth{QStringLiteral("6"), QStringLiteral("Alpha Bank"), QStringLiteral("23.75"), QStringLiteral("0.35"),
                                QStringLiteral("0.00")};
    EXPECT_GE(reports->texts.join(u'|').indexOf(lastMonth.join(u'|')), 0) << reports->texts.join(u'|').toStdString();
    EXPECT_TRUE(reports->texts.contains(QStringLiteral("Every card is paid off in 6 months with 23.75 of interest.")));

    // Less than the first month's minimum: said in the window, never a box, and nothing planned.
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("10"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    EXPECT_TRUE(w->summary().startsWith(QStringLiteral("10.00 a month does not cover the first month's minimum payments: the minimum of "
                                                       "Alpha Bank is not reached.")))
        << w->summary().toStdString();
    EXPECT_EQ(w->months().rowCount(), 0);
    EXPECT_TRUE(w->chart()->chart()->series().isEmpty());

    // The card's minimum typed into its row: a percentage beyond 100 is refused in the window, 10 % is kept.
    auto* cards = w->findChild<QTableView*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(cards, nullptr);
    ASSERT_EQ(cards->accessibleName(), QStringLiteral("Cards"));
    QAbstractItemModelTester cardRows(&w->cards());
    frame->activateWindow();
    settle();
    cards->setFocus();
    cards->setCurrentIndex(w->cards().index(0, planning::PlanCardsModel::MinimumPercent));
    // The first key opens the cell's editor, which takes the rest (as the focus moves to it).
    auto typeInCell = [&](const QString& text) {
        QTest::keyClicks(cards, text.left(1));
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();
    };
    typeInCell(QStringLiteral("150"));
    EXPECT_EQ(w->summary(), QStringLiteral("The minimum's percentage of the balance is from 0 to 100, as 1 or 2.5."));
    typeInCell(QStringLiteral("10"));
    EXPECT_EQ(w->cards().index(0, planning::PlanCardsModel::MinimumPercent).data().toString(), QStringLiteral("10.00"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("100"));
    QTest::keyClick(amount, Qt::Key_Return);
    settle();
    // 10 % of 500.00 plus 7.50 is 57.50, under the 100.00 paid: the same plan as before.
    EXPECT_TRUE(w->summary().startsWith(QStringLiteral("Every card is paid off in 6 months"))) << w->summary().toStdString();
    EXPECT_TRUE(messages().shown().empty());
}

} // namespace
