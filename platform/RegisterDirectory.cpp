#include "platform/RegisterDirectory.h"

#include "platform/PrivateDirectory.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace fundora::platform {

QString defaultRegisterDirectory(QString* error)
{
    QString directory = qEnvironmentVariable("FUNDORA_DIR");
    if (directory.isEmpty()) {
        const QString data = qEnvironmentVariable("XDG_DATA_HOME");
        const QString base = !data.isEmpty() && QDir::isAbsolutePath(data) ? data : QDir::homePath() + QStringLiteral("/.local/share");
        directory = base + QStringLiteral("/fundora");
    }
    directory = QDir(directory).absolutePath();
    if (QFileInfo(directory).isDir())
        return directory;
    // The parents as usual, the register itself the user's alone.
    if (!QDir().mkpath(QFileInfo(directory).absolutePath()) ||
        (::mkdir(QFile::encodeName(directory).constData(), 0700) != 0 && errno != EEXIST)) {
        if (error)
            *error = QStringLiteral("The register directory %1 could not be made: %2")
                         .arg(directory, QString::fromLocal8Bit(std::strerror(errno)));
        return {};
    }
    return directory;
}

void ensureRuntimeDirectoryVariable()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString runtime = userRuntimeDirectory();
    if (!runtime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
}

} // namespace fundora::platform
