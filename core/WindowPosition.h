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
// nothing is stored; a window that cannot be resized keeps its size. A
// position stored on a larger screen, or after Tile, is brought back inside
// the visible area (keepInside).
void restoreWindowPosition(QWidget& window, const QString& iniPath, const QString& section);

// Moves (and where it can, shrinks) the window so that it lies inside what
// shows it: its parent's area for a child window (an MDI window inside the
// frame), the screen's available area for a top-level one. An area not yet
// laid out (smaller than 200 by 150) is left alone.
void keepInside(QWidget& window);

} // namespace fundora::core
