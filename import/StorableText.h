#pragma once

#include <QString>
#include <QStringList>

namespace fundora::importing {

// A text of a statement file made fit to store and to show: control
// characters (C0 and C1, which a terminal would obey: escape sequences, the
// bell) and the marks that turn the direction of text (U+202E shows
// "exe.GNP" as "PNG.exe") are removed, line breaks and tabs become blanks, and
// the text is cut to `size` characters. What was done is added to `changes`
// in words, so the preview can show it; nothing is changed silently.
QString storableText(const QString& text, int size, QStringList& changes);

} // namespace fundora::importing
