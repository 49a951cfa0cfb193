#include "backup/Messages.h"

namespace fundora::backup {

int ask(const char* title, const QString& text, platform::MessageIcon icon, int buttons, int defaultButton)
{
    return platform::MessageService::current().show({QString::fromLatin1(title), text, icon, buttons, defaultButton});
}

void say(const QString& text)
{
    ask("Fundora 2000 - Backup/Restore Module", text, platform::MessageIcon::Exclamation, platform::Button::Ok, platform::Button::Ok);
}

void beep()
{
    platform::MessageService::current().beep();
}

} // namespace fundora::backup
