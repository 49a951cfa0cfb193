#include "app/BatchCommands.h"
#include "app/CommandLine.h"
#include "app/FeatureProcedures.h"
#include "app/MainFrame.h"
#include "app/ProgramDirectory.h"
#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/OptionFiles.h"
#include "platform/HeapSettings.h"
#include "platform/MessageService.h"
#include "platform/PrivateDirectory.h"
#include "platform/RegisterDirectory.h"
#include "platform/Runtime.h"
#include "platform/server/ServerConnection.h"
#include "platform/ui/QtMessageService.h"
#include "platform/ui/ServerPassword.h"
#include "reports/ReportCommandLine.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

using namespace fundora;

int main(int argc, char* argv[])
{
    platform::keepLargeFreedBlocks();
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<int> status = app::answerWithoutStarting(rawArguments))
        return *status;
    platform::ensureRuntimeDirectoryVariable();
    if (rawArguments.contains(QStringLiteral("--sample"))) {
        QCoreApplication app(argc, argv);
        return *app::makeSampleIfAsked(QCoreApplication::arguments());
    }
    const bool batch = app::asksForBatchJob(rawArguments);
    // A report printed, a statement imported, a plan made or what is due listed from the command line needs no display.
    if (batch && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fundora"));
    platform::MessageService::install(std::make_shared<platform::QtMessageService>());
    // The menu entry and the icon the desktop shows for the window (an installed program's; none in a build tree).
    QApplication::setDesktopFileName(QStringLiteral("org.fundora.Fundora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("fundora")));

    QString error;
    const std::optional<app::ProgramRegister> where = app::programRegisterFrom(QApplication::arguments(), &error);
    if (!where) {
        std::fprintf(stderr, "fundora: %s\n", qPrintable(error));
        return 2;
    }
    const QString& directory = where->directory;
    // What killed runs left of their work (report pages, statement copies) goes now.
    platform::cleanWorkDirectory(QStringLiteral("report"));
    platform::cleanWorkDirectory(QStringLiteral("import"));

    std::optional<app::BatchJob> job;
    if (batch) {
        job = app::batchJobFrom(QApplication::arguments(), &error);
        if (!job) {
            std::fprintf(stderr, "fundora: %s\n", qPrintable(error));
            return 2;
        }
    }

    // File names on the command line were taken relative to where it was started; the rest works in the register.
    QDir::setCurrent(directory);
    app::declareFeatureFiles();
    // A server that wants a password libpq's own places do not give: the keyring's, or asked in a dialog
    // (a command line without windows has no one to ask).
    if (where->place.isOnServer() && !job)
        platform::ServerConnection::setPasswordSource(platform::askServerPassword);
    core::DataFiles files(where->place);
    core::DataFiles::setCurrent(&files);
    platform::Runtime::setHaltHandler([&files](const QString&) {
        files.closeAll();
        std::exit(EXIT_FAILURE);
    });
    files.clearBuffers();
    core::resetGlobalState();
    if (job) {
        platform::MessageService::install(reports::consoleMessages());
        QTextStream out(stdout);
        QTextStream err(stderr);
        const int status = (*job)(files, out, err);
        out.flush();
        err.flush();
        files.closeAll();
        return status;
    }
    core::writePopupOptionFiles(directory);
    app::registerFeatureProcedures();

    app::MainFrame frame(files, directory);
    if (!frame.open())
        return EXIT_FAILURE;
    return QApplication::exec();
}
