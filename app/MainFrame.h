#pragma once

#include "core/DataFiles.h"
#include "core/Procedures.h"
#include "platform/Dates.h"
#include "platform/ipc/DdeLink.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;
class QTimer;

namespace fundora::engine {
class ValueLabel;
}

namespace fundora::planning {
class DueNoticeBar;
}

namespace fundora::app {

// The main frame: every other window of the program opens inside it. It holds
// Accounts open for its whole life, passes toolbar commands 2000 to 2012 on to
// the active child window, shows the date and time, and registers the link by
// which the backup utility knows that Fundora runs.
class MainFrame : public QMainWindow, public core::ProcedureHost {
public:
    // The DDE pair the frame registers and the backup utility looks for.
    static inline const QString DdeApplication = QString();
    static inline const QString DdeTopic = QStringLiteral("Vaultbak");

    MainFrame(core::DataFiles& files, QString directory, QWidget* parent = nullptr);
    ~MainFrame() override;

    // The start-up sequence; false when the program cannot go on (it was halted).
    bool open();

    bool startProcedure(const QString& name) override;
    void setToolbarButtonEnabled(int command, bool enabled) override;
    bool isToolbarButtonEnabled(int command) const override;
    void showChild(QWidget* window) override;
    void refreshToolbar() override;

    QMdiArea* mdiArea() const { return m_area; }
    const planning::DueNoticeBar& dueNotice() const;
    // The Window menu: arranging, moving to the next window, and the open windows by name.
    QMenu* windowMenu() const { return m_windowMenu; }
    QAction* toolbarAction(int command) const { return m_toolbar.value(command); }
    QString statusDate() const;
    QString statusTime() const;
    int timerIntervalMs() const;
    const platform::DdeServer& ddeServer() const { return m_dde; }
    // Updates the status bar's date and time (what each timer tick does).
    void tick();
    void arrangeIcons();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    // The menus' Alt keys yield to the active window's controls that claim the same letter
    // (Alt+F is the statement window's Finish while it is active, the File menu otherwise).
    void yieldMenuKeys();
    void buildToolbar();
    void toolbarPressed(int command);
    void forwardToActiveChild(int command);
    void editAction(const char* slot);
    QString iniPath() const;

    core::DataFiles& m_files;
    QString m_directory;
    QMdiArea* m_area;
    QMenu* m_windowMenu = nullptr;
    QHash<QAction*, QString> m_menuTitles; // as built, with their Alt keys
    QHash<int, QAction*> m_toolbar;
    QHash<int, QString> m_defaultTips;
    engine::ValueLabel* m_dateLabel;
    engine::ValueLabel* m_timeLabel;
    QTimer* m_timer;
    platform::DdeServer m_dde;
    planning::DueNoticeBar* m_dueBar;
    platform::DayNumber m_dueCheckedOn = 0;
    bool m_holdsAccounts = false;
    bool m_closed = false;
};

} // namespace fundora::app
