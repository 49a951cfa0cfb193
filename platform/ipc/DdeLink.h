#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace fundora::platform {

// The link by which the backup utility finds out whether the main program
// runs: the main program registers a server under a pair of names, a client
// asks for a conversation with the same pair. No data passes over it.
// The pair becomes a socket in the user's own runtime directory (see
// userRuntimeDirectory; and of the scope named by FUNDORA_DDE_SCOPE, which
// only tests set). An answer counts only from a process of the same user.
QString ddeSocketName(const QString& application, const QString& topic);

class DdeServer : public QObject {
public:
    explicit DdeServer(QObject* parent = nullptr);
    ~DdeServer() override;
    // Registers the server; false when it could not listen (another copy of
    // the program already holds the name, which serves the same purpose).
    bool registerServer(const QString& application, const QString& topic);
    void unregister();
    bool isRegistered() const;

private:
    QLocalServer* m_server = nullptr;
};

// True when a server with this pair of names answers within `timeoutMs`.
bool ddeServerRunning(const QString& application, const QString& topic, int timeoutMs = 500);

} // namespace fundora::platform
