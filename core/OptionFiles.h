#pragma once

#include <QString>

namespace fundora::core {

// Writes the popups' option files CALC.INI and CALENDAR.INI into `directory`
// (done at every start, before the frame opens). False when one cannot be written.
bool writePopupOptionFiles(const QString& directory);

} // namespace fundora::core
