#include "app/ProgramDirectory.h"

#include "platform/RegisterDirectory.h"

#include <QDir>

#include <algorithm>

namespace fundora::app {

std::optional<ProgramRegister> programRegisterFrom(const QStringList& arguments, QString* error)
{
    QString server;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QStringLiteral("--server")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                *error = QStringLiteral("--server needs the server's connection URI (postgresql://USER@HOST/DATABASE, or service=NAME)");
                return std::nullopt;
            }
            server = arguments[++i];
        } else if (a.startsWith(QStringLiteral("--server="))) {
            server = a.mid(9);
        }
    }
    const bool dirGiven =
        arguments.contains(QStringLiteral("--dir")) ||
        std::any_of(arguments.begin(), arguments.end(), [](const QString& a) { return a.startsWith(QStringLiteral("--dir=")); });
    if (!server.isEmpty() && dirGiven) {
        *error = QStringLiteral("--dir and --server each name a register: give one of them");
        return std::nullopt;
    }
    if (server.isEmpty()) {
        const QString directory = programDirectoryFrom(arguments, error);
        if (directory.isEmpty())
            return std::nullopt;
        return ProgramRegister{directory, platform::RegisterPlace::inDirectory(directory)};
    }
    const QString own = platform::defaultRegisterDirectory(error);
    if (own.isEmpty())
        return std::nullopt;
    return ProgramRegister{own, platform::serverRegister(server)};
}

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
