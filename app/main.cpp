#include "accounts/AccountProcedures.h"
#include "app/MainFrame.h"
#include "app/ProgramDirectory.h"
#include "core/DataFiles.h"
#include "core/GlobalState.h"
#include "core/OptionFiles.h"
#include "memos/MemoProcedures.h"
#include "platform/Runtime.h"
#include "transactions/TransactionProcedures.h"

#include <QApplication>
#include <QDir>

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
    core::resetGlobalState();
    core::writePopupOptionFiles(directory);
    accounts::registerAccountProcedures();
    transactions::registerTransactionProcedures();
    memos::registerMemoProcedures();

    app::MainFrame frame(files, directory);
    if (!frame.open())
        return EXIT_FAILURE;
    return QApplication::exec();
}
