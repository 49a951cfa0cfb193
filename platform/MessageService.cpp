#include "platform/MessageService.h"

#include <cstdio>

namespace fundora::platform {

namespace {

// Without windows: each message on standard error, answered with its default button.
class StandardErrorMessages final : public MessageService {
public:
    int show(const Message& message) override
    {
        QString text = message.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(stderr, "%s: %s\n", qPrintable(message.title.trimmed()), qPrintable(text.trimmed()));
        return defaultButtonOf(message);
    }
};

std::shared_ptr<MessageService>& installedService()
{
    static std::shared_ptr<MessageService> service = std::make_shared<StandardErrorMessages>();
    return service;
}

} // namespace

MessageService& MessageService::current()
{
    return *installedService();
}

void MessageService::install(std::shared_ptr<MessageService> service)
{
    installedService() = service ? std::move(service) : std::make_shared<StandardErrorMessages>();
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
    for (int b : Button::All)
        if (message.buttons & b)
            return b;
    return Button::Ok;
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
