#include "backup/Compressor.h"

#include "platform/InstalledFiles.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace fundora::backup {

Compressor::Compressor(QString programDirectory) : m_directory(std::move(programDirectory))
{
}

QString Compressor::launcher() const
{
    // The program directory's own, found without regard to case ("pklaunch.pif" will do), else the installed one.
    for (const QString& name : QDir(m_directory).entryList(QDir::Files))
        if (name.compare(QStringLiteral("PKLAUNCH.PIF"), Qt::CaseInsensitive) == 0)
            return QDir(m_directory).filePath(name);
    return platform::installedDataFile(QStringLiteral("PKLAUNCH.PIF"));
}

void waitWithoutWindow(QProcess& process, int limitMs, const std::function<void()>& meanwhile)
{
    // Looks again every few hundredths of a second when there is other work, else waits in one go.
    const int look = meanwhile ? 20 : limitMs;
    QElapsedTimer waited;
    waited.start();
    while (!process.waitForFinished(look)) {
        if (process.state() == QProcess::NotRunning)
            return;
        if (waited.elapsed() >= limitMs) {
            process.kill();
            process.waitForFinished(5000);
            return;
        }
        meanwhile();
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
        waitWithoutWindow(process, m_limitMs, m_whileWaiting);
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

bool Compressor::compress(const QString& file)
{
    const auto process = startCompress(file);
    return process && finishCompress(*process, file);
}

std::unique_ptr<QProcess> Compressor::startCompress(const QString& file)
{
    return start({file}, m_directory);
}

bool Compressor::finishCompress(QProcess& process, const QString& file)
{
    return finish(process, QStringLiteral("Compressing"), (QStringLiteral("Compressing ") + QFileInfo(file).fileName().toUpper()).left(40));
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
