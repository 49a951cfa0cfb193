#include "backup/BackupConfig.h"
#include "backup/CommandLine.h"
#include "backup/Drives.h"
#include "backup/Startup.h"
#include "backup/ui/VaultineWindow.h"
#include "platform/MessageService.h"
#include "platform/RegisterDirectory.h"
#include "platform/ui/QtMessageService.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <algorithm>
#include <cstdio>

using namespace fundora;

namespace {

// The register: --dir DIR, else the user's own (as Fundora finds it).
QString programDirectory(const QStringList& args, QString* error)
{
    const qsizetype i = args.indexOf(QStringLiteral("--dir"));
    if (i >= 0 && i + 1 < args.size())
        return QDir(args[i + 1]).absolutePath();
    return platform::defaultRegisterDirectory(error);
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    platform::ensureRuntimeDirectoryVariable();
    if (backup::isCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        return backup::runCommandLine(QCoreApplication::arguments());
    }
    if (std::any_of(arguments.begin(), arguments.end(), [](const QString& a) { return a.startsWith(QStringLiteral("--server")); })) {
        std::fprintf(stderr, "vaultine: the windows work on a register in a directory; a register on a server is backed up and "
                             "restored with --server URI --backup --to DIR or --server URI --restore --from DIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vaultine"));
    platform::MessageService::install(std::make_shared<platform::QtMessageService>());
    // The menu entry and the icon the desktop shows for the window (an installed program's; none in a build tree).
    QApplication::setDesktopFileName(QStringLiteral("org.fundora.Vaultine"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vaultine")));
    QString error;
    const QString directory = programDirectory(QApplication::arguments(), &error);
    if (directory.isEmpty()) {
        std::fprintf(stderr, "vaultine: %s\n", qPrintable(error));
        return 2;
    }
    if (!QDir(directory).exists()) {
        std::fprintf(stderr, "vaultine: the program directory %s does not exist\n", qPrintable(directory));
        return 2;
    }
    QDir::setCurrent(directory);
    backup::BackupConfig config(directory);
    if (backup::startUtility(config) != backup::StartupResult::Ready)
        return 1;
    backup::VaultineWindow window(config, backup::DriveTable::load(QDir(directory).filePath(QStringLiteral("vaultine.INI"))));
    window.show();
    return QApplication::exec();
}
