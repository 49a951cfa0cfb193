#pragma once

#include <QString>

class QWidget;

namespace fundora::core {

// The INI file holding window positions, one section per window.
inline const QString WindowPositionFile = QStringLiteral("fundora.INI");

// Stores the window's maximised state and normal position and size in
// `section` of `iniPath`; a minimised window keeps what was stored before.
void saveWindowPosition(QWidget& window, const QString& iniPath, const QString& section);
// Puts the window where it was stored. A left edge of 0 (or none) means
// nothing is stored; a window that cannot be resized keeps its size.
void restoreWindowPosition(QWidget& window, const QString& iniPath, const QString& section);

} // namespace fundora::core
