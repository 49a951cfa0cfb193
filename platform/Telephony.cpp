#include "platform/Telephony.h"

#include <QDesktopServices>
#include <QUrl>

namespace fundora::platform {

namespace {
Telephony::Handler& callHandler()
{
    static Telephony::Handler handler;
    return handler;
}
ShellOpen::Handler& openHandler()
{
    static ShellOpen::Handler handler;
    return handler;
}
} // namespace

QString Telephony::telUrl(const QString& destination)
{
    QString kept;
    for (QChar c : destination)
        if ((c.isDigit() && c.unicode() < 128) || c == u'+' || c == u'*' || c == u'#' || c == u',')
            kept += c;
    return QStringLiteral("tel:") + kept;
}

int Telephony::requestMakeCall(const QString& destination, const QString& calledParty)
{
    if (callHandler())
        return callHandler()(destination, calledParty);
    const QString url = telUrl(destination);
    if (url.size() <= 4)
        return -1;
    return QDesktopServices::openUrl(QUrl(url)) ? 0 : -1;
}

void Telephony::setHandler(Handler handler)
{
    callHandler() = std::move(handler);
}

bool ShellOpen::open(const QString& address)
{
    if (openHandler())
        return openHandler()(address);
    return QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void ShellOpen::setHandler(Handler handler)
{
    openHandler() = std::move(handler);
}

} // namespace fundora::platform
