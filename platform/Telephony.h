#pragma once

#include <QString>

#include <functional>

namespace fundora::platform {

// The assisted-call request: hands a number to the desktop's registered
// calling application as a tel: address. 0 means the request was accepted.
class Telephony {
public:
    using Handler = std::function<int(const QString& destination, const QString& calledParty)>;
    static int requestMakeCall(const QString& destination, const QString& calledParty);
    // Replaces how calls are requested (tests; nullptr restores the desktop's).
    static void setHandler(Handler handler);
    // The tel: address of a dial string: digits, "+", "*", "#" and "," kept.
    static QString telUrl(const QString& destination);
};

// Opens a web page or other address with the desktop (the shell's "open").
class ShellOpen {
public:
    using Handler = std::function<bool(const QString& address)>;
    static bool open(const QString& address);
    static void setHandler(Handler handler);
};

} // namespace fundora::platform
