// The payments due as the frame shows them: above the windows at the start,
// again when the date moves on, with the days ahead set from the keyboard.
#include "accounts/AccountProcedures.h"
#include "core/OpenFile.h"
#include "core/WindowPosition.h"
#include "planning/DueNoticeBar.h"
#include "statements/StatementRecords.h"
#include "tests/app/FrameFixture.h"
#include "transactions/Ledger.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace fundora;

namespace {

class DueNoticeInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override { accounts::registerAccountProcedures(); }
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

TEST_F(DueNoticeInFrameTest, ShownAtTheStartHiddenBeyondTheDaysChosenAndBackWhenTheDateMovesOn)
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

} // namespace
