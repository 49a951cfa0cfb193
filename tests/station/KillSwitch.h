#pragma once

#include <QString>

namespace fundora::test {

// Ends the process with SIGKILL at a chosen file-system step of SQLite, as a
// crash or a power cut would end it there. The step comes from the
// environment: FUNDORA_KILL_AT="unlink:N" kills at the Nth file deletion,
// "write:N" at the Nth write; ":after" lets that step happen first. Steps are
// counted only once arm() was called, so opening the files does not count.
// Only the test programs install it.
class KillSwitch {
public:
    static void install();
    static void arm();
    // How many steps of the chosen kind ran while armed (when the process was not killed).
    static int stepsSeen();
};

} // namespace fundora::test
