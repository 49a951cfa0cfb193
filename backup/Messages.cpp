#include "backup/Messages.h"

#include <QApplication>

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
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

} // namespace fundora::backup
