#pragma once

#include "platform/MessageService.h"

namespace fundora::backup {

// A message of the utility through the message service; returns the button pressed.
int ask(const char* title, const QString& text, platform::MessageIcon icon, int buttons, int defaultButton);
// A plain message with an OK button.
void say(const QString& text);
// The warning sound, where there is a screen to make it.
void beep();

} // namespace fundora::backup
