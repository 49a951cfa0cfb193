// Test entry point: a Qt application on the offscreen platform, so that tests
// of windows run without a display.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each test process has the link between the programs to itself, so that
    // tests running side by side do not see each other's "running Fundora".
    qputenv("FUNDORA_DDE_SCOPE", QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
