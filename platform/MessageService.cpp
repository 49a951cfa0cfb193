#include "platform/MessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace fundora::platform {

namespace {

std::shared_ptr<MessageService>& installedService()
{
    static std::shared_ptr<MessageService> service = std::make_shared<QtMessageService>();
    return service;
}

constexpr int AllButtons[] = {Button::Ok,    Button::Yes,    Button::No,     Button::Abort,
                              Button::Retry, Button::Ignore, Button::Cancel, Button::Help};

QMessageBox::StandardButton qtButton(int button)
{
    switch (button) {
    case Button::Yes: return QMessageBox::Yes;
    case Button::No: return QMessageBox::No;
    case Button::Abort: return QMessageBox::Abort;
    case Button::Retry: return QMessageBox::Retry;
    case Button::Ignore: return QMessageBox::Ignore;
    case Button::Help: return QMessageBox::Help;
    case Button::Cancel: return QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageService& MessageService::current()
{
    return *installedService();
}

void MessageService::install(std::shared_ptr<MessageService> service)
{
    installedService() = service ? std::move(service) : std::make_shared<QtMessageService>();
}

int showMessage(const QString& title, const QString& text, MessageIcon icon, int buttons, int defaultButton)
{
    Message m{title, text, icon, buttons, defaultButton};
    m.barsBreakLines = true;
    return MessageService::current().show(m);
}

int defaultButtonOf(const Message& message)
{
    if (message.defaultButton != 0 && (message.buttons & message.defaultButton))
        return message.defaultButton;
    for (int b : AllButtons)
        if (message.buttons & b)
            return b;
    return Button::Ok;
}

int QtMessageService::show(const Message& message)
{
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (message.barsBreakLines)
        text.replace(u'|', u'\n');
    QMessageBox box(qtIcon(message.icon), message.title, text, QMessageBox::NoButton, QApplication::activeWindow());
    for (int b : AllButtons)
        if (message.buttons & b)
            box.addButton(qtButton(b));
    if (box.buttons().isEmpty())
        box.addButton(QMessageBox::Ok);
    box.setDefaultButton(qtButton(defaultButtonOf(message)));
    if (message.buttons & Button::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (message.buttons & Button::Abort)
        box.setEscapeButton(QMessageBox::Abort);
    box.setAccessibleName(message.title);
    const int result = box.exec();
    for (int b : AllButtons)
        if (result == qtButton(b))
            return b;
    return defaultButtonOf(message);
}

int ScriptedMessageService::show(const Message& message)
{
    m_shown.push_back(message);
    if (m_answers.empty()) {
        ++m_unexpected;
        return defaultButtonOf(message);
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

} // namespace fundora::platform
