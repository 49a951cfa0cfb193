#include "backup/Leftovers.h"

#include "backup/RestoreRun.h"
#include "platform/store/FileInstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fundora::backup {

namespace {

// Empties the directory open as `fd` (closed here) without following any link.
void emptyDirectory(int fd)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        const int sub = ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub >= 0) {
            emptyDirectory(sub);
            ::unlinkat(::dirfd(dir), name, AT_REMOVEDIR);
        } else {
            ::unlinkat(::dirfd(dir), name, 0); // a file, or a link (removed itself, never its target)
        }
    }
    ::closedir(dir);
}

// Removes `name` in the program directory: a real directory of this user's
// with everything below it, anything else (a link, a file) as itself.
void removeLeftoverDirectory(const QString& programDirectory, const QString& name)
{
    const QByteArray path = QFile::encodeName(QDir(programDirectory).filePath(name));
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        if (S_ISLNK(st.st_mode) || S_ISREG(st.st_mode))
            ::unlink(path.constData());
        return;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    emptyDirectory(fd);
    ::rmdir(path.constData());
}

const QString ServerWorkPrefix = QStringLiteral(".vaultine-");

} // namespace

QString serverWorkTemplate(const QString& userDirectory)
{
    return QDir(userDirectory).filePath(ServerWorkPrefix + QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX"));
}

void removeServerWorkLeftovers(const QString& userDirectory)
{
    for (const QString& name :
         QDir(userDirectory).entryList({ServerWorkPrefix + u'*'}, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const qint64 pid = name.mid(ServerWorkPrefix.size()).section(u'-', 0, 0).toLongLong(&isNumber);
        // Another user's process cannot be asked (EPERM): only a process that is gone gives ESRCH.
        if (isNumber && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            removeLeftoverDirectory(userDirectory, name);
    }
}

void removeStaging(const QString& programDirectory)
{
    if (!platform::installNamesStaging(programDirectory, RestoreRun::StagingName))
        removeLeftoverDirectory(programDirectory, RestoreRun::StagingName);
}

void removeLeftovers(const QString& programDirectory)
{
    QDir dir(programDirectory);
    // Without regard to case, as the utility names them. A link is removed as itself.
    for (const QString& name : dir.entryList(QDir::Files | QDir::System | QDir::Hidden)) {
        const QString upper = name.toUpper();
        if (upper.endsWith(QStringLiteral(".BKX")) || upper.endsWith(QStringLiteral(".BKX.PART")) || upper.endsWith(QStringLiteral(".BKY")))
            ::unlink(QFile::encodeName(dir.filePath(name)).constData());
    }
    for (const QString& name : dir.entryList({QStringLiteral(".pklaunch.*")}, QDir::AllEntries | QDir::System | QDir::Hidden))
        removeLeftoverDirectory(programDirectory, name);
    removeStaging(programDirectory);
}

} // namespace fundora::backup
