#include "app/MainFrame.h"

#include "app/AboutWindow.h"
#include "app/OnLineLinks.h"
#include "app/ToolbarIcons.h"
#include "core/GlobalState.h"
#include "core/Help.h"
#include "core/OpenFile.h"
#include "core/PopupKeys.h"
#include "core/StatusTexts.h"
#include "core/WindowPosition.h"
#include "engine/ValueLabel.h"
#include "planning/DueNoticeBar.h"
#include "platform/Clock.h"
#include "platform/DesktopNotification.h"
#include "platform/Telephony.h"
#include "platform/pictures/Picture.h"
#include "platform/ui/Mnemonics.h"
#include "platform/ui/SharedPrinter.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace fundora::app {

using namespace core::Command;

namespace {

// The frame's timer in hundredths of a second; anything outside 1 to 100 becomes 100.
constexpr int TimerHundredths = 100;
int clampedTimer(int hundredths)
{
    return (hundredths < 1 || hundredths > 100) ? 100 : hundredths;
}

struct ToolbarButton {
    int command;
    const char* tip;
};

// Left to right; 0 is the button that opens the accounts list.
constexpr ToolbarButton ToolbarButtons[] = {
    {0, "Browse All Credit Card Accounts"},
    {FirstPage, "Go to the First Page"},
    {PreviousPage, "Go to the Prior Page"},
    {PreviousRecord, "Go to the Prior Record"},
    {Locate, "Locate record"},
    {NextRecord, "Go to the Next Record"},
    {NextPage, "Go to the Next Page"},
    {LastPage, "Go to the Last Page"},
    {Select, "Select This Record"},
    {Insert, "Insert a New Record"},
    {Change, "Edit This Record"},
    {Delete, "Delete This Record"},
    {Ditto, "Previous value"},
    {Help, "Get Help"},
    {Calculator, ""},
    {Calendar, ""},
    {Payment, "Record a Payment for Selected Account"},
    {History, "Browse/Update Transaction History for Selected Account"},
    {Current, "Browse/Update Current Transactions for Selected Account"},
    {Report, "Select a Report to Print"},
    {PrintAll, "Print Listing of All Credit Card Accounts"},
    {Exit, "Exit Fundora"},
};

// Names for buttons without a tip, so screen readers and tests can find them.
QString accessibleNameOf(const ToolbarButton& b)
{
    if (b.command == Calculator)
        return QStringLiteral("Calculator");
    if (b.command == Calendar)
        return QStringLiteral("Calendar");
    return QString::fromLatin1(b.tip);
}

} // namespace

MainFrame::MainFrame(core::DataFiles& files, QString directory, QWidget* parent)
    : QMainWindow(parent), m_files(files), m_directory(std::move(directory))
{
    setWindowTitle(QStringLiteral("Fundora 2000"));
    setAccessibleName(QStringLiteral("Fundora 2000"));
    setWindowIcon(toolbarIcon(0));
    // The payments due show above the windows, never in a box that stops the user.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_dueBar = new planning::DueNoticeBar(m_files, iniPath(), central);
    connect(m_dueBar, &planning::DueNoticeBar::noticed, this,
            [](const QStringList& lines) { platform::notifyDesktop(QStringLiteral("Payments due"), lines.join(u'\n')); });
    column->addWidget(m_dueBar);
    m_area = new QMdiArea(central);
    m_area->setAccessibleName(QStringLiteral("Windows"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    column->addWidget(m_area, 1);
    setCentralWidget(central);
    connect(m_area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub)
            if (auto* target = dynamic_cast<core::ToolbarTarget*>(sub->widget()))
                target->windowActivated();
        refreshToolbar();
        yieldMenuKeys();
    });
    // A window's controls may show and hide (the import window's CSV columns): checked as the focus moves.
    connect(qApp, &QApplication::focusChanged, this, [this] { yieldMenuKeys(); });
    buildMenus();
    buildToolbar();
    // Value labels: a screen reader hears "Date" and the date itself.
    m_dateLabel = new engine::ValueLabel(QStringLiteral("Date"), this);
    m_timeLabel = new engine::ValueLabel(QStringLiteral("Time"), this);
    statusBar()->addPermanentWidget(m_dateLabel);
    statusBar()->addPermanentWidget(m_timeLabel);
    m_timer = new QTimer(this);
    m_timer->setInterval(clampedTimer(TimerHundredths) * 10);
    connect(m_timer, &QTimer::timeout, this, &MainFrame::tick);
    resize(1000, 700);
}

MainFrame::~MainFrame()
{
    if (ProcedureHost::current() == this)
        ProcedureHost::setCurrent(nullptr);
}

QString MainFrame::iniPath() const
{
    return QDir(m_directory).filePath(core::WindowPositionFile);
}

void MainFrame::buildMenus()
{
    auto item = [this](QMenu* menu, const QString& text, const QString& status, auto slot) {
        QAction* a = menu->addAction(text);
        a->setStatusTip(status);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    item(file, QStringLiteral("&Print Setup ..."), QStringLiteral("Setup printer"), [this] {
        QPageSetupDialog dialog(&platform::sharedPrinter(), this);
        dialog.exec();
    });
    file->addSeparator();
    item(file, QStringLiteral("E&xit"), QStringLiteral("Exit this application"), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    item(edit, QStringLiteral("Cu&t"), QStringLiteral("Remove item to Windows Clipboard"), [this] {
        editAction("cut");
    })->setShortcut(QKeySequence::Cut);
    item(edit, QStringLiteral("&Copy"), QStringLiteral("Copy item to Windows Clipboard"), [this] {
        editAction("copy");
    })->setShortcut(QKeySequence::Copy);
    item(edit, QStringLiteral("&Paste"), QStringLiteral("Paste contents of Windows Clipboard"), [this] {
        editAction("paste");
    })->setShortcut(QKeySequence::Paste);
    for (QAction* a : edit->actions())
        a->setShortcutContext(Qt::WidgetShortcut); // the fields' own keys stay theirs

    QMenu* browse = menuBar()->addMenu(QStringLiteral("&Browse"));
    item(browse, QStringLiteral("Browse the &Accounts file"), QStringLiteral("Browse Accounts"),
         [this] { startProcedure(QStringLiteral("BrowseAccounts")); });

    QMenu* reports = menuBar()->addMenu(QStringLiteral("&Reports"));
    reports->menuAction()->setStatusTip(QStringLiteral("Report data"));
    QAction* printAll =
        item(reports, QStringLiteral("Print All Credit Card Account &Information"),
             QStringLiteral("Print Credit Card Vendors and Information"), [this] { startProcedure(QStringLiteral("PrintFundora")); });
    item(reports, QStringLiteral("&Payoff Plan"), QStringLiteral("Plan paying the cards off: how long, what interest"),
         [this] { startProcedure(QStringLiteral("PayoffPlan")); });
    connect(reports, &QMenu::aboutToShow, printAll,
            [printAll] { printAll->setEnabled(core::hasProcedure(QStringLiteral("PrintFundora"))); });

    QMenu* online = menuBar()->addMenu(QStringLiteral("On&Line"));
    connect(online, &QMenu::aboutToShow, this, [this, online] {
        online->clear();
        for (const OnLineLink& link : onLineLinks(iniPath())) {
            QAction* a = online->addAction(link.text);
            a->setStatusTip(link.address);
            connect(a, &QAction::triggered, this, [address = link.address] { platform::ShellOpen::open(address); });
        }
    });

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    m_windowMenu = window;
    window->menuAction()->setStatusTip(QStringLiteral("Create and Arrange windows"));
    // Moving between the open windows with the keys: Ctrl+F6 and Ctrl+Tab, with Shift backwards.
    auto* next = new QAction(QStringLiteral("&Next Window"), this);
    next->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    next->setStatusTip(QStringLiteral("Move to the next open window"));
    connect(next, &QAction::triggered, m_area, &QMdiArea::activateNextSubWindow);
    auto* previous = new QAction(QStringLiteral("&Previous Window"), this);
    previous->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    previous->setStatusTip(QStringLiteral("Move to the previous open window"));
    connect(previous, &QAction::triggered, m_area, &QMdiArea::activatePreviousSubWindow);
    addAction(next);
    addAction(previous);
    item(window, QStringLiteral("T&ile"), QStringLiteral("Make all open windows visible"), [this] { m_area->tileSubWindows(); });
    item(window, QStringLiteral("&Cascade"), QStringLiteral("Stack all open windows"), [this] { m_area->cascadeSubWindows(); });
    item(window, QStringLiteral("&Arrange Icons"), QStringLiteral("Align all window icons"), [this] { arrangeIcons(); });
    window->addSeparator();
    window->addAction(next);
    window->addAction(previous);
    // The open windows, numbered as their keys, listed anew each time the menu opens.
    auto* listed = new QActionGroup(this);
    connect(window, &QMenu::aboutToShow, this, [this, window, listed] {
        for (QAction* a : listed->actions())
            delete a;
        const QList<QMdiSubWindow*> open = m_area->subWindowList();
        for (qsizetype i = 0; i < open.size(); ++i) {
            QMdiSubWindow* sub = open[i];
            const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QString::number(i + 1);
            QAction* a = new QAction(number + u' ' + QString(sub->windowTitle()).replace(u'&', QStringLiteral("&&")), listed);
            a->setCheckable(true);
            a->setChecked(sub == m_area->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
                if (sub)
                    m_area->setActiveSubWindow(sub);
            });
            window->addAction(a);
        }
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setStatusTip(QStringLiteral("Windows Help"));
    item(help, QStringLiteral("&Search for Help On..."), QStringLiteral("Search for help on a subject"),
         [] { core::showHelp(QStringLiteral("~Contents")); });
    item(help, QStringLiteral("&How to Use Help"), QStringLiteral("How to use Windows Help"),
         [] { core::showHelp(QStringLiteral("~HowToUseHelp")); });
    item(help, QStringLiteral("&About Fundora..."), QStringLiteral("About the Author"),
         [this] { startProcedure(QStringLiteral("About")); });
    auto* f1 = new QAction(this);
    f1->setShortcut(QKeySequence::HelpContents);
    connect(f1, &QAction::triggered, this, [this] {
        QMdiSubWindow* sub = m_area->activeSubWindow();
        const auto* target = sub ? dynamic_cast<const core::ToolbarTarget*>(sub->widget()) : nullptr;
        const QString context = target ? target->helpContext() : QString();
        core::showHelp(context.isEmpty() ? QStringLiteral("~FundoraMainWindow") : context);
    });
    addAction(f1);
}

void MainFrame::buildToolbar()
{
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    for (const ToolbarButton& b : ToolbarButtons) {
        QAction* a = bar->addAction(toolbarIcon(b.command), accessibleNameOf(b));
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setStatusTip(QString::fromLatin1(b.tip));
        a->setData(b.command);
        a->setObjectName(QStringLiteral("toolbar%1").arg(b.command));
        if (QWidget* button = bar->widgetForAction(a))
            button->setAccessibleName(accessibleNameOf(b));
        connect(a, &QAction::triggered, this, [this, command = b.command] { toolbarPressed(command); });
        // Keys for the account's lists and the payment (the Browse menu has no items for them).
        if (b.command == Current)
            a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
        else if (b.command == History)
            a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
        else if (b.command == Payment)
            a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
        m_toolbar.insert(b.command, a);
        m_defaultTips.insert(b.command, QString::fromLatin1(b.tip));
        if (b.command == Help || b.command == Calendar || b.command == Ditto)
            bar->addSeparator();
    }
}

bool MainFrame::open()
{
    core::GlobalState& g = core::glo();
    const platform::DayNumber today = platform::Clock::current().today();
    g.runDate = today;
    g.lowDate = today - 30;
    g.highDate = today;
    g.frameWindow = this;
    ProcedureHost::setCurrent(this);

    if (!core::acquireFile(m_files, core::FileId::Accounts))
        return false;
    m_holdsAccounts = true;

    core::restoreWindowPosition(*this, iniPath(), QStringLiteral("Main"));
    show();
    // Off until a window that serves them opens; the accounts list, started
    // next, turns on the account's lists.
    for (int c : {Payment, History, Current, Report})
        setToolbarButtonEnabled(c, false);
    startProcedure(QStringLiteral("BrowseAccounts"));
    // Once the frame is laid out, windows placed where a larger screen or Tile left them come back inside it.
    QTimer::singleShot(0, this, [this] {
        for (QMdiSubWindow* sub : m_area->subWindowList())
            core::keepInside(*sub);
    });
    setToolbarButtonEnabled(PrintAll, core::hasProcedure(QStringLiteral("PrintFundora")));
    m_dde.registerServer(DdeApplication, DdeTopic);
    core::PopupKeys::install(*this);
    tick();
    m_timer->start();
    return true;
}

const planning::DueNoticeBar& MainFrame::dueNotice() const
{
    return *m_dueBar;
}

bool MainFrame::startProcedure(const QString& name)
{
    if (name != QStringLiteral("About") && !core::hasProcedure(name))
        return false;
    // A report shows its own windows when it gets that far, and gives none here.
    if (QWidget* w = name == QStringLiteral("About") ? new AboutWindow() : core::createProcedure(name))
        showChild(w);
    return true;
}

void MainFrame::yieldMenuKeys()
{
    if (m_menuTitles.isEmpty())
        for (QAction* a : menuBar()->actions())
            m_menuTitles.insert(a, a->text());
    QMdiSubWindow* sub = m_area->activeSubWindow();
    const QSet<QChar> taken = sub && sub->widget() ? platform::claimedMnemonics(*sub->widget()) : QSet<QChar>();
    for (auto it = m_menuTitles.cbegin(); it != m_menuTitles.cend(); ++it) {
        const QString text = platform::withoutMnemonicIn(it.value(), taken);
        if (it.key()->text() != text)
            it.key()->setText(text);
    }
}

void MainFrame::refreshToolbar()
{
    QMdiSubWindow* sub = m_area->activeSubWindow();
    const auto* target = sub ? dynamic_cast<const core::ToolbarTarget*>(sub->widget()) : nullptr;
    const std::map<int, core::ToolbarButtonState> wanted = target ? target->toolbarState() : std::map<int, core::ToolbarButtonState>{};
    for (int command = Insert; command <= Help; ++command) {
        QAction* a = m_toolbar.value(command);
        const auto it = wanted.find(command);
        const bool enabled = it == wanted.end() || it->second.enabled;
        const QString tip = (it == wanted.end() || it->second.tip.isEmpty()) ? m_defaultTips.value(command) : it->second.tip;
        a->setEnabled(enabled);
        a->setToolTip(tip);
        a->setStatusTip(tip);
    }
    // "Record a Payment" works only while a window that offers it (the current transactions) is the active one.
    setToolbarButtonEnabled(Payment, target && target->offersPayment());
}

void MainFrame::showChild(QWidget* w)
{
    QMdiSubWindow* sub = m_area->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(w->windowTitle());
    sub->setWindowIcon(w->windowIcon().isNull() ? windowIcon() : w->windowIcon());
    if (w->minimumSize() == w->maximumSize() && !w->minimumSize().isEmpty())
        sub->setWindowFlags(sub->windowFlags() & ~Qt::WindowMaximizeButtonHint);
    if (w->testAttribute(Qt::WA_Resized))
        sub->resize(sub->sizeHint().expandedTo(w->size() + (sub->size() - sub->contentsRect().size())));
    // A child window is at least as wide as its whole title, now and whenever the title changes.
    auto widen = [sub] {
        const QStyle* style = sub->style();
        const int needed = sub->fontMetrics().horizontalAdvance(sub->windowTitle()) +
                           4 * style->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, sub) +
                           2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub) + 24;
        if (sub->width() < needed && sub->maximumWidth() >= needed)
            sub->resize(needed, sub->height());
    };
    connect(w, &QWidget::windowTitleChanged, sub, [sub, widen](const QString& title) {
        sub->setWindowTitle(title);
        widen();
    });
    sub->show();
    widen(); // after the area placed and sized it (a window may name itself as it shows)
    m_area->setActiveSubWindow(sub);
}

void MainFrame::setToolbarButtonEnabled(int command, bool enabled)
{
    if (QAction* a = m_toolbar.value(command))
        a->setEnabled(enabled);
}

bool MainFrame::isToolbarButtonEnabled(int command) const
{
    const QAction* a = m_toolbar.value(command);
    return a && a->isEnabled();
}

void MainFrame::toolbarPressed(int command)
{
    if (isForwarded(command)) {
        forwardToActiveChild(command);
        return;
    }
    switch (command) {
    case 0: startProcedure(QStringLiteral("BrowseAccounts")); break;
    case Calculator: core::PopupKeys::calculatorOn(QApplication::focusWidget()); break;
    case Calendar: core::PopupKeys::showCalendar(); break;
    case Payment:
        // A command to the active window, never a key posted to whatever has the focus there
        // (a press with the focus on a side button was lost and left a payment primed for the next insert).
        forwardToActiveChild(Payment);
        break;
    case History: startProcedure(QStringLiteral("BrowseTransactionHistory")); break;
    case Current: startProcedure(QStringLiteral("BrowseCurrentTransactions")); break;
    case Report: startProcedure(QStringLiteral("PickaReport")); break;
    case PrintAll: startProcedure(QStringLiteral("PrintFundora")); break;
    case Exit: close(); break;
    default: break;
    }
}

void MainFrame::forwardToActiveChild(int command)
{
    QMdiSubWindow* sub = m_area->activeSubWindow();
    if (!sub || !sub->widget())
        return;
    auto* target = dynamic_cast<core::ToolbarTarget*>(sub->widget());
    if (!target)
        return;
    // Posted, never called directly: the child acts on it from its own event handling.
    QPointer<QWidget> child = sub->widget();
    QMetaObject::invokeMethod(
        child,
        [child, target, command] {
            if (child)
                target->onToolbarCommand(command);
        },
        Qt::QueuedConnection);
}

void MainFrame::editAction(const char* slot)
{
    if (QWidget* focused = QApplication::focusWidget())
        QMetaObject::invokeMethod(focused, slot);
}

void MainFrame::arrangeIcons()
{
    int x = 0;
    const int bottom = m_area->viewport()->height();
    for (QMdiSubWindow* sub : m_area->subWindowList()) {
        if (!sub->isMinimized())
            continue;
        sub->move(x, bottom - sub->height());
        x += sub->width();
    }
}

void MainFrame::tick()
{
    const QDateTime now = platform::Clock::current().now();
    // At the start and whenever the date moves on: what is due now.
    if (const platform::DayNumber today = platform::dayNumberOf(now.date()); today != m_dueCheckedOn) {
        m_dueCheckedOn = today;
        m_dueBar->check(today);
    }
    m_dateLabel->setValue(core::statusDateText(now.date()));
    m_timeLabel->setValue(core::statusTimeText(now.time()));
}

QString MainFrame::statusDate() const
{
    return m_dateLabel->text();
}

QString MainFrame::statusTime() const
{
    return m_timeLabel->text();
}

int MainFrame::timerIntervalMs() const
{
    return m_timer->interval();
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    // The child windows close with the frame, the latest first (a form before
    // the list that called it); one that refuses keeps the program running.
    QList<QMdiSubWindow*> children = m_area->subWindowList(QMdiArea::CreationOrder);
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QPointer<QMdiSubWindow> child = *it;
        if (child && !child->close()) {
            event->ignore();
            return;
        }
    }
    m_timer->stop();
    if (m_holdsAccounts) {
        core::releaseFile(m_files, core::FileId::Accounts);
        m_holdsAccounts = false;
    }
    core::saveWindowPosition(*this, iniPath(), QStringLiteral("Main"));
    m_dde.unregister();
    m_closed = true;
    event->accept();
}

} // namespace fundora::app
