#pragma once

#include "platform/report/PageQueue.h"

#include <QString>

#include <memory>

class QWidget;

namespace fundora::platform {

// Where the user sends a report.
enum class ReportDestination { Cancelled = 0, Preview = 1, Print = 2, Pdf = 3 };

// What the report manager is told about the report it shows.
struct ReportJob {
    QString procedure; // the report's procedure name, also its title
    QString title;
    QWidget* parent = nullptr;
    QString pdfFile; // Pdf: where to write (asked for when empty)
};

// The report manager: the destination dialog before a report is made and the
// preview, printing and saving of its pages afterwards. The programs use the
// dialogs; tests install one that answers and records.
class ReportManager {
public:
    virtual ~ReportManager() = default;

    // The destination dialog; Cancelled when the user closed it.
    virtual ReportDestination chooseDestination(ReportJob& job) = 0;
    // Shows, prints or saves the pages as chosen. Returns 1 when the pages
    // were delivered, 2 when the user dropped them.
    virtual int present(const ReportJob& job, ReportDestination destination, const PageQueue& pages) = 0;

    static ReportManager& current();
    // Installs `manager` (nullptr restores the dialogs).
    static void install(std::shared_ptr<ReportManager> manager);
};

// The dialogs: the destination dialog, the preview window, the print dialog
// and a file dialog for the PDF's name.
class DialogReportManager final : public ReportManager {
public:
    ReportDestination chooseDestination(ReportJob& job) override;
    int present(const ReportJob& job, ReportDestination destination, const PageQueue& pages) override;
};

} // namespace fundora::platform
