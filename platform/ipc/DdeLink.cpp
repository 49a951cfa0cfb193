#include "platform/ipc/DdeLink.h"

#include "platform/PrivateDirectory.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <unistd.h>

namespace fundora::platform {

namespace {

// Whether the process at the other end of `socket` is this user's.
bool peerIsThisUser(const QLocalSocket& socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

} // namespace

QString ddeSocketName(const QString& application, const QString& topic)
{
    // In the user's own runtime directory: in the shared temporary directory
    // another user could take the name first, or answer in the program's place.
    const QString directory = userRuntimeDirectory();
    if (directory.isEmpty())
        return {};
    // FUNDORA_DDE_SCOPE keeps test runs that go on side by side apart; programs leave it unset.
    const QString scope = qEnvironmentVariable("FUNDORA_DDE_SCOPE");
    return directory + QStringLiteral("/fundora-dde-%1-%2").arg(application, topic) +
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
    if (name.isEmpty())
        return false;
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
    const QString name = ddeSocketName(application, topic);
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    const bool connected = socket.waitForConnected(timeoutMs) && peerIsThisUser(socket);
    socket.abort();
    return connected;
}

} // namespace fundora::platform
