#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace fundora::test {

// Runs the second-station program (tests/station) on a program directory.
class Station {
public:
    static QString program();
    // Runs a command to its end and returns its exit code (-1 if it crashed or hung).
    static int run(const QStringList& arguments, int timeoutMs = 30000);
    // Starts a command and returns at once.
    static std::unique_ptr<QProcess> start(const QStringList& arguments);
    // Runs a command that is ended at the file-system step `killAt` (see
    // tests/station/KillSwitch.h): killed, or the number of such steps it ran
    // through when it reached its end.
    struct Outcome {
        bool killed = false;
        int exitCode = -1;
        int steps = 0;
    };
    static Outcome runKilledAt(const QStringList& arguments, const QString& killAt, int timeoutMs = 30000);
    // Waits until `path` exists; false after `timeoutMs`.
    static bool waitForFile(const QString& path, int timeoutMs = 10000);
};

} // namespace fundora::test
