// A statement imported inside the main frame, as a user does it: the
// import window opened from the current transactions with its shortcut, the
// file's name typed and read with Enter, the preview changed line by line,
// Import; the new transactions and the balance in the list. A CSV file whose
// dates could be either month or day first waits for the user's format.
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "import/ImportPreviewModel.h"
#include "import/ImportProcedures.h"
#include "import/ImportRecords.h"
#include "import/ImportStatementWindow.h"
#include "statements/StatementProcedures.h"
#include "tests/app/FrameFixture.h"
#include "tests/import/ImportFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/CutShort.h"
#include "tests/support/Mnemonics.h"
#include "transactions/BrowseCurrentTransactionsWindow.h"
#include "transactions/ReconciledEntries.h"
#include "transactions/TransactionProcedures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace fundora;
using importing::ImportPreviewModel;
using importing::ImportStatementWindow;
using transactions::BrowseCurrentTransactionsWindow;
using namespace core::Command;

namespace {

class ImportInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override
    {
        accounts::registerAccountProcedures();
        transactions::registerTransactionProcedures();
        statements::registerStatementProcedures();
        importing::registerImportProcedures();
    }
    void SetUp() override
    {
        FrameTest::SetUp();
        {
            core::FileUse accounts(*files, core::FileId::Accounts), transactions(*files, core::FileId::Transactions);
            files->accounts.clear();
            files->accounts.record.sysId = 1;
            files->accounts.record.creditCardVendor = QStringLiteral("Alpha Bank");
            files->accounts.record.accountNumber = QStringLiteral("4111-2222-3333-4444");
            files->accounts.record.creditLimit = *platform::Decimal::parse(u"1000.00");
            files->accounts.record.accountBalance = *platform::Decimal::parse(u"42.50");
            ASSERT_TRUE(files->accounts.add().ok());
            files->transactions.clear();
            files->transactions.record.sysId = 1;
            files->transactions.record.dateofTransaction = test::day(2026, 11, 1);
            files->transactions.record.transactionType = QStringLiteral("C");
            files->transactions.record.transactionDescription = QStringLiteral("Bakery");
            files->transactions.record.transactionAmount = *platform::Decimal::parse(u"42.50");
            ASSERT_TRUE(files->transactions.add().ok());
        }
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
    // The current transactions, with the import window opened by Alt+P.
    ImportStatementWindow* openImport(BrowseCurrentTransactionsWindow*& current)
    {
        press(Current);
        current = child<BrowseCurrentTransactionsWindow>();
        EXPECT_NE(current, nullptr);
        if (!current)
            return nullptr;
        current->list()->setFixedRowCount(10);
        frame->activateWindow();
        settle();
        current->list()->table()->setFocus();
        QSignalSpy clicked(current->button(QStringLiteral("Import Statement...")), &QPushButton::clicked);
        QTest::keyClick(current, Qt::Key_P, Qt::AltModifier);
        EXPECT_TRUE(clicked.count() > 0 || clicked.wait(10000)) << "Alt+P clicks the button";
        settle();
        return child<ImportStatementWindow>();
    }
    void typeFile(ImportStatementWindow* window, const QString& file)
    {
        window->fileName()->setFocus();
        QTest::keyClicks(window->fileName(), file);
        QTest::keyClick(window->fileName(), Qt::Key_Return);
        settle();
    }
    static QStringList column(QAbstractItemModel* model, int c)
    {
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, c).data().toString();
        return out;
    }
};

TEST_F(ImportInFrameTest, AStatementImportedThroughTheWindowShowsInTheListWithItsBalance)
{
    const std::vector<test::OfxLine> lines = {
        {QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("BAKERY ON MAIN")},
        {QStringLiteral("20261110"), QStringLiteral("-19.99"), QStringLiteral("B"), QStringLiteral("Bookshop")},
        {QStringLiteral("20261112"), QStringLiteral("-5.00"), QStringLiteral("C"), QStringLiteral("Parking")},
        {QStringLiteral("20261130"), QStringLiteral("30.00"), QStringLiteral("D"), QStringLiteral("Payment"), QStringLiteral("CREDIT")}};
    // The file holds two cards; the one ending like the account's number is proposed.
    const QString file = test::writeFile(path(QStringLiteral("november.qfx")),
                                         test::ofxFile(test::ofxCardStatement(QStringLiteral("5500000000001111"), {lines[1]}, false) +
                                                           test::ofxCardStatement(QStringLiteral("4111222233334444"), lines, false),
                                                       false)
                                             .toLatin1());

    BrowseCurrentTransactionsWindow* current = nullptr;
    ImportStatementWindow* window = openImport(current);
    ASSERT_NE(window, nullptr) << "the shortcut opens the import window";
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Import a Statement for Alpha Bank"));
    EXPECT_EQ(test::controlsWithoutNames(*window), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*window, menuTitles()), QStringList());
    EXPECT_EQ(test::controlsCutShort(*window), QStringList()) << "at its opening size";
    EXPECT_FALSE(frame->toolbarAction(Insert)->isEnabled()) << "no record commands reach the list behind the window";
    EXPECT_FALSE(window->button(QStringLiteral("Import"))->isEnabled());

    typeFile(window, file);
    EXPECT_EQ(window->problem(), QString());
    EXPECT_TRUE(window->fileAccount()->isVisible());
    EXPECT_EQ(window->fileAccount()->currentText(), QStringLiteral("...4444 (4 lines)"));
    ImportPreviewModel* model = window->model();
    ASSERT_EQ(model->rowCount(), 4);
    EXPECT_EQ(column(model, ImportPreviewModel::Status),
              (QStringList{QStringLiteral("matched"), QStringLiteral("new"), QStringLiteral("new"), QStringLiteral("new")}));
    EXPECT_EQ(column(model, ImportPreviewModel::Amount),
              (QStringList{QStringLiteral("$42.50"), QStringLiteral("$19.99"), QStringLiteral("$5.00"), QStringLiteral("-$30.00")}));
    EXPECT_EQ(window->figure(QStringLiteral("Balance now")), QStringLiteral("$42.50"));
    EXPECT_EQ(window->figure(QStringLiteral("Balance after import")), QStringLiteral("$37.49"));
    EXPECT_EQ(window->figure(QStringLiteral("Lines")), QStringLiteral("3 new, 0 duplicate, 1 matched, 0 refused"));

    // The parking is left out: a click on its row, then Alt+V.
    QTableView* table = window->list();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(model->index(2, ImportPreviewModel::Description)).center());
    QSignalSpy leftOut(window->button(QStringLiteral("Leave Out")), &QPushButton::clicked);
    QTest::keyClick(table, Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(leftOut.count() > 0 || leftOut.wait(10000));
    EXPECT_EQ(model->index(2, ImportPreviewModel::Action).data().toString(), QStringLiteral("Leave out"));
    EXPECT_EQ(window->figure(QStringLiteral("Balance after import")), QStringLiteral("$32.49"));

    QTest::mouseClick(window->button(QStringLiteral("Import")), Qt::LeftButton);
    settle();
    EXPECT_EQ(child<ImportStatementWindow>(), nullptr) << "Import closes the window";
    EXPECT_TRUE(messages().shown().empty());

    activate(current);
    current->gainedFocus();
    settle();
    EXPECT_EQ(current->list()->model()->rowCount(), 3) << "the typed charge, the book and the payment";
    EXPECT_EQ(current->value(QStringLiteral("Account Balance")), QStringLiteral("$32.49"));

    // The same file again: everything it holds is a duplicate, Import stays off.
    window = openImport(current);
    ASSERT_NE(window, nullptr);
    typeFile(window, file);
    EXPECT_EQ(window->figure(QStringLiteral("Lines")), QStringLiteral("1 new, 3 duplicate, 0 matched, 0 refused"))
        << "only the parking left out before is new";
    QTest::keyClick(window, Qt::Key_Escape);
    settle();
    EXPECT_EQ(child<ImportStatementWindow>(), nullptr) << "Escape closes without importing";
    current->gainedFocus();
    settle();
    EXPECT_EQ(current->list()->model()->rowCount(), 3);
}

TEST_F(ImportInFrameTest, ACsvFileWaitsForTheDateFormatAndKeepsItsMappingForTheAccount)
{
    const QString file =
        test::writeFile(path(QStringLiteral("card.csv")), "Date,Description,Amount\n03/04/2026,Caf\xe9 Nord,-4.20\n05/06/2026,Bus,-2.00\n");
    BrowseCurrentTransactionsWindow* current = nullptr;
    ImportStatementWindow* window = openImport(current);
    ASSERT_NE(window, nullptr);
    typeFile(window, file);
    EXPECT_TRUE(window->csvColumns()->isVisible());
    EXPECT_EQ(test::controlsCutShort(*window), QStringList()) << "the CSV columns at the window's opening size";
    EXPECT_EQ(test::mnemonicClashes(*window, menuTitles()), QStringList());
    EXPECT_EQ(window->problem(), QStringLiteral("The dates could be written M/d/yyyy or d/M/yyyy: pick the date format."));
    EXPECT_EQ(window->model()->rowCount(), 0);
    EXPECT_EQ(window->csvChoice(QStringLiteral("Date column"))->currentText(), QStringLiteral("1: Date"));
    EXPECT_EQ(window->csvChoice(QStringLiteral("Amount column"))->currentText(), QStringLiteral("3: Amount"));

    // Day first: the format picked with the keyboard.
    QComboBox* format = window->csvChoice(QStringLiteral("Date format"));
    format->setFocus();
    const int dayFirst = format->findText(QStringLiteral("d/M/yyyy"));
    while (format->currentIndex() != dayFirst)
        QTest::keyClick(format, format->currentIndex() < dayFirst ? Qt::Key_Down : Qt::Key_Up);
    settle();
    ASSERT_EQ(window->model()->rowCount(), 2);
    EXPECT_EQ(window->model()->index(0, ImportPreviewModel::Date).data().toString(), QStringLiteral("04/03/2026"));
    EXPECT_EQ(window->model()->index(0, ImportPreviewModel::Description).data().toString(), QStringLiteral("Caf\u00e9 Nord"));
    QTest::mouseClick(window->button(QStringLiteral("Import")), Qt::LeftButton);
    settle();
    ASSERT_EQ(child<ImportStatementWindow>(), nullptr);

    // The next file of the account is read with the kept mapping at once.
    const QString next = test::writeFile(path(QStringLiteral("next.csv")), "Date,Description,Amount\n07/08/2026,Taxi,-9.00\n");
    window = openImport(current);
    ASSERT_NE(window, nullptr);
    typeFile(window, next);
    EXPECT_EQ(window->problem(), QString());
    ASSERT_EQ(window->model()->rowCount(), 1);
    EXPECT_EQ(window->model()->index(0, ImportPreviewModel::Date).data().toString(), QStringLiteral("08/07/2026"));
}

TEST_F(ImportInFrameTest, ABadFileSaysWhatIsWrongAndLeavesImportOff)
{
    BrowseCurrentTransactionsWindow* current = nullptr;
    ImportStatementWindow* window = openImport(current);
    ASSERT_NE(window, nullptr);
    const QString file = test::writeFile(
        path(QStringLiteral("bad.ofx")),
        test::ofxFile(test::ofxCardStatement(
                          QStringLiteral("4444"),
                          {{QStringLiteral("20261103"), QStringLiteral("12.345"), QStringLiteral("A"), QStringLiteral("x")}}, true),
                      true)
            .toUtf8());
    typeFile(window, file);
    EXPECT_TRUE(window->problem().contains(QStringLiteral("<TRNAMT> \"12.345\" is not an amount"))) << window->problem().toStdString();
    EXPECT_EQ(window->model()->rowCount(), 0);
    EXPECT_FALSE(window->button(QStringLiteral("Import"))->isEnabled());
    // Flip signs is kept only by an import that was written.
    QTest::mouseClick(window->flipSigns(), Qt::LeftButton);
    QTest::mouseClick(window->button(QStringLiteral("Cancel")), Qt::LeftButton);
    settle();
    core::FileUse settings(*files, importing::importSettingsFile());
    importing::ImportSettings kept;
    ASSERT_TRUE(importing::readImportSettings(*files, 1, kept).ok());
    EXPECT_EQ(kept.flipSigns, 0);
}

} // namespace
