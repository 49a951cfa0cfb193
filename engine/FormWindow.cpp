#include "engine/FormWindow.h"

#include "core/Help.h"
#include "core/PopupKeys.h"
#include "core/Procedures.h"
#include "core/WindowPosition.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace fundora::engine {

using namespace core::Command;

FormField pictureField(QLineEdit* edit, const QString& pictureText, std::function<platform::PictureValue()> get,
                       std::function<bool(const platform::PictureValue&)> set)
{
    const auto picture = platform::Picture::parse(pictureText);
    Q_ASSERT(picture);
    edit->setProperty(core::PictureProperty, pictureText);
    if (const auto* s = std::get_if<platform::StringPicture>(&picture->form()))
        edit->setMaxLength(s->width);
    FormField f;
    f.control = edit;
    f.show = [edit, picture, get] {
        edit->setText(picture->format(get()).trimmed());
        edit->setModified(false);
    };
    f.take = [edit, picture, set] {
        const auto value = picture->deformat(edit->text());
        return value && set(*value);
    };
    return f;
}

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

bool FormWindow::acceptField(std::size_t index, bool withCheck)
{
    FormField& f = m_fields[index];
    if (f.take && !f.take()) {
        QApplication::beep();
        if (f.show)
            f.show();
        QTimer::singleShot(0, f.control, [c = f.control] { c->setFocus(); });
        f.control->setFocus();
        return false;
    }
    if (withCheck && f.check && !f.check()) {
        f.control->setFocus();
        return false;
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

void FormWindow::run(Done done)
{
    m_done = std::move(done);
    if (m_controller.start() == UpdateFormController::Start::Ended) {
        m_closing = true;
        m_controller.finish();
        const int response = m_controller.response();
        const int navigation = core::glo().navigationCode;
        Done callback = std::move(m_done);
        deleteLater();
        if (callback)
            callback(response, navigation);
        return;
    }
    setWindowTitle(titleFor(m_controller.workingRequest()));
    setAccessibleName(windowTitle());
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
    if (m_controller.workingRequest() == core::Request::Insert) {
        s[NextRecord] = {true, QStringLiteral("Save record and add another")};
        s[Insert] = {true, QStringLiteral("Save record and add another")};
    } else if (m_controller.workingRequest() == core::Request::Change) {
        s[LastPage] = {true, QStringLiteral("Save changes and go to last record")};
        s[FirstPage] = {true, QStringLiteral("Save changes and go to first record")};
        s[NextPage] = {true, QStringLiteral("Save changes and page down to record")};
        s[PreviousPage] = {true, QStringLiteral("Save changes and page up to record")};
        s[NextRecord] = {true, QStringLiteral("Save changes and go to next record")};
        s[PreviousRecord] = {true, QStringLiteral("Save changes and go to previous record")};
        s[Insert] = {true, QStringLiteral("Save this record and add a new one")};
    }
    s[Help] = {m_help->isEnabled(), {}};
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
    takeFocusedField();
    saveAndMaybeClose(command);
}

void FormWindow::pressOk()
{
    if (!m_open)
        return;
    const int working = m_controller.workingRequest();
    if ((working == core::Request::Insert || working == core::Request::Change) && !acceptAll())
        return;
    saveAndMaybeClose(0);
}

void FormWindow::saveAndMaybeClose(int navigation)
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

void FormWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing)
        m_controller.cancel(); // the close box
    m_closing = true;
    m_open = false;
    m_controller.finish();
    core::saveWindowPosition(*positionedWindow(), QDir::current().filePath(core::WindowPositionFile), m_procedure);
    const int response = m_controller.response();
    const int navigation = core::glo().navigationCode;
    Done callback = std::move(m_done);
    event->accept();
    if (callback)
        QTimer::singleShot(0, qApp, [callback, response, navigation] { callback(response, navigation); });
}

} // namespace fundora::engine
