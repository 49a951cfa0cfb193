#include "platform/report/ReportManager.h"

#include "platform/MessageService.h"
#include "platform/report/ReportDestinationDialog.h"
#include "platform/report/ReportOutput.h"
#include "platform/report/ReportPreviewDialog.h"
#include "platform/ui/SharedPrinter.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace fundora::platform {

namespace {

std::shared_ptr<ReportManager>& installed()
{
    static std::shared_ptr<ReportManager> manager;
    return manager;
}

int failed(const QString& text)
{
    MessageService::current().show({QStringLiteral("Report"), text, MessageIcon::Exclamation, Button::Ok, 0, false});
    return 2;
}

} // namespace

ReportManager& ReportManager::current()
{
    static DialogReportManager dialogs;
    return installed() ? *installed() : dialogs;
}

void ReportManager::install(std::shared_ptr<ReportManager> manager)
{
    installed() = std::move(manager);
}

ReportDestination DialogReportManager::chooseDestination(ReportJob& job)
{
    ReportDestinationDialog dialog(job.title, job.parent);
    if (dialog.exec() != QDialog::Accepted)
        return ReportDestination::Cancelled;
    const ReportDestination d = dialog.destination();
    if (d == ReportDestination::Pdf && job.pdfFile.isEmpty()) {
        job.pdfFile = QFileDialog::getSaveFileName(job.parent, QStringLiteral("Save the Report as PDF"), job.title + QStringLiteral(".pdf"),
                                                   QStringLiteral("PDF files (*.pdf)"));
        if (job.pdfFile.isEmpty())
            return ReportDestination::Cancelled;
    }
    return d;
}

int DialogReportManager::present(const ReportJob& job, ReportDestination destination, const PageQueue& pages)
{
    QString error;
    switch (destination) {
    case ReportDestination::Cancelled: return 2;
    case ReportDestination::Pdf:
        return writePdf(pages, job.pdfFile, job.title, &error) ? 1 : failed(QStringLiteral("The report was not saved: %1").arg(error));
    case ReportDestination::Print: {
        QPrintDialog dialog(&sharedPrinter(), job.parent);
        dialog.setMinMax(1, pages.count());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        if (dialog.exec() != QDialog::Accepted)
            return 2;
        return printPages(pages, sharedPrinter(), &error) ? 1 : failed(QStringLiteral("The report was not printed: %1").arg(error));
    }
    case ReportDestination::Preview: {
        ReportPreviewDialog preview(pages, job.title, job.parent);
        preview.exec();
        return preview.result();
    }
    }
    return 2;
}

} // namespace fundora::platform
