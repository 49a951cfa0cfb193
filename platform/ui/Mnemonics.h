#pragma once

#include <QChar>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class QWidget;

namespace fundora::platform {

// The letter a text's "&" marks (lower case), or none ("&&" is a plain "&").
QChar mnemonicOf(const QString& text);

// The Alt keys the visible controls of `window` claim (buttons, labels that
// lead to a control, group titles and tabs), each with the texts that claim it.
QMap<QChar, QStringList> mnemonicClaims(const QWidget& window);
// The same, the letters only.
QSet<QChar> claimedMnemonics(const QWidget& window);

// `text` without the mark on its mnemonic when `taken` holds that letter
// (the text shows the same, the key is left to whoever holds it).
QString withoutMnemonicIn(const QString& text, const QSet<QChar>& taken);

} // namespace fundora::platform
