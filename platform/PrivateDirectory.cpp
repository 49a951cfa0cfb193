#include "platform/PrivateDirectory.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace fundora::platform {

bool isPrivateDirectory(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

QString userRuntimeDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateDirectory(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/fundora-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateDirectory(own) ? own : QString();
}

QString workDirectory(const QString& kind)
{
    const QString runtime = userRuntimeDirectory();
    if (runtime.isEmpty())
        return {};
    const QString path = runtime + QStringLiteral("/fundora-") + kind;
    ::mkdir(QFile::encodeName(path).constData(), 0700);
    return isPrivateDirectory(path) ? path : QString();
}

QString workEntryTemplate(const QString& kind)
{
    const QString path = workDirectory(kind);
    return path.isEmpty() ? QString() : path + QStringLiteral("/%1-XXXXXX").arg(::getpid());
}

QString processWorkDirectory(const QString& kind)
{
    const QString path = workDirectory(kind);
    if (path.isEmpty())
        return {};
    const QString own = path + QStringLiteral("/%1").arg(::getpid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateDirectory(own) ? own : QString();
}

void cleanWorkDirectory(const QString& kind)
{
    const QString path = workDirectory(kind);
    if (path.isEmpty())
        return;
    // Only this user's own private directory, and only the entries of runs that have ended.
    QDir dir(path);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const pid_t owner = entry.fileName().section(u'-', 0, 0).toInt(&isNumber);
        if (isNumber && owner > 0 && (::kill(owner, 0) == 0 || errno == EPERM))
            continue; // that run is still going
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace fundora::platform
