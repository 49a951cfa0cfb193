#include "app/ProgramDirectory.h"
#include "core/DataFiles.h"
#include "core/OpenFile.h"
#include "platform/MessageService.h"
#include "platform/Runtime.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>

#include <cstdio>
#include <cstdlib>

using namespace fundora;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Fundora"));

    QString error;
    const QString directory = app::programDirectoryFrom(QApplication::arguments(), &error);
    if (directory.isEmpty()) {
        std::fprintf(stderr, "fundora: %s\n", qPrintable(error));
        return 2;
    }
    QDir::setCurrent(directory);

    core::DataFiles files(directory);
    core::DataFiles::setCurrent(&files);
    platform::Runtime::setHaltHandler([&files](const QString&) {
        files.closeAll();
        std::exit(EXIT_FAILURE);
    });
    files.clearBuffers();

    // The frame holds Accounts for the program's whole life.
    core::FileUse accounts(files, core::FileId::Accounts);
    if (!accounts.ok())
        return EXIT_FAILURE;

    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Fundora"));
    auto* area = new QMdiArea(&frame);
    area->setAccessibleName(QStringLiteral("Windows"));
    frame.setCentralWidget(area);
    frame.resize(900, 600);
    frame.show();
    return QApplication::exec();
}
