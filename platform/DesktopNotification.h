#pragma once

#include <QString>

namespace fundora::platform {

// Shows a notification on the desktop through the freedesktop notification
// service on the session bus, without waiting for it. Nothing happens where
// there is no display, no session bus or no service (a console, a test run): a
// notification is a courtesy, never the only place something is said.
void notifyDesktop(const QString& summary, const QString& body);

} // namespace fundora::platform
