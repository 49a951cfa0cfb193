#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLineEdit;

namespace fundora::platform {

// Asks for the password of a register's server: "Password for SERVER:" with
// the text hidden, and "Keep it in the desktop's keyring" (ticked: the
// password is kept there for this server and given the next time without
// asking). Said again with "The server refused that password." after a
// refusal.
class ServerPasswordDialog final : public QDialog {
public:
    ServerPasswordDialog(const QString& shownUri, bool again, QWidget* parent = nullptr);
    QString password() const;
    bool keep() const;

private:
    QLineEdit* m_password;
    QCheckBox* m_keep;
};

// The keyring of the desktop (the Secret Service or KWallet, through
// QtKeychain), under the service "Fundora" and the server's URI without its
// password. Each waits for the keyring's answer; no keyring is no password
// (nullopt) or not kept (false).
std::optional<QString> passwordFromKeyring(const QString& shownUri);
bool keepPasswordInKeyring(const QString& shownUri, const QString& password);

// The program's password source (ServerConnection::setPasswordSource): the
// keyring's, unless the server refused it; else the dialog's, kept in the
// keyring when asked to.
std::optional<QString> askServerPassword(const QString& shownUri, bool again);

} // namespace fundora::platform
