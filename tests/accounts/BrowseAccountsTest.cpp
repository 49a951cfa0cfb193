// The accounts list window with the real list widget, offscreen.
#include "accounts/BrowseAccountsWindow.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "engine/ValueLabel.h"
#include "tests/core/CoreFixture.h"
#include "tests/support/AccessibleNames.h"

#include <QAccessible>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace fundora;

namespace {

class BrowseAccountsTest : public test::CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        core::resetGlobalState();
        ASSERT_TRUE(core::acquireFile(*files, core::FileId::Accounts));
    }
    void addAccount(std::int32_t id, const char* vendor, const char* balance, const char* type = "V", int day = 1)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
        files->accounts.record.accountBalance = *platform::Decimal::parse(QString::fromLatin1(balance));
        files->accounts.record.cardType = QString::fromLatin1(type);
        files->accounts.record.billingDay = static_cast<std::int16_t>(day);
        files->accounts.record.balanceInfoPhone = platform::Decimal::fromInteger(8005551234);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    accounts::BrowseAccountsWindow* open()
    {
        auto* w = new accounts::BrowseAccountsWindow(*files);
        w->list()->setFixedRowCount(10);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
};

TEST_F(BrowseAccountsTest, EmptyFileShowsNothingAndATotalOfZero)
{
    accounts::BrowseAccountsWindow* w = open();
    EXPECT_EQ(test::controlsWithoutNames(*w), QStringList());
    EXPECT_EQ(w->list()->model()->rowCount(), 0);
    EXPECT_FALSE(w->button(QStringLiteral("Change"))->isEnabled());
    EXPECT_FALSE(w->button(QStringLiteral("Delete"))->isEnabled());
    EXPECT_TRUE(w->button(QStringLiteral("Insert"))->isEnabled());
    EXPECT_EQ(w->detail(QStringLiteral("Total Outstanding Debt")), QStringLiteral("$0.00"));
    EXPECT_EQ(w->detail(QStringLiteral("Card Type")), QString());
    EXPECT_EQ(core::glo().currentSysid, 0);
    w->close();
}

TEST_F(BrowseAccountsTest, ShowsTheHighlightedAccountAndFollowsTheSelection)
{
    addAccount(1, "Zeta Card", "100.50", "M", 2);
    addAccount(2, "Acme Store", "-20.25", "X", 21);
    addAccount(3, "Middle Bank", "1000", "S", 13);
    accounts::BrowseAccountsWindow* w = open();
    ASSERT_EQ(w->list()->model()->rowCount(), 3);
    EXPECT_EQ(w->list()->model()->index(0, 0).data().toString(), QStringLiteral("Acme Store"));
    EXPECT_EQ(w->detail(QStringLiteral("Card Type")), QStringLiteral("CHARGE CARD"));
    EXPECT_EQ(w->detail(QStringLiteral("Current Balance")), QStringLiteral("($20.25)"));
    EXPECT_EQ(w->detail(QStringLiteral("Billing Date")), QStringLiteral("21"));
    EXPECT_EQ(w->detail(QStringLiteral("Ordinal Extension")), QStringLiteral("st"));
    EXPECT_EQ(w->detail(QStringLiteral("Balance Information")), QStringLiteral("(800) 555-1234"));
    EXPECT_EQ(w->detail(QStringLiteral("Total Outstanding Debt")), QStringLiteral("$1,080.25"));
    EXPECT_EQ(core::glo().currentSysid, 2);
    w->list()->table()->selectRow(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(core::glo().currentSysid, 1) << "highlighting another account makes it the current one at once";
    EXPECT_EQ(w->detail(QStringLiteral("Card Type")), QStringLiteral("MASTER CARD"));
    EXPECT_EQ(w->detail(QStringLiteral("Ordinal Extension")), QStringLiteral("nd"));
    w->close();
}

TEST_F(BrowseAccountsTest, ChangesMadeElsewhereShowWhenTheWindowGainsTheFocus)
{
    addAccount(1, "Bank", "10");
    accounts::BrowseAccountsWindow* w = open();
    // Another window books a payment on the account.
    files->accounts.clear();
    files->accounts.record.sysId = 1;
    ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    files->accounts.record.accountBalance = *platform::Decimal::parse(u"4.00");
    ASSERT_TRUE(files->accounts.put().ok());
    w->gainedFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(w->detail(QStringLiteral("Current Balance")), QStringLiteral("$4.00"));
    EXPECT_EQ(w->detail(QStringLiteral("Total Outstanding Debt")), QStringLiteral("$4.00"));
    w->close();
}

TEST_F(BrowseAccountsTest, EnterOnARowOpensItForAChange)
{
    addAccount(1, "Bank", "10");
    accounts::BrowseAccountsWindow* w = open();
    std::vector<core::Request> asked;
    w->setFormRunner([&](core::Request r, std::function<void(core::Response, core::Navigation)> done) {
        asked.push_back(r);
        done(core::Response::Cancelled, core::Navigation::None);
    });
    QTest::keyClick(w->list()->table(), Qt::Key_Return);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(asked, std::vector<core::Request>{core::Request::Change});
    w->close();
}

TEST_F(BrowseAccountsTest, ScreenReadersHearEachDetailsPromptAndValue)
{
    addAccount(1, "Bank", "1250.5");
    accounts::BrowseAccountsWindow* w = open();
    bool found = false;
    for (engine::ValueLabel* child : w->findChildren<engine::ValueLabel*>()) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(child);
        if (a && a->text(QAccessible::Name) == QStringLiteral("Current Balance")) {
            EXPECT_EQ(a->text(QAccessible::Value), QStringLiteral("$1,250.50"));
            found = true;
        }
    }
    EXPECT_TRUE(found);
    w->close();
}

TEST_F(BrowseAccountsTest, KeysOnTheListScrollAndLocate)
{
    for (int i = 0; i < 15; ++i)
        addAccount(i + 1, qPrintable(QStringLiteral("Vendor %1").arg(QChar(u'A' + i))), "1");
    accounts::BrowseAccountsWindow* w = open();
    QTest::keyClick(w->list()->table(), Qt::Key_End);
    QCoreApplication::processEvents();
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Vendor O"));
    QTest::keyClick(w->list()->table(), Qt::Key_Home);
    QCoreApplication::processEvents();
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Vendor A"));
    QTest::keyClick(w->list()->table(), Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(files->accounts.record.creditCardVendor, QStringLiteral("Vendor B"));
    w->close();
}

} // namespace
