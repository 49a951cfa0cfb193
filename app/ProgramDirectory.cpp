#include "app/ProgramDirectory.h"

#include "platform/RegisterDirectory.h"

#include <QDir>

namespace fundora::app {

QString programDirectoryFrom(const QStringList& arguments, QString* error)
{
    QString directory;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QStringLiteral("--dir")) {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("--dir needs a directory");
                return {};
            }
            directory = arguments[++i];
        } else if (a.startsWith(QStringLiteral("--dir="))) {
            directory = a.mid(6);
        }
    }
    if (directory.isEmpty())
        return platform::defaultRegisterDirectory(error);
    const QDir dir(directory);
    if (!dir.exists()) {
        *error = QStringLiteral("The program directory %1 does not exist.").arg(directory);
        return {};
    }
    return dir.absolutePath();
}

} // namespace fundora::app
