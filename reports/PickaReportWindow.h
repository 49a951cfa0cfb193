#pragma once

#include "core/Account.h"
#include "core/DataFiles.h"
#include "core/GlobalState.h"

#include <QPointer>
#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace fundora::reports {

class ReportRun;

// PickaReport: prints one of the four reports over the current account
// (GLO:CurrentSysid); the three over a date range ask for it first. The
// window stays open for another choice.
class PickaReportWindow final : public QWidget, public core::ToolbarTarget {
    Q_OBJECT
public:
    explicit PickaReportWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~PickaReportWindow() override;

    // "Open", "History", "Purchases", "Payments", or empty when none is chosen.
    QString choice() const;
    void print();
    // The report started last, while it runs.
    ReportRun* runningReport() const { return m_run; }

    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override;
    void windowActivated() override { updateTitle(); }
    QString helpContext() const override { return QStringLiteral("~PickAReport"); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    // The arrow keys choose a report even before one was chosen (Qt's radio
    // buttons only move the focus until one is checked).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Fetches the account again and names it in the title; false when it could not be fetched.
    bool updateTitle();
    void startReport(const QString& choice);

    core::DataFiles& m_files;
    bool m_holdsAccounts = false;
    bool m_opened = false;
    QButtonGroup* m_choices;
    QToolButton* m_print;
    QPointer<ReportRun> m_run;
};

} // namespace fundora::reports
