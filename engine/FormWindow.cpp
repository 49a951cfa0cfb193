#include "engine/FormWindow.h"

#include "core/Help.h"
#include "core/Procedures.h"
#include "core/WindowPosition.h"
#include "platform/MessageService.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace fundora::engine {

using namespace core::Command;
using core::Navigation;
using core::Request;

FormWindow::FormWindow(core::DataFiles& files, FormRecord& record, QString procedure, QWidget* parent)
    : QWidget(parent), m_files(files), m_controller(files, record), m_procedure(std::move(procedure))
{
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_ok->setAccessibleName(QStringLiteral("OK"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setAccessibleName(QStringLiteral("Cancel"));
    m_help = new QPushButton(QStringLiteral("Help"), this);
    m_help->setAccessibleName(QStringLiteral("Help"));
    m_problem = new QLabel(this);
    m_problem->setAccessibleName(QStringLiteral("Entry problem"));
    m_problem->setStyleSheet(QStringLiteral("color: #a00000"));
    m_problem->setWordWrap(true);
    connect(m_ok, &QPushButton::clicked, this, &FormWindow::pressOk);
    connect(m_cancel, &QPushButton::clicked, this, &FormWindow::pressCancel);
    connect(m_help, &QPushButton::clicked, this, [this] { core::showHelp(helpContext()); });
    setAttribute(Qt::WA_DeleteOnClose);
}

FormWindow::~FormWindow() = default;

void FormWindow::addField(FormField field)
{
    const std::size_t index = m_fields.size();
    if (auto* edit = qobject_cast<QLineEdit*>(field.control)) {
        // Leaving a field accepts it, as the sweep of OK does.
        connect(edit, &QLineEdit::editingFinished, this, [this, index] {
            if (!m_sweeping && !m_closing && m_open)
                acceptField(index, true);
        });
    }
    m_fields.push_back(std::move(field));
}

QString FormWindow::problem() const
{
    return m_problem->text();
}

void FormWindow::showProblem(const QString& text)
{
    m_problem->setText(text);
    if (!text.isEmpty()) {
        QAccessibleEvent alert(m_problem, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

bool FormWindow::acceptField(std::size_t index, bool withCheck)
{
    FormField& f = m_fields[index];
    if (f.take && !f.take()) {
        // Refused: what was typed stays, selected, and the window says what is accepted.
        QApplication::beep();
        showProblem(f.refusal ? f.refusal() : QString());
        m_problemField = index;
        if (auto* edit = qobject_cast<QLineEdit*>(f.control))
            edit->selectAll();
        QTimer::singleShot(0, f.control, [c = f.control] { c->setFocus(); });
        f.control->setFocus();
        return false;
    }
    if (withCheck && f.check && !f.check()) {
        m_problemField = index;
        f.control->setFocus();
        return false;
    }
    // Only this field's own problem is cleared: the field Tab left for a moment
    // before the focus went back to a refused one must not hide what was said.
    if (m_problemField == index || m_problemField == NoField) {
        showProblem({});
        m_problemField = NoField;
    }
    if (f.show)
        f.show();
    return true;
}

bool FormWindow::acceptAll()
{
    m_sweeping = true;
    bool ok = true;
    for (std::size_t i = 0; i < m_fields.size() && ok; ++i)
        if (m_fields[i].control->isEnabled())
            ok = acceptField(i, true);
    m_sweeping = false;
    return ok;
}

void FormWindow::takeFocusedField()
{
    QWidget* focused = QApplication::focusWidget();
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].control == focused && m_fields[i].take)
            m_fields[i].take();
}

bool FormWindow::edited()
{
    for (const FormField& f : m_fields)
        if (f.edited && f.edited())
            return true;
    // What was accepted already lives in the form's record.
    return m_controller.changed();
}

void FormWindow::run(Request request, Done done)
{
    m_done = std::move(done);
    if (m_controller.start(request) == UpdateFormController::Start::Ended) {
        m_closing = true;
        m_controller.finish();
        const core::Response response = m_controller.response();
        const Navigation navigation = m_controller.navigation();
        Done callback = std::move(m_done);
        deleteLater();
        if (callback)
            callback(response, navigation);
        return;
    }
    setWindowTitle(titleFor(m_controller.workingRequest()));
    setAccessibleName(windowTitle());
    orderTabs();
    m_open = true;
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        host->showChild(this);
    else
        show();
    core::restoreWindowPosition(*positionedWindow(), QDir::current().filePath(core::WindowPositionFile), m_procedure);
    redisplay();
    focusFirst();
    if (core::ProcedureHost* host = core::ProcedureHost::current())
        host->refreshToolbar();
}

void FormWindow::orderTabs()
{
    // Tab walks the fields in the order they were added, then OK, Cancel and
    // Help, whatever order the widgets were made in.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (!w)
            return;
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (const FormField& f : m_fields) {
        // A group of radio buttons is one field: every button of it keeps its
        // place, or Tab from any but the first would leave the chain.
        auto* button = qobject_cast<QAbstractButton*>(f.control);
        if (button && button->group()) {
            for (QAbstractButton* b : button->group()->buttons())
                chain(b);
        } else {
            chain(f.control);
        }
    }
    chain(m_ok);
    chain(m_cancel);
    chain(m_help);
}

QWidget* FormWindow::positionedWindow()
{
    return qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
}

void FormWindow::focusFirst()
{
    for (const FormField& f : m_fields) {
        if (f.control->isEnabled()) {
            f.control->setFocus();
            return;
        }
    }
}

void FormWindow::redisplay()
{
    for (const FormField& f : m_fields)
        if (f.show)
            f.show();
    refreshed();
}

std::map<int, core::ToolbarButtonState> FormWindow::toolbarState() const
{
    std::map<int, core::ToolbarButtonState> s;
    for (int c = Insert; c <= Help; ++c)
        s[c] = {false, {}};
    const Request working = m_controller.workingRequest();
    if (working == Request::Insert) {
        s[NextRecord] = {true, QStringLiteral("Save record and add another")};
        s[Insert] = {true, QStringLiteral("Save record and add another")};
    } else if (working == Request::Change) {
        s[LastPage] = {true, QStringLiteral("Save changes and go to last record")};
        s[FirstPage] = {true, QStringLiteral("Save changes and go to first record")};
        s[NextPage] = {true, QStringLiteral("Save changes and page down to record")};
        s[PreviousPage] = {true, QStringLiteral("Save changes and page up to record")};
        s[NextRecord] = {true, QStringLiteral("Save changes and go to next record")};
        s[PreviousRecord] = {true, QStringLiteral("Save changes and go to previous record")};
        s[Insert] = {true, QStringLiteral("Save this record and add a new one")};
    }
    s[Help] = {m_help->isEnabled(), {}};
    s[Ditto] = {offersRecall(), {}};
    return s;
}

void FormWindow::onToolbarCommand(int command)
{
    const auto state = toolbarState();
    const auto it = state.find(command);
    if (it == state.end() || !it->second.enabled || !m_open)
        return;
    if (command == Help) {
        core::showHelp(helpContext());
        return;
    }
    if (command == Ditto) {
        recall();
        return;
    }
    takeFocusedField();
    saveAndMaybeClose(static_cast<Navigation>(command));
}

bool FormWindow::sweepAndSave()
{
    const Request working = m_controller.workingRequest();
    if ((working == Request::Insert || working == Request::Change) && !acceptAll())
        return false;
    if (!beforeSave())
        return false;
    if (m_controller.save(Navigation::None) == UpdateFormController::Saved::Closed)
        return true;
    redisplay();
    focusFirst();
    return false;
}

void FormWindow::pressOk()
{
    if (!m_open)
        return;
    if (sweepAndSave()) {
        m_closing = true;
        core::closeProcedureWindow(*this);
    }
}

void FormWindow::saveAndMaybeClose(Navigation navigation)
{
    if (m_controller.save(navigation) == UpdateFormController::Saved::Closed) {
        m_closing = true;
        core::closeProcedureWindow(*this);
        return;
    }
    redisplay();
    focusFirst();
}

void FormWindow::pressCancel()
{
    m_controller.cancel();
    m_closing = true;
    core::closeProcedureWindow(*this);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        pressOk();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        pressCancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing && m_open && edited()) {
        // Closed by its close box or with the program: what was typed is not dropped without asking.
        const int answer = platform::MessageService::current().show(
            {QStringLiteral("Save Record"), QStringLiteral("Do you want to save the changes to this record?"),
             platform::MessageIcon::Question, platform::Button::Yes | platform::Button::No | platform::Button::Cancel,
             platform::Button::Yes});
        if (answer == platform::Button::Cancel) {
            event->ignore();
            return;
        }
        if (answer == platform::Button::Yes) {
            if (!sweepAndSave()) {
                // The save did not go through: the window stays with what was typed.
                event->ignore();
                return;
            }
            m_closing = true;
        }
    }
    if (!m_closing)
        m_controller.cancel();
    m_closing = true;
    m_open = false;
    m_controller.finish();
    core::saveWindowPosition(*positionedWindow(), QDir::current().filePath(core::WindowPositionFile), m_procedure);
    const core::Response response = m_controller.response();
    const Navigation navigation = m_controller.navigation();
    Done callback = std::move(m_done);
    event->accept();
    if (callback)
        QTimer::singleShot(0, qApp, [callback, response, navigation] { callback(response, navigation); });
}

} // namespace fundora::engine
