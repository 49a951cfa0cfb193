// Makes the README's screenshots: the main window over a small sample
// register, with the accounts list, an account's current transactions, its
// notes, a report's preview, the statement window and where each card stands.
// Run by hand: fundora_screenshots OUTPUT_DIRECTORY.
#include "accounts/AccountFormRecord.h"
#include "accounts/AccountProcedures.h"
#include "app/MainFrame.h"
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "memos/MemoOwner.h"
#include "memos/MemoProcedures.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/report/ReportPreviewDialog.h"
#include "reports/ReportGenerator.h"
#include "reports/TransactionReport.h"
#include "statements/ReconcileStatementWindow.h"
#include "statements/StatementEntriesModel.h"
#include "statements/StatementProcedures.h"
#include "statements/StatementSession.h"
#include "transactions/TransactionFormRecord.h"
#include "transactions/TransactionProcedures.h"

#include <QLineEdit>

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <cstdio>

using namespace fundora;

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

void sample(core::DataFiles& files)
{
    core::FileUse accounts(files, core::FileId::Accounts), transactions(files, core::FileId::Transactions),
        memo(files, core::FileId::MemoCard);
    struct Account {
        const char* vendor;
        const char* type;
        const char* number;
        std::int64_t balance, limit;
    };
    const Account list[] = {{"First Harbor Bank", "V", "4111-0000-1234", 125000, 140000},
                            {"Northline Card", "M", "5500-0000-9876", 31050, 250000},
                            {"Grand Store Charge", "X", "6011-0000-5555", 0, 100000}};
    std::int32_t id = 0;
    for (const Account& a : list) {
        files.accounts.clear();
        files.accounts.record.sysId = ++id;
        files.accounts.record.creditCardVendor = QString::fromLatin1(a.vendor);
        files.accounts.record.cardType = QString::fromLatin1(a.type);
        files.accounts.record.accountNumber = QString::fromLatin1(a.number);
        files.accounts.record.accountBalance = platform::Decimal::fromUnits(a.balance, 2);
        files.accounts.record.creditLimit = platform::Decimal::fromUnits(a.limit, 2);
        files.accounts.record.billingDay = 14;
        files.accounts.add();
        accounts::AccountFormRecord::bookOpeningBalance(files);
    }
    const struct {
        int day;
        const char* type;
        const char* text;
        std::int64_t amount;
    } entries[] = {{2, "C", "Groceries", 8642},
                   {3, "C", "Fuel", 4810},
                   {4, "P", "Payment - Check number 1042", -20000},
                   {5, "F", "Late fee", 2500},
                   {5, "C", "Books", 3199}};
    for (const auto& e : entries) {
        files.transactions.clear();
        files.transactions.record.sysId = 1;
        files.transactions.record.dateofTransaction = platform::dayNumberOf(2026, 12, e.day);
        files.transactions.record.transactionType = QString::fromLatin1(e.type);
        files.transactions.record.transactionDescription = QString::fromLatin1(e.text);
        files.transactions.record.transactionAmount = platform::Decimal::fromUnits(e.amount, 2);
        files.transactions.add();
    }
    // The balance follows its transactions, as the form would have kept it.
    files.accounts.clear();
    files.accounts.record.sysId = 1;
    files.accounts.get(core::AccSysIDKey);
    for (const auto& e : entries)
        files.accounts.record.accountBalance += platform::Decimal::fromUnits(e.amount, 2);
    files.accounts.put();
    files.memoCards.clear();
    files.memoCards.record.type = QStringLiteral("ACC");
    files.memoCards.record.firstId = 1;
    files.memoCards.record.secondId = QStringLiteral("4111-0000-1234");
    files.memoCards.record.topic = QStringLiteral("Card replaced after travel");
    files.memoCards.record.date = platform::dayNumberOf(2026, 12, 1);
    files.memoCards.add();
}

// Account 1's statement closing today, 12/06: the opening balance and the
// first three entries; then two entries after it, four days later.
void statementOfAccountOne(core::DataFiles& files, platform::FixedClock& clock)
{
    core::FileUse accounts(files, core::FileId::Accounts), transactions(files, core::FileId::Transactions),
        statements(files, core::FileId::Statements), lines(files, core::FileId::StatementLines);
    statements::StatementSession session(files, 1);
    session.open(clock.today());
    session.setClosingDate(platform::dayNumberOf(2026, 12, 6));
    for (std::size_t i = 0; i < session.entries().size(); ++i) {
        const QString& text = session.entries()[i].transaction.transactionDescription;
        if (!text.contains(QStringLiteral("fee")) && !text.contains(QStringLiteral("Books")))
            session.setTicked(i, true);
    }
    session.setEndingBalance(session.resultingBalance());
    session.setMinimumPayment(platform::Decimal::fromUnits(3500, 2));
    session.setDueDate(platform::dayNumberOf(2026, 12, 31));
    session.finish(false);
    clock.set(QDateTime(QDate(2026, 12, 10), QTime(9, 15)));
    for (const auto& [day, type, text, amount] :
         {std::tuple{8, "P", "Payment - Check number 1043", -10000}, std::tuple{9, "C", "Restaurant", 5420}}) {
        core::FileTransaction tx(files.store);
        files.transactions.clear();
        files.transactions.record.sysId = 1;
        files.transactions.record.dateofTransaction = platform::dayNumberOf(2026, 12, day);
        files.transactions.record.transactionType = QString::fromLatin1(type);
        files.transactions.record.transactionDescription = QString::fromLatin1(text);
        files.transactions.record.transactionAmount = platform::Decimal::fromUnits(amount, 2);
        files.transactions.add();
        transactions::addToBalance(files, 1, platform::Decimal::fromUnits(amount, 2));
        tx.commit();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fundora_screenshots OUTPUT_DIRECTORY\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    auto clock = std::make_shared<platform::FixedClock>(QDateTime(QDate(2026, 12, 6), QTime(10, 30)));
    platform::Clock::install(clock);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    core::DataFiles files(dir.path());
    core::DataFiles::setCurrent(&files);
    core::resetGlobalState();
    accounts::registerAccountProcedures();
    transactions::registerTransactionProcedures();
    memos::registerMemoProcedures();
    statements::registerStatementProcedures();
    sample(files);
    app::MainFrame frame(files, dir.path());
    frame.resize(1100, 720);
    if (!frame.open())
        return 1;
    settle();
    frame.grab().save(QDir(out).filePath(QStringLiteral("main-window.png")));
    frame.toolbarAction(core::Command::Current)->trigger();
    settle();
    frame.mdiArea()->tileSubWindows();
    settle();
    frame.grab().save(QDir(out).filePath(QStringLiteral("current-transactions.png")));
    frame.mdiArea()->closeAllSubWindows();
    settle();
    frame.startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    core::glo().currentSysid = 1;
    memos::primeMemoOwner(files, {QStringLiteral("ACC"), 1, QStringLiteral("4111-0000-1234"), QString()});
    frame.startProcedure(QStringLiteral("MemoBrowse"));
    settle();
    frame.mdiArea()->tileSubWindows();
    settle();
    frame.grab().save(QDir(out).filePath(QStringLiteral("notes.png")));

    // The preview of a real report: account 1's open transactions.
    {
        core::glo().currentSysid = 1;
        core::FileUse a(files, core::FileId::Accounts), t(files, core::FileId::Transactions);
        reports::TransactionReport report(reports::TransactionReport::Kind::Open);
        platform::PageQueue pages;
        reports::ReportGenerator generator(files, report, pages);
        generator.runToEnd();
        platform::ReportPreviewDialog preview(pages, report.title());
        preview.resize(1000, 760);
        preview.show();
        settle();
        preview.grab().save(QDir(out).filePath(QStringLiteral("report-preview.png")));
    }

    // Where each card stands, then the statement window over the current transactions.
    statementOfAccountOne(files, *clock);
    frame.mdiArea()->closeAllSubWindows();
    settle();
    frame.startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    if (QMdiSubWindow* sub = frame.mdiArea()->activeSubWindow())
        sub->showMaximized();
    settle();
    frame.grab().save(QDir(out).filePath(QStringLiteral("accounts-standing.png")));
    core::glo().currentSysid = 1;
    frame.startProcedure(QStringLiteral("ReconcileStatement"));
    settle();
    if (QMdiSubWindow* sub = frame.mdiArea()->activeSubWindow()) {
        auto* window = qobject_cast<statements::ReconcileStatementWindow*>(sub->widget());
        if (window) {
            window->endingBalance()->setText(QStringLiteral("1,207.59"));
            window->model()->toggle(0);
            window->model()->toggle(1);
            window->endingBalance()->textEdited(window->endingBalance()->text());
        }
        sub->showMaximized();
        settle();
        frame.grab().save(QDir(out).filePath(QStringLiteral("statement-window.png")));
    }
    frame.close();
    return 0;
}
