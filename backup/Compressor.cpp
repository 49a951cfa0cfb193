#include "backup/Compressor.h"

#include "platform/MessageService.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace fundora::backup {

Compressor::Compressor(QString programDirectory) : m_directory(std::move(programDirectory))
{
}

QString Compressor::launcher() const
{
    // Found without regard to case ("pklaunch.pif" will do).
    for (const QString& name : QDir(m_directory).entryList(QDir::Files))
        if (name.compare(QStringLiteral("PKLAUNCH.PIF"), Qt::CaseInsensitive) == 0)
            return QDir(m_directory).filePath(name);
    return {};
}

void waitWithoutWindow(QProcess& process, int limitMs)
{
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

std::unique_ptr<QProcess> Compressor::start(const QStringList& arguments, const QString& directory, std::int64_t maxBytes)
{
    const QString program = launcher();
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(directory);
    if (maxBytes > 0) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PKLAUNCH_MAX_BYTES"), QString::number(maxBytes));
        process->setProcessEnvironment(env);
    }
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!program.isEmpty())
        process->start(program, arguments);
    if (program.isEmpty() || !process->waitForStarted(10000)) {
        m_failure = QStringLiteral("PKLAUNCH.PIF could not be started");
        platform::MessageService::current().show(
            {QStringLiteral("Critcial Error!"),
             QStringLiteral("The file PKLAUNCH.PIF has not been found!\r\n\r\nPlease get in touch with support.\r\n"),
             platform::MessageIcon::Stop, platform::Button::Abort, platform::Button::Abort});
        return nullptr;
    }
    return process;
}

bool Compressor::finish(QProcess& process, const QString& title, const QString& text)
{
    if (m_waiter && process.state() != QProcess::NotRunning)
        m_waiter(process, title, text);
    if (process.state() != QProcess::NotRunning) {
        // The waiter gave up: the process is not left running behind the utility.
        waitWithoutWindow(process, m_limitMs);
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        m_failure = QStringLiteral("PKLAUNCH.PIF ended abnormally");
        return false;
    }
    if (process.exitCode() != 0) {
        m_failure = QStringLiteral("PKLAUNCH.PIF failed with exit code %1").arg(process.exitCode());
        return false;
    }
    return true;
}

bool Compressor::run(const QStringList& arguments, const QString& title, const QString& text)
{
    const auto process = start(arguments, m_directory);
    return process && finish(*process, title, text);
}

bool Compressor::compress(const QString& file)
{
    const QString text = (QStringLiteral("Compressing ") + QFileInfo(file).fileName().toUpper()).left(40);
    return run({file}, QStringLiteral("Compressing"), text);
}

std::unique_ptr<QProcess> Compressor::startExpand(const QString& baseName, const QString& directory, std::int64_t maxBytes)
{
    return start({QStringLiteral("/M"), baseName}, directory, maxBytes);
}

bool Compressor::finishExpand(QProcess& process, const QString& baseName)
{
    return finish(process, QStringLiteral("Un-Compressing"), (QStringLiteral("Uncompressing ") + baseName.toUpper()).left(30));
}

} // namespace fundora::backup
