#include "platform/ipc/DdeLink.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace fundora::platform {

QString ddeSocketName(const QString& application, const QString& topic)
{
    // FUNDORA_DDE_SCOPE keeps test runs that go on side by side apart; programs leave it unset.
    const QString scope = qEnvironmentVariable("FUNDORA_DDE_SCOPE");
    return QStringLiteral("fundora-dde-%1-%2-%3").arg(application, topic).arg(::getuid()) +
           (scope.isEmpty() ? QString() : QStringLiteral("-") + scope);
}

DdeServer::DdeServer(QObject* parent) : QObject(parent)
{
}

DdeServer::~DdeServer()
{
    unregister();
}

bool DdeServer::registerServer(const QString& application, const QString& topic)
{
    unregister();
    const QString name = ddeSocketName(application, topic);
    // A socket left by a program that died is removed; a live one is left alone.
    if (!ddeServerRunning(application, topic, 200))
        QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [server = m_server] {
        while (QLocalSocket* s = server->nextPendingConnection())
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    });
    if (!m_server->listen(name)) {
        delete m_server;
        m_server = nullptr;
        return false;
    }
    return true;
}

void DdeServer::unregister()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

bool DdeServer::isRegistered() const
{
    return m_server && m_server->isListening();
}

bool ddeServerRunning(const QString& application, const QString& topic, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(ddeSocketName(application, topic));
    const bool connected = socket.waitForConnected(timeoutMs);
    socket.abort();
    return connected;
}

} // namespace fundora::platform
