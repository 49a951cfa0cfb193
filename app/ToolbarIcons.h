#pragma once

#include <QIcon>

namespace fundora::app {

// The frame's toolbar icons (SVG resources from data/icons), each matching its
// button's tip. `command` is the button's number; 0 is the "browse all accounts" button.
QIcon toolbarIcon(int command);

} // namespace fundora::app
