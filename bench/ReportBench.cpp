// Speed and memory of report generation: report_bench accounts|transactions|history N
// makes a program directory under the temporary directory with N accounts (or
// one account with N transactions: open for its open transactions, reconciled
// for its history over their whole dates), runs the report to its pages and then to
// a PDF, and prints pages a second for both steps and the process's peak
// resident memory. Run it for two sizes side by side (report_bench.sh) to
// compare the peaks: pages go to files as they are made, so the peak should
// hardly grow with the page count.
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "platform/HeapSettings.h"
#include "platform/MessageService.h"
#include "platform/report/ReportOutput.h"
#include "reports/AccountsReport.h"
#include "reports/ReportGenerator.h"
#include "reports/TransactionReport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace fundora;

namespace {

long peakKilobytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void fill(core::DataFiles& files, bool accounts, bool history, int n)
{
    core::FileUse a(files, core::FileId::Accounts), t(files, core::FileId::Transactions);
    core::FileTransaction tx(files.store);
    const int accountCount = accounts ? n : 1;
    for (int i = 1; i <= accountCount; ++i) {
        files.accounts.clear();
        files.accounts.record.sysId = i;
        files.accounts.record.creditCardVendor = QStringLiteral("Vendor %1").arg(i, 6, 10, QChar(u'0'));
        files.accounts.record.cardType = QStringLiteral("V");
        files.accounts.record.accountNumber = QStringLiteral("4000-%1").arg(i);
        files.accounts.record.vendorCity = QStringLiteral("Springfield");
        files.accounts.record.billingDay = static_cast<std::int16_t>(i % 28 + 1);
        files.accounts.record.creditLimit = platform::Decimal::fromUnits(500000, 2);
        files.accounts.add();
    }
    if (!accounts)
        for (int i = 0; i < n; ++i) {
            files.transactions.clear();
            files.transactions.record.sysId = 1;
            files.transactions.record.dateofTransaction = platform::dayNumberOf(2020, 1, 1) + i / 50;
            files.transactions.record.transactionType = QStringLiteral("C");
            files.transactions.record.transactionDescription = QStringLiteral("Charge number %1").arg(i);
            files.transactions.record.transactionAmount = platform::Decimal::fromUnits(1000 + i % 5000, 2);
            files.transactions.record.reconciledTransaction = history ? 1 : 0;
            files.transactions.add();
        }
    tx.commit();
}

} // namespace

int main(int argc, char** argv)
{
    platform::keepLargeFreedBlocks(); // as the program does
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3 || (qstrcmp(argv[1], "accounts") != 0 && qstrcmp(argv[1], "transactions") != 0 && qstrcmp(argv[1], "history") != 0)) {
        std::fprintf(stderr, "usage: report_bench accounts|transactions|history COUNT\n");
        return 2;
    }
    const bool accounts = qstrcmp(argv[1], "accounts") == 0;
    const bool history = qstrcmp(argv[1], "history") == 0;
    const int n = std::atoi(argv[2]);
    platform::MessageService::install(std::make_shared<platform::ScriptedMessageService>());
    QTemporaryDir dir;
    core::DataFiles files(dir.path());
    core::DataFiles::setCurrent(&files);
    core::resetGlobalState();
    fill(files, accounts, history, n);
    core::glo().currentSysid = 1;
    core::glo().lowDate = platform::dayNumberOf(2020, 1, 1);
    core::glo().highDate = platform::dayNumberOf(2099, 12, 31);

    const long before = peakKilobytes();
    core::FileUse a(files, core::FileId::Accounts), t(files, core::FileId::Transactions);
    std::unique_ptr<reports::Report> report;
    if (accounts)
        report = std::make_unique<reports::AccountsReport>();
    else
        report = std::make_unique<reports::TransactionReport>(history ? reports::TransactionReport::Kind::History
                                                                      : reports::TransactionReport::Kind::Open);
    platform::PageQueue pages;
    reports::ReportGenerator generator(files, *report, pages);
    QElapsedTimer timer;
    timer.start();
    if (generator.runToEnd() != reports::ReportGenerator::Start::Ready || !generator.error().isEmpty())
        return 1;
    const double makeSeconds = timer.nsecsElapsed() / 1e9;
    timer.restart();
    QString error;
    if (!platform::writePdf(pages, dir.filePath(QStringLiteral("report.pdf")), report->title(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double pdfSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("%s %d: %d pages; made %.0f pages/s (%.2f s); PDF %.0f pages/s (%.2f s); peak RSS %ld kB (%ld kB before the report)\n",
                argv[1], n, pages.count(), pages.count() / makeSeconds, makeSeconds, pages.count() / pdfSeconds, pdfSeconds,
                peakKilobytes(), before);
    return 0;
}
