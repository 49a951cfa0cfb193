#pragma once

#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "platform/report/ReportManager.h"
#include "reports/ProgressWindow.h"
#include "reports/ReportDisplayStrings.h"
#include "reports/ReportGenerator.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

namespace fundora::reports {

// One run of a report: the display texts, the destination, the files, the
// progress window whose timer makes the pages a batch at a time, the cancel
// questions, the preview, and the clean-up that removes the page files and
// puts back the printer settings and the working directory, however it ends.
// A run deletes itself when it has ended; `ended` says how.
class ReportRun final : public QObject {
    Q_OBJECT
public:
    static constexpr int RecordsPerCycle = 25;

    // Starts `report`. The destination dialog is asked at once; the progress
    // window then works on its own. Returns the run while it goes on, or
    // nullptr when it has already ended (cancelled, nothing selected).
    static ReportRun* start(core::DataFiles& files, std::unique_ptr<Report> report, std::function<void(core::Response)> ended = {});

    // Tests drive the batches themselves: with this off the timer never runs.
    static void setAutoRun(bool on);

    // What the timer does (one batch of RecordsPerCycle records, or one record after a cancel was started).
    void runBatch();
    // The Cancel button, Escape or the close box.
    void cancel();

    ProgressWindow* progressWindow() const { return m_window; }
    const platform::PageQueue& pages() const { return m_pages; }
    const ReportGenerator& generator() const { return *m_generator; }
    int recordsPerCycle() const { return m_recordsPerCycle; }

signals:
    void ended(core::Response response);

private:
    ReportRun(core::DataFiles& files, std::unique_ptr<Report> report);
    ~ReportRun() override;

    // False when the run ended before the progress window.
    bool begin();
    void stopGeneration();
    void afterLoop();
    void finish();
    void showProgress();
    void setBusy(bool busy);
    void closeProgress();
    void sendToFiles(const QString& option);

    core::DataFiles& m_files;
    std::unique_ptr<Report> m_report;
    const ReportSelection m_selection;
    ReportDisplayStrings m_texts;
    platform::PageQueue m_pages;
    std::unique_ptr<ReportGenerator> m_generator;
    std::unique_ptr<ReportFiles> m_open;
    platform::ReportJob m_job;
    platform::ReportDestination m_destination = platform::ReportDestination::Cancelled;
    QPointer<ProgressWindow> m_window;
    QTimer m_timer;
    core::Response m_response = core::Response::Cancelled;
    int m_recordsPerCycle = RecordsPerCycle;
    bool m_previewPartial = false;
    bool m_cancelRequested = false;
    bool m_asking = false;
    bool m_finished = false;
    bool m_busy = false;

    // Put back at every exit.
    QString m_directory;
    struct PrinterSettings {
        QString printerName;
        QString outputFile;
        int copies = 1;
        int range = 0;
        int fromPage = 0;
        int toPage = 0;
    } m_printer;
    std::function<void(core::Response)> m_endedCallback;
};

} // namespace fundora::reports
