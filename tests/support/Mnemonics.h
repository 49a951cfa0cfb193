#pragma once

#include "platform/ui/Mnemonics.h"

#include <QMenuBar>
#include <QStringList>
#include <QWidget>

namespace fundora::test {

// "Alt+C: Change, Cancel" for every key that two controls of `window` claim,
// counting the menus of the frame a child window lives in (`menus`: their titles).
inline QStringList mnemonicClashes(const QWidget& window, const QStringList& menus = {})
{
    QMap<QChar, QStringList> claims = platform::mnemonicClaims(window);
    for (const QString& menu : menus)
        if (const QChar c = platform::mnemonicOf(menu); !c.isNull() && claims.contains(c))
            claims[c].prepend(QString(menu).remove(u'&'));
    QStringList clashes;
    for (auto it = claims.cbegin(); it != claims.cend(); ++it)
        if (it.value().size() > 1)
            clashes << QStringLiteral("Alt+%1: %2").arg(it.key().toUpper(), it.value().join(QStringLiteral(", ")));
    return clashes;
}

// The titles of a frame's menus ("&File", ...).
inline QStringList menuTitles(const QMenuBar& bar)
{
    QStringList titles;
    for (const QAction* a : bar.actions())
        titles << a->text();
    return titles;
}

} // namespace fundora::test
