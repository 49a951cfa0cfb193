#pragma once

#include <QString>

#include <functional>

namespace fundora::platform {

// The two ways a program ends from deep inside a procedure.
//
// stop(): shows the text and asks whether to end the program. Going on returns
// false and the caller continues with its next step.
// halt(): shows the text (when it is not empty) and ends the program through
// the installed halt handler, which closes the data files and quits. The
// handler of the programs does not return; tests install one that records the
// text, so a halt is observable and the caller must treat halt() as final.
class Runtime {
public:
    using HaltHandler = std::function<void(const QString& text)>;

    static bool stop(const QString& text);
    static void halt(const QString& text);

    static void setHaltHandler(HaltHandler handler);
    static bool halted() { return s_halted; }
    static QString haltText() { return s_haltText; }
    // Forgets an earlier (observed) halt; for tests.
    static void resetHalt();

private:
    static inline bool s_halted = false;
    static inline QString s_haltText;
};

} // namespace fundora::platform
