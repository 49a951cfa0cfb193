#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenuBar>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace fundora::test {

// The letter a text's "&" marks (lower case), or none.
inline QChar mnemonicOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// "Alt+C: Change, Cancel" for every key that two controls of `window` claim:
// buttons, labels that lead to a control, group titles and tabs, and the menus
// of the frame a child window lives in (`menus`: their titles).
inline QStringList mnemonicClashes(const QWidget& window, const QStringList& menus = {})
{
    QMap<QChar, QStringList> claims;
    auto claim = [&](const QString& text) {
        const QChar c = mnemonicOf(text);
        if (!c.isNull())
            claims[c] << QString(text).remove(u'&');
    };
    for (const QString& menu : menus)
        claim(menu);
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window))
            continue;
        if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            claim(b->text());
        else if (const auto* l = qobject_cast<const QLabel*>(w); l && l->buddy())
            claim(l->text());
        else if (const auto* g = qobject_cast<const QGroupBox*>(w))
            claim(g->title());
        else if (const auto* t = qobject_cast<const QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i)
                claim(t->tabText(i));
    }
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
