#include "backup/BackupConfig.h"
#include "backup/CommandLine.h"
#include "backup/Drives.h"
#include "backup/Startup.h"
#include "backup/ui/VaultineWindow.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace fundora;

namespace {

// The program directory: --dir DIR, else the current directory.
QString programDirectory(const QStringList& args)
{
    const qsizetype i = args.indexOf(QStringLiteral("--dir"));
    return QDir(i >= 0 && i + 1 < args.size() ? args[i + 1] : QDir::currentPath()).absolutePath();
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (backup::isCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        return backup::runCommandLine(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vaultine"));
    const QString directory = programDirectory(QApplication::arguments());
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
