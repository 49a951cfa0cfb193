#include "platform/Runtime.h"

#include "platform/MessageService.h"

#include <QCoreApplication>

#include <cstdlib>

namespace fundora::platform {

namespace {
Runtime::HaltHandler& haltHandler()
{
    static Runtime::HaltHandler handler = [](const QString&) { std::exit(EXIT_FAILURE); };
    return handler;
}
} // namespace

bool Runtime::stop(const QString& text)
{
    Message m;
    m.title = QCoreApplication::applicationName().isEmpty() ? QStringLiteral("Program Stopped") : QCoreApplication::applicationName();
    m.text = text + QStringLiteral("\n\nEnd the program?  Press No to go on.");
    m.icon = MessageIcon::Stop;
    m.buttons = Button::Yes | Button::No;
    m.defaultButton = Button::No;
    if (MessageService::current().show(m) != Button::Yes)
        return false;
    halt(QString());
    return true;
}

void Runtime::halt(const QString& text)
{
    s_halted = true;
    s_haltText = text;
    if (!text.isEmpty()) {
        Message m;
        m.title = QCoreApplication::applicationName().isEmpty() ? QStringLiteral("Program Halted") : QCoreApplication::applicationName();
        m.text = text;
        m.icon = MessageIcon::Stop;
        MessageService::current().show(m);
    }
    haltHandler()(text);
}

void Runtime::setHaltHandler(HaltHandler handler)
{
    haltHandler() = std::move(handler);
}

void Runtime::resetHalt()
{
    s_halted = false;
    s_haltText.clear();
}

} // namespace fundora::platform
