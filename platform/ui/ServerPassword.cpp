#include "platform/ui/ServerPassword.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <qt6keychain/keychain.h>

namespace fundora::platform {

namespace {

const QString KeyringService = QStringLiteral("Fundora");

// Runs a keyring job to its end; true when it succeeded.
bool finished(QKeychain::Job& job)
{
    QEventLoop wait;
    QObject::connect(&job, &QKeychain::Job::finished, &wait, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    return job.error() == QKeychain::NoError;
}

} // namespace

ServerPasswordDialog::ServerPasswordDialog(const QString& shownUri, bool again, QWidget* parent)
    : QDialog(parent), m_password(new QLineEdit(this)), m_keep(new QCheckBox(QStringLiteral("&Keep it in the desktop's keyring"), this))
{
    setWindowTitle(QStringLiteral("Password of the Register's Server"));
    auto* layout = new QVBoxLayout(this);
    if (again) {
        auto* refused = new QLabel(QStringLiteral("The server refused that password."), this);
        layout->addWidget(refused);
    }
    auto* form = new QFormLayout;
    auto* prompt = new QLabel(QStringLiteral("&Password for %1:").arg(shownUri), this);
    prompt->setWordWrap(true);
    prompt->setBuddy(m_password);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setAccessibleName(QStringLiteral("Password"));
    form->addRow(prompt, m_password);
    layout->addLayout(form);
    layout->addWidget(m_keep);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_password->setFocus();
}

QString ServerPasswordDialog::password() const
{
    return m_password->text();
}

bool ServerPasswordDialog::keep() const
{
    return m_keep->isChecked();
}

std::optional<QString> passwordFromKeyring(const QString& shownUri)
{
    QKeychain::ReadPasswordJob job(KeyringService);
    job.setKey(shownUri);
    if (!finished(job))
        return std::nullopt;
    return job.textData();
}

bool keepPasswordInKeyring(const QString& shownUri, const QString& password)
{
    QKeychain::WritePasswordJob job(KeyringService);
    job.setKey(shownUri);
    job.setTextData(password);
    return finished(job);
}

std::optional<QString> askServerPassword(const QString& shownUri, bool again)
{
    if (!again)
        if (std::optional<QString> kept = passwordFromKeyring(shownUri))
            return kept;
    ServerPasswordDialog dialog(shownUri, again);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (dialog.keep())
        keepPasswordInKeyring(shownUri, dialog.password());
    return dialog.password();
}

} // namespace fundora::platform
