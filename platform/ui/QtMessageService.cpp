#include "platform/ui/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>

namespace fundora::platform {

namespace {

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

int QtMessageService::show(const Message& message)
{
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (message.barsBreakLines)
        text.replace(u'|', u'\n');
    QMessageBox box(qtIcon(message.icon), message.title, text, QMessageBox::NoButton, QApplication::activeWindow());
    for (int b : Button::All)
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
    for (int b : Button::All)
        if (result == qtButton(b))
            return b;
    return defaultButtonOf(message);
}

void QtMessageService::beep()
{
    QApplication::beep();
}

} // namespace fundora::platform
