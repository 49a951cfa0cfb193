#pragma once

#include <QString>

namespace fundora::platform {
class Store;
}

namespace fundora::test {

// Ends the process with SIGKILL at a chosen step, as a crash or a power cut
// would end it there. The step comes from the environment:
// FUNDORA_KILL_AT="unlink:N" kills at the Nth file deletion of SQLite,
// "write:N" at its Nth write (":after" lets that step happen first), and
// "statement:N" before the Nth statement the store sends (a register on a
// server has no file steps of its own). Steps are counted only once arm()
// was called, so opening the files does not count. Only the test programs
// install it.
class KillSwitch {
public:
    static void install();
    // Counts the statements `store` sends (for "statement:N").
    static void watch(platform::Store& store);
    static void arm();
    // How many steps of the chosen kind ran while armed (when the process was not killed).
    static int stepsSeen();
};

} // namespace fundora::test
