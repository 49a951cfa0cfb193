#pragma once

#include "core/OpenFile.h"
#include "platform/report/PageQueue.h"
#include "platform/store/View.h"
#include "reports/BandedPages.h"
#include "reports/Report.h"

#include <memory>

namespace fundora::reports {

// Reads a report's records through its view and lays them out on pages, a
// batch at a time, and keeps the progress figures. No widgets: the progress
// window drives it from its timer and the command line in one loop.
class ReportGenerator {
public:
    ReportGenerator(core::DataFiles& files, Report& report, platform::PageQueue& pages);
    ~ReportGenerator();

    enum class Start { Ready, Empty, Failed };
    // Sets the view's order and filter and reads the first record that passes.
    // Failed: warning 36 was shown.
    Start start();

    // Prints up to `records` records (each: its values, its detail line, then
    // the next record). True when no record is left.
    bool runBatch(int records);
    bool completed() const { return m_completed; }

    // Ends the report: the group footer when every record was printed, then the page.
    bool finish(bool complete);

    // start(), every batch and finish() in one go, for runs without a window.
    // Ready: the pages are made (unless error() says otherwise).
    Start runToEnd();

    std::int64_t recordsToProcess() const { return m_recordsToProcess; }
    std::int64_t recordsProcessed() const { return m_recordsProcessed; }
    int percent() const { return m_percent; }
    const BandedPages& bands() const { return m_bands; }
    QString error() const { return m_error; }

private:
    // GetNextRecord and ValidateRecord: false when no record is left.
    bool readNext();

    core::DataFiles& m_files;
    Report& m_report;
    const ReportSelection m_selection;
    platform::PageQueue& m_pages;
    BandedPages m_bands;
    std::unique_ptr<platform::View> m_view;
    platform::Record m_record;
    bool m_haveRecord = false;
    bool m_completed = false;
    std::int64_t m_recordsToProcess = 25;
    std::int64_t m_recordsProcessed = 0;
    int m_percent = 0;
    QString m_error;
};

// The counted opens of every file a report reads, released together.
class ReportFiles {
public:
    ReportFiles(core::DataFiles& files, const ReportSelection& selection);
    // False when a file could not be opened (the open has warned).
    bool ok() const { return m_ok; }

private:
    std::vector<std::unique_ptr<core::FileUse>> m_uses;
    bool m_ok = true;
};

// The lower text of the progress window: " 40% Completed", or "12 Records Read".
QString progressText(ProgressForm form, int percent, std::int64_t records, const QString& percentText, const QString& recordText);

// The globals a report's filter may name, bound under their names.
platform::FilterBindings reportBindings();

} // namespace fundora::reports
