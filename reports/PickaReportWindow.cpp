#include "reports/PickaReportWindow.h"

#include "core/Help.h"
#include "core/OpenFile.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "core/WindowPosition.h"
#include "platform/Runtime.h"
#include "platform/ui/DialogUnits.h"
#include "reports/ReportRun.h"
#include "reports/TransactionReport.h"
#include "reports/UpdateDatesWindow.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace fundora::reports {

namespace {

const QString PickerProcedure = QStringLiteral("PickaReport");

struct Choice {
    const char* text;
    const char* value;
};
constexpr Choice Choices[] = {{"Open Transactions for this Account", "Open"},
                              {"Transaction History on this Account", "History"},
                              {"Purchases Made on this Account", "Purchases"},
                              {"Payment History on this Account", "Payments"}};

QToolButton* iconButton(QWidget* parent, const QString& icon, const QString& tip)
{
    auto* b = new QToolButton(parent);
    b->setIcon(QIcon(icon));
    b->setIconSize(QSize(16, 16));
    b->setText(tip);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setToolButtonStyle(b->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

// The window whose place is kept: the child-window frame around the picker, when it has one.
QWidget& placedWindow(QWidget& picker)
{
    QWidget* frame = picker.parentWidget();
    return frame && frame->inherits("QMdiSubWindow") ? *frame : picker;
}

} // namespace

PickaReportWindow::PickaReportWindow(core::DataFiles& files, QWidget* parent) : QWidget(parent), m_files(files)
{
    setObjectName(PickerProcedure);
    setWindowTitle(QStringLiteral("Select a Report for "));
    m_holdsAccounts = core::acquireFile(files, core::FileId::Accounts);

    auto* layout = new QHBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Pick a Report "), this);
    QFont bold = group->font();
    bold.setBold(true);
    group->setFont(bold);
    auto* radios = new QVBoxLayout(group);
    m_choices = new QButtonGroup(this);
    for (const Choice& c : Choices) {
        auto* radio = new QRadioButton(QString::fromLatin1(c.text), group);
        radio->setAccessibleName(radio->text());
        radio->setProperty("value", QString::fromLatin1(c.value));
        radios->addWidget(radio);
        m_choices->addButton(radio);
        radio->installEventFilter(this);
    }
    layout->addWidget(group, 1);

    auto* buttons = new QVBoxLayout;
    m_print = iconButton(this, QStringLiteral(":/icons/print-all.svg"), QStringLiteral("Print this Report"));
    QToolButton* cancel = iconButton(this, QStringLiteral(":/icons/exit.svg"), QStringLiteral("Cancel - Do Not Print"));
    QToolButton* help = iconButton(this, QStringLiteral(":/icons/help.svg"), QStringLiteral("Help"));
    buttons->addWidget(m_print);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(help);
    layout->addLayout(buttons);
    const platform::DialogUnits du(*this);
    setMinimumSize(du.x(205), du.y(100));

    connect(m_print, &QToolButton::clicked, this, &PickaReportWindow::print);
    connect(cancel, &QToolButton::clicked, this, [this] { core::closeProcedureWindow(*this); });
    connect(help, &QToolButton::clicked, this, [] { core::showHelp(QStringLiteral("~PickAReport")); });
}

bool PickaReportWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int step = (key == Qt::Key_Down || key == Qt::Key_Right) ? 1 : (key == Qt::Key_Up || key == Qt::Key_Left) ? -1 : 0;
        const QList<QAbstractButton*> buttons = m_choices->buttons();
        const auto at = buttons.indexOf(qobject_cast<QAbstractButton*>(watched));
        if (step != 0 && at >= 0) {
            QAbstractButton* next = buttons[(at + step + buttons.size()) % buttons.size()];
            next->setChecked(true);
            next->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

PickaReportWindow::~PickaReportWindow()
{
    if (m_holdsAccounts)
        core::releaseFile(m_files, core::FileId::Accounts);
}

QString PickaReportWindow::choice() const
{
    const QAbstractButton* b = m_choices->checkedButton();
    return b ? b->property("value").toString() : QString();
}

bool PickaReportWindow::updateTitle()
{
    if (!m_holdsAccounts)
        return false;
    m_files.accounts.record.sysId = core::glo().currentSysid;
    const platform::FileError e = m_files.accounts.get(core::AccSysIDKey);
    if (!e.ok()) {
        platform::Runtime::stop(core::errorPart(e));
        return false;
    }
    const QString title = QStringLiteral("Report Transactions for ") + m_files.accounts.record.creditCardVendor.trimmed() +
                          QStringLiteral(" ( ") + core::glo().cardTypeDescription.trimmed() + QStringLiteral(" )");
    setWindowTitle(title);
    setAccessibleName(title);
    if (QWidget* frame = parentWidget(); frame && frame->inherits("QMdiSubWindow"))
        frame->setWindowTitle(title);
    return true;
}

void PickaReportWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    core::restoreWindowPosition(placedWindow(*this), QDir::current().filePath(core::WindowPositionFile), PickerProcedure);
    updateTitle();
    if (!m_choices->buttons().isEmpty())
        m_choices->buttons().first()->setFocus();
}

void PickaReportWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_opened)
        updateTitle();
}

bool PickaReportWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && m_opened)
        updateTitle();
    return QWidget::event(event);
}

void PickaReportWindow::closeEvent(QCloseEvent* event)
{
    if (m_run) {
        // Its report is still being made: that window answers first.
        event->ignore();
        return;
    }
    core::saveWindowPosition(placedWindow(*this), QDir::current().filePath(core::WindowPositionFile), PickerProcedure);
    event->accept();
}

void PickaReportWindow::print()
{
    const QString c = choice();
    if (c.isEmpty() || m_run)
        return;
    if (c != u"Open") {
        UpdateDatesWindow dates(m_files, core::glo().frameWindow ? core::glo().frameWindow : this);
        dates.exec(); // whichever way it closes, the report runs with the dates as they stand
    }
    startReport(c);
}

void PickaReportWindow::startReport(const QString& c)
{
    using Kind = TransactionReport::Kind;
    const Kind kind = c == u"Open" ? Kind::Open : c == u"History" ? Kind::History : c == u"Purchases" ? Kind::Purchases : Kind::Payments;
    // The report reads the account from the buffer as the picker fetched it.
    if (!updateTitle())
        return;
    m_print->setEnabled(false);
    QPointer<PickaReportWindow> self(this);
    m_run = ReportRun::start(m_files, std::make_unique<TransactionReport>(kind), [self](core::Response) {
        if (self) {
            self->m_print->setEnabled(true);
            self->m_run = nullptr;
        }
    });
}

void PickaReportWindow::onToolbarCommand(int command)
{
    if (command == core::Command::Help)
        core::showHelp(helpContext());
}

std::map<int, core::ToolbarButtonState> PickaReportWindow::toolbarState() const
{
    std::map<int, core::ToolbarButtonState> state;
    for (int c = core::Command::Insert; c < core::Command::Help; ++c)
        state[c].enabled = false;
    return state;
}

} // namespace fundora::reports
