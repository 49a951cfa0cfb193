#include "reports/ReportRun.h"

#include "core/Procedures.h"
#include "platform/MessageService.h"
#include "platform/ui/SharedPrinter.h"
#include "reports/ProgressWindow.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>

namespace fundora::reports {

namespace {

bool s_autoRun = true;

platform::Message question(const QString& title, const QString& text, int buttons)
{
    platform::Message m;
    m.title = title;
    m.text = text;
    m.icon = platform::MessageIcon::Exclamation;
    m.buttons = buttons;
    m.defaultButton = platform::Button::No;
    m.barsBreakLines = true;
    return m;
}

} // namespace

void ReportRun::setAutoRun(bool on)
{
    s_autoRun = on;
}

ReportRun* ReportRun::start(core::DataFiles& files, std::unique_ptr<Report> report, std::function<void(core::Response)> ended)
{
    auto* run = new ReportRun(files, std::move(report));
    run->m_endedCallback = std::move(ended);
    if (!run->begin())
        return nullptr;
    return run;
}

ReportRun::ReportRun(core::DataFiles& files, std::unique_ptr<Report> report)
    : m_files(files), m_report(std::move(report)), m_selection(m_report->selection())
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ReportRun::runBatch);
}

ReportRun::~ReportRun() = default;

bool ReportRun::begin()
{
    m_texts = ReportDisplayStrings::load(ReportDisplayStringsFile, {});
    m_directory = QDir::currentPath();
    QPrinter& printer = platform::sharedPrinter();
    m_printer = {printer.printerName(), printer.outputFileName(), printer.copyCount(), static_cast<int>(printer.printRange()),
                 printer.fromPage(),    printer.toPage()};
    printer.setCopyCount(1);
    m_job.procedure = m_report->procedure();
    m_job.title = m_report->title();
    m_job.parent = core::glo().frameWindow;
    m_destination = platform::ReportManager::current().chooseDestination(m_job);
    if (m_destination == platform::ReportDestination::Cancelled) {
        finish();
        return false;
    }
    setBusy(true);

    m_open = std::make_unique<ReportFiles>(m_files, m_selection);
    if (!m_open->ok()) {
        finish();
        return false;
    }
    m_generator = std::make_unique<ReportGenerator>(m_files, *m_report, m_pages);
    sendToFiles(QStringLiteral("QUICKSCAN=on"));
    if (m_generator->start() != ReportGenerator::Start::Ready) {
        m_response = core::Response::Cancelled;
        afterLoop();
        return false;
    }
    showProgress();
    if (s_autoRun)
        m_timer.start();
    return true;
}

void ReportRun::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void ReportRun::showProgress()
{
    m_window = new ProgressWindow;
    m_window->setTexts(m_texts.progWinTitlePrvw, m_texts.progWinUsrText);
    m_window->showThermometer();
    m_window->setProgress(m_generator->percent(),
                          progressText(m_selection.progress, m_generator->percent(), m_generator->recordsProcessed(),
                                       m_texts.progWinPctText, m_texts.progWinRecText),
                          true);
    connect(m_window, &ProgressWindow::cancelPressed, this, &ReportRun::cancel);
    if (core::ProcedureHost* host = core::ProcedureHost::current()) {
        host->showChild(m_window);
    } else {
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->show();
    }
}

void ReportRun::runBatch()
{
    if (m_finished || m_asking || !m_generator)
        return;
    const bool done = m_generator->runBatch(m_recordsPerCycle);
    const ProgressForm form = m_selection.progress;
    if (m_window)
        m_window->setProgress(
            m_generator->percent(),
            progressText(form, m_generator->percent(), m_generator->recordsProcessed(), m_texts.progWinPctText, m_texts.progWinRecText),
            form == ProgressForm::RecordCount);
    if (done) {
        m_response = m_generator->error().isEmpty() ? core::Response::Completed : core::Response::Cancelled;
        stopGeneration();
    }
}

void ReportRun::cancel()
{
    if (m_finished || m_asking || !m_generator)
        return;
    m_asking = true; // no batch runs while a question is open
    platform::MessageService& messages = platform::MessageService::current();
    const int sure =
        messages.show(question(m_texts.cancelAreYouSureTitle, m_texts.cancelAreYouSureText, platform::Button::Yes | platform::Button::No));
    if (sure != platform::Button::Yes) {
        m_asking = false;
        return;
    }
    m_cancelRequested = true;
    m_recordsPerCycle = 1;
    if (m_pages.isEmpty()) {
        m_asking = false;
        m_response = core::Response::Cancelled;
        stopGeneration();
        return;
    }
    const int partial = messages.show(question(m_texts.cancelPrvwPartialTitle, m_texts.cancelPrvwPartialText,
                                               platform::Button::Yes | platform::Button::No | platform::Button::Cancel));
    m_asking = false;
    if (partial == platform::Button::Cancel) {
        m_cancelRequested = false;
        return;
    }
    if (partial == platform::Button::Yes) {
        m_response = core::Response::Completed;
        m_previewPartial = true;
    } else {
        m_response = core::Response::Cancelled;
    }
    stopGeneration();
}

void ReportRun::stopGeneration()
{
    m_timer.stop();
    afterLoop();
}

void ReportRun::afterLoop()
{
    if (m_finished)
        return;
    sendToFiles(QStringLiteral("QUICKSCAN=off"));
    closeProgress();
    const bool complete = m_response == core::Response::Completed && !m_previewPartial;
    if (m_generator && (complete || m_previewPartial)) {
        m_generator->finish(complete);
        if (m_pages.isEmpty()) {
            platform::Message m;
            m.title = m_texts.nothingToPrvwTitle;
            m.text = m_texts.nothingToPrvwText;
            m.icon = platform::MessageIcon::Information;
            m.barsBreakLines = true;
            platform::MessageService::current().show(m);
        } else {
            setBusy(false);
            const int r = platform::ReportManager::current().present(m_job, m_destination, m_pages);
            m_response = r == 1 ? core::Response::Completed : core::Response::Cancelled;
        }
    }
    m_pages.cleanup();
    finish();
}

void ReportRun::sendToFiles(const QString& option)
{
    for (core::FileId id : m_selection.files)
        m_files.file(id).sendOption(option);
}

void ReportRun::closeProgress()
{
    if (!m_window)
        return;
    m_window->allowClose();
    core::closeProcedureWindow(*m_window);
    m_window = nullptr;
}

void ReportRun::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    setBusy(false);
    QPrinter& printer = platform::sharedPrinter();
    printer.setPrinterName(m_printer.printerName);
    printer.setOutputFileName(m_printer.outputFile);
    printer.setCopyCount(m_printer.copies);
    printer.setPrintRange(static_cast<QPrinter::PrintRange>(m_printer.range));
    printer.setFromTo(m_printer.fromPage, m_printer.toPage);
    m_open.reset(); // the counted close of every file
    closeProgress();
    if (QDir::currentPath().trimmed().toUpper() != m_directory.trimmed().toUpper())
        QDir::setCurrent(m_directory);
    emit ended(m_response);
    if (m_endedCallback)
        m_endedCallback(m_response);
    deleteLater();
}

} // namespace fundora::reports
