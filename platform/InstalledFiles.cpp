#include "platform/InstalledFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace fundora::platform {

QString installedDataDirectory()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(FUNDORA_DATA_FROM_BIN));
}

QString installedDataFile(const QString& name)
{
    const QFileInfo file(QDir(installedDataDirectory()).filePath(name));
    return file.isFile() ? file.absoluteFilePath() : QString();
}

} // namespace fundora::platform
