#include "platform/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QVariantMap>

namespace fundora::platform {

void notifyDesktop(const QString& summary, const QString& body)
{
    // A run without a display (tests, the command lines) shows nothing on a desktop.
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        return;
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service).value())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"), service, QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the server's default)
    call << QStringLiteral("Fundora") << 0U << QStringLiteral("fundora") << summary << body << QStringList() << QVariantMap() << -1;
    bus.asyncCall(call);
}

} // namespace fundora::platform
