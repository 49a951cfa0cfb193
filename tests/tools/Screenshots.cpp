// Makes the README's screenshots over the sample register (fundora --sample):
// the accounts list, an account's current transactions, its notes, a report's
// preview, the statement window with the draft statement, where each card
// stands (with the interest of its cycle) and the payoff plan. Run by hand: fundora_screenshots OUTPUT_DIRECTORY.
#include "accounts/AccountProcedures.h"
#include "app/MainFrame.h"
#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "memos/MemoOwner.h"
#include "memos/MemoProcedures.h"
#include "planning/PayoffPlanWindow.h"
#include "planning/PlanningProcedures.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/report/ReportPreviewDialog.h"
#include "reports/ReportGenerator.h"
#include "reports/TransactionReport.h"
#include "sample/SampleRegister.h"
#include "statements/StatementProcedures.h"
#include "transactions/TransactionProcedures.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
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

void maximizeActive(app::MainFrame& frame)
{
    if (QMdiSubWindow* sub = frame.mdiArea()->activeSubWindow())
        sub->showMaximized();
    settle();
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
    auto shot = [&out](QWidget& w, const char* name) { w.grab().save(QDir(out).filePath(QString::fromLatin1(name))); };
    platform::Clock::install(std::make_shared<platform::FixedClock>(QDateTime(QDate(2026, 12, 8), QTime(10, 30))));
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    QTemporaryDir dir;
    if (const QString error = sample::makeSampleRegister(dir.path(), platform::Clock::current().today()); !error.isEmpty()) {
        std::fprintf(stderr, "fundora_screenshots: %s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    core::DataFiles files(dir.path());
    core::DataFiles::setCurrent(&files);
    core::resetGlobalState();
    accounts::registerAccountProcedures();
    transactions::registerTransactionProcedures();
    memos::registerMemoProcedures();
    statements::registerStatementProcedures();
    planning::registerPlanningProcedures();
    app::MainFrame frame(files, dir.path());
    frame.resize(1100, 720);
    if (!frame.open())
        return 1;
    settle();
    shot(frame, "main-window.png");
    frame.toolbarAction(core::Command::Current)->trigger();
    settle();
    frame.mdiArea()->tileSubWindows();
    settle();
    shot(frame, "current-transactions.png");
    frame.mdiArea()->closeAllSubWindows();
    settle();
    frame.startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    core::glo().currentSysid = 1;
    memos::primeMemoOwner(files, {QStringLiteral("ACC"), 1, QStringLiteral("4111 0000 0000 1234"), QString()});
    frame.startProcedure(QStringLiteral("MemoBrowse"));
    settle();
    frame.mdiArea()->tileSubWindows();
    settle();
    shot(frame, "notes.png");

    // The preview of a real report: the first card's open transactions.
    {
        core::FileUse a(files, core::FileId::Accounts), t(files, core::FileId::Transactions);
        reports::TransactionReport report(reports::TransactionReport::Kind::Open);
        platform::PageQueue pages;
        reports::ReportGenerator generator(files, report, pages);
        generator.runToEnd();
        platform::ReportPreviewDialog preview(pages, report.title());
        preview.resize(1000, 760);
        preview.show();
        settle();
        shot(preview, "report-preview.png");
    }

    // Where each card stands, then the first card's draft statement over its current transactions.
    frame.mdiArea()->closeAllSubWindows();
    settle();
    frame.startProcedure(QStringLiteral("BrowseAccounts"));
    settle();
    maximizeActive(frame);
    shot(frame, "accounts-standing.png");
    core::glo().currentSysid = 1;
    frame.startProcedure(QStringLiteral("ReconcileStatement"));
    settle();
    maximizeActive(frame);
    shot(frame, "statement-window.png");

    // The payoff plan of the three cards with 800.00 a month, highest rate first.
    frame.mdiArea()->closeAllSubWindows();
    settle();
    frame.startProcedure(QStringLiteral("PayoffPlan"));
    settle();
    if (auto* plan = frame.findChild<planning::PayoffPlanWindow*>()) {
        plan->findChild<QLineEdit*>()->setText(QStringLiteral("800"));
        plan->makePlan();
    }
    maximizeActive(frame);
    settle();
    shot(frame, "payoff-plan.png");
    frame.close();
    return 0;
}
