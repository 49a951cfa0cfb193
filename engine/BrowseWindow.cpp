#include "engine/BrowseWindow.h"

#include "core/Help.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "core/WindowPosition.h"
#include "engine/BrowseListView.h"
#include "engine/FormWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace fundora::engine {

using namespace core::Command;

BrowseWindow::BrowseWindow(core::DataFiles& files, RecordBuffer& buffer, BrowseDefinition definition, core::Request startRequest,
                           QWidget* parent)
    : QWidget(parent), m_files(files), m_buffer(buffer), m_definition(std::move(definition)), m_startRequest(startRequest)
{
    for (core::FileId id : m_definition.files)
        m_uses.push_back(std::make_unique<core::FileUse>(files, id));
    setWindowTitle(m_definition.title);
    setAccessibleName(m_definition.title);
    setAttribute(Qt::WA_DeleteOnClose);
    build();
}

BrowseWindow::~BrowseWindow() = default;

void BrowseWindow::build()
{
    auto* outer = new QHBoxLayout(this);
    m_column = new QVBoxLayout();
    m_tabs = new QTabWidget(this);
    m_list = new BrowseListView(m_definition.columns, this);
    if (!m_definition.emptyText.isEmpty())
        m_list->setEmptyText(m_definition.emptyText);
    m_list->table()->setStatusTip(QStringLiteral("Browsing Records"));
    // One list serves every tab: the tab chooses the sort order.
    for (std::size_t i = 0; i < m_definition.tabs.size(); ++i) {
        m_tabs->addTab(new QWidget(m_tabs), m_definition.tabs[i].title);
        m_tabs->setTabToolTip(static_cast<int>(i), m_definition.tabs[i].tip);
    }
    m_tabs->tabBar()->setAccessibleName(QStringLiteral("Sort order"));
    m_tabs->setMaximumHeight(m_tabs->tabBar()->sizeHint().height());
    m_column->addWidget(m_tabs);
    if (!m_definition.columnGroup.isEmpty()) {
        auto* group = new QLabel(m_definition.columnGroup, this);
        group->setAlignment(Qt::AlignCenter);
        group->setFrameShape(QFrame::StyledPanel);
        group->setAccessibleName(QStringLiteral("Column group"));
        m_column->addWidget(group);
    }
    m_column->addWidget(m_list, 1);
    m_buttons = std::make_unique<ButtonRow>(this);
    auto standard = [this](const char* text, const char* tip) {
        QPushButton* b = addButton(QString::fromLatin1(text), QString::fromLatin1(tip), {});
        return b;
    };
    if (m_definition.selectButton)
        standard("&Select", "");
    standard("&Insert", "");
    standard("&Change", "");
    standard("&Delete", "");
    standard("Cl&ose", ""); // Alt+C is Change's
    standard("Help", "");
    m_column->addLayout(m_buttons->layout());
    outer->addLayout(m_column, 1);
    m_side = new QVBoxLayout();
    outer->addLayout(m_side);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        if (m_engine && m_opened)
            m_engine->refreshWindow();
    });
}

void BrowseWindow::finishSetup()
{
    BrowseHost& host = *this;
    m_engine = std::make_unique<BrowseEngine>(m_buffer, m_definition.orders, m_definition.thumb, *m_list, host);
    m_engine->setStartRequest(m_startRequest);
    m_list->setEngine(m_engine.get());
    connect(button(QStringLiteral("Insert")), &QPushButton::clicked, this, [this] { m_engine->insertRecord(); });
    connect(button(QStringLiteral("Change")), &QPushButton::clicked, this, [this] { m_engine->changeRecord(); });
    connect(button(QStringLiteral("Delete")), &QPushButton::clicked, this, [this] { m_engine->deleteRecord(); });
    connect(button(QStringLiteral("Help")), &QPushButton::clicked, this, [this] { core::showHelp(helpContext()); });
    connect(button(QStringLiteral("Close")), &QPushButton::clicked, this, [this] {
        m_engine->readSelected();
        core::closeProcedureWindow(*this);
    });
    if (QPushButton* select = button(QStringLiteral("Select"))) {
        const bool selecting = m_startRequest == core::Request::Select;
        select->setVisible(selecting);
        select->setEnabled(selecting);
        connect(select, &QPushButton::clicked, this, [this] {
            m_engine->readSelected();
            m_selected = true;
            core::closeProcedureWindow(*this);
        });
    }
}

QPushButton* BrowseWindow::addButton(const QString& text, const QString& tip, std::function<void()> action)
{
    if (!action)
        return m_buttons->add(text, tip, {});
    // While the list's form is open the list's buttons do nothing.
    return m_buttons->add(text, tip, [this, action = std::move(action)] {
        if (!m_engine->formOpen())
            action();
    });
}

QPushButton* BrowseWindow::addIconButton(const QIcon& icon, const QString& name, const QString& tip, std::function<void()> action)
{
    QPushButton* b = addButton(name, tip, std::move(action));
    b->setText(QString());
    b->setIcon(icon);
    b->setMinimumWidth(b->sizeHint().width());
    return b;
}

QPushButton* BrowseWindow::button(const QString& text) const
{
    return m_buttons->button(text);
}

QWidget* BrowseWindow::positionedWindow()
{
    return qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
}

void BrowseWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    core::restoreWindowPosition(*positionedWindow(), QDir::current().filePath(core::WindowPositionFile), m_definition.procedure);
    m_engine->refreshWindow();
    m_list->setFocusToList();
    opened();
}

void BrowseWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape and Ctrl+F4 close the list as Close does, from any control of it that leaves the key.
    const bool escape = event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
    const bool ctrlF4 = event->key() == Qt::Key_F4 && event->modifiers() == Qt::ControlModifier;
    if ((escape || ctrlF4) && m_engine && !m_engine->formOpen()) {
        button(QStringLiteral("Close"))->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BrowseWindow::closeEvent(QCloseEvent* event)
{
    if (m_form && m_form->isOpen()) {
        // The list waits for its form: the form closes first (and may ask about what was typed).
        if (QWidget* frame = qobject_cast<QMdiSubWindow*>(m_form->parentWidget()))
            frame->close();
        else
            m_form->close();
        if (m_form && m_form->isOpen()) {
            event->ignore();
            return;
        }
    }
    if (!m_closed) {
        m_closed = true;
        closing();
        core::saveWindowPosition(*positionedWindow(), QDir::current().filePath(core::WindowPositionFile), m_definition.procedure);
    }
    event->accept();
}

void BrowseWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_opened && !m_closed)
        QTimer::singleShot(0, this, [this] {
            // A window closed meanwhile reads nothing more: its files may be gone before it is.
            if (m_closed || m_engine->formOpen())
                return;
            // A new size needs a page of its size; the totals only when the files changed.
            if (m_engine->registerChanged())
                m_engine->forceRefresh();
            else
                m_engine->reloadPage();
        });
}

void BrowseWindow::gainedFocus()
{
    // What this program or another station changed since the list last read is read again; nothing else.
    if (m_opened && !m_closed && !m_engine->formOpen() && m_engine->registerChanged())
        m_engine->forceRefresh();
}

int BrowseWindow::currentSortOrder() const
{
    const int tab = m_tabs->currentIndex();
    if (tab < 0 || tab >= static_cast<int>(m_definition.tabs.size()))
        return 0;
    const int order = m_definition.tabs[static_cast<std::size_t>(tab)].sortOrder;
    return order < 0 ? tab : order;
}

void BrowseWindow::setEditEnabled(bool changeAndDelete)
{
    button(QStringLiteral("Change"))->setEnabled(changeAndDelete);
    button(QStringLiteral("Delete"))->setEnabled(changeAndDelete);
    if (QPushButton* select = button(QStringLiteral("Select")))
        select->setEnabled(changeAndDelete && m_startRequest == core::Request::Select);
}

void BrowseWindow::pressButton(EditButton b)
{
    const char* name = b == EditButton::Insert   ? "Insert"
                       : b == EditButton::Change ? "Change"
                       : b == EditButton::Delete ? "Delete"
                                                 : "Select";
    QPointer<QPushButton> button = m_buttons->button(QString::fromLatin1(name));
    // Pressed from the event loop, as a click would be; a button turned off meanwhile does nothing.
    QMetaObject::invokeMethod(
        this,
        [this, button] {
            if (button && button->isEnabled() && button->isVisible() && !m_engine->formOpen())
                button->click();
        },
        Qt::QueuedConnection);
}

void BrowseWindow::requestInsert(FormPrime prime)
{
    QPointer<QPushButton> button = m_buttons->button(QStringLiteral("Insert"));
    QMetaObject::invokeMethod(
        this,
        [this, button, prime] {
            if (button && button->isEnabled() && button->isVisible() && !m_engine->formOpen())
                m_engine->insertRecord(prime);
        },
        Qt::QueuedConnection);
}

void BrowseWindow::readFailed()
{
    core::standardWarning(m_files, core::Warning::RecordRetrievalError, m_definition.fileLabel);
    QMetaObject::invokeMethod(
        this, [this] { core::closeProcedureWindow(*this); }, Qt::QueuedConnection);
}

void BrowseWindow::viewFailed()
{
    core::standardWarning(m_files, core::Warning::ViewOpenError);
}

void BrowseWindow::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void BrowseWindow::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work)] {
            if (!m_closed)
                work();
        },
        Qt::QueuedConnection);
}

void BrowseWindow::callUpdateForm(FormCall call, std::function<void(core::Response, core::Navigation)> done)
{
    const core::Request request = call.request;
    if (m_formRunner) {
        m_formRunner(request, [this, request, done](core::Response response, core::Navigation navigation) {
            formEnded(request, response);
            done(response, navigation);
        });
        return;
    }
    setEnabled(false);
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        host->refreshToolbar();
    m_form = createForm(call);
    // The form may end after the list has closed (the program closing both): then nobody is told.
    m_form->run(request, [self = QPointer<BrowseWindow>(this), request, done](core::Response response, core::Navigation navigation) {
        if (!self || self->m_closed)
            return;
        BrowseWindow* const that = self.data();
        that->m_form = nullptr;
        that->setEnabled(true);
        that->formEnded(request, response);
        done(response, navigation);
        if (core::ProcedureHost* host = core::ProcedureHost::current())
            host->refreshToolbar();
    });
}

void BrowseWindow::afterRefresh()
{
    refreshed();
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        host->refreshToolbar();
}

void BrowseWindow::onToolbarCommand(int command)
{
    // While the list's form is open only the form acts.
    if (m_engine->formOpen())
        return;
    switch (command) {
    case Insert: pressButton(EditButton::Insert); break;
    case Change: pressButton(EditButton::Change); break;
    case Delete: pressButton(EditButton::Delete); break;
    case Select: pressButton(EditButton::Select); break;
    case Help: core::showHelp(helpContext()); break;
    default: m_engine->toolbarNavigate(command); break;
    }
}

std::map<int, core::ToolbarButtonState> BrowseWindow::toolbarState() const
{
    std::map<int, core::ToolbarButtonState> s;
    if (m_engine && m_engine->formOpen()) {
        for (int c = Insert; c <= Help; ++c)
            s[c] = {false, {}};
        return s;
    }
    auto enabled = [this](const char* name) {
        const QPushButton* b = button(QString::fromLatin1(name));
        return b && b->isEnabled() && !b->isHidden();
    };
    s[LastPage] = {true, QStringLiteral("Go to the Last Page")};
    s[FirstPage] = {true, QStringLiteral("Go to the First Page")};
    s[NextPage] = {true, QStringLiteral("Go to the Next Page")};
    s[PreviousPage] = {true, QStringLiteral("Go to the Prior Page")};
    s[NextRecord] = {true, QStringLiteral("Go to the Next Record")};
    s[PreviousRecord] = {true, QStringLiteral("Go to the Prior Record")};
    s[Locate] = {true, {}};
    s[Ditto] = {false, {}};
    s[Select] = {enabled("Select"), {}};
    s[Help] = {enabled("Help"), {}};
    s[Insert] = {enabled("Insert"), QStringLiteral("Insert a new Record")};
    s[Change] = {enabled("Change"), {}};
    s[Delete] = {enabled("Delete"), {}};
    return s;
}

} // namespace fundora::engine
