#pragma once

#include "platform/MessageService.h"

namespace fundora::platform {

// Every message as a modal QMessageBox over the active window: what a program
// with windows installs at its start.
class QtMessageService final : public MessageService {
public:
    int show(const Message& message) override;
    void beep() override;
};

} // namespace fundora::platform
