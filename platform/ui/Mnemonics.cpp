#include "platform/ui/Mnemonics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>

namespace fundora::platform {

namespace {

// Where the "&" that marks the mnemonic stands in `text` ("&&" is a plain "&"); -1 when none.
qsizetype markAt(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return i;
        ++i;
    }
    return -1;
}

} // namespace

QChar mnemonicOf(const QString& text)
{
    const qsizetype at = markAt(text);
    return at < 0 ? QChar() : text[at + 1].toLower();
}

QMap<QChar, QStringList> mnemonicClaims(const QWidget& window)
{
    QMap<QChar, QStringList> claims;
    auto claim = [&claims](const QString& text) {
        if (const QChar c = mnemonicOf(text); !c.isNull())
            claims[c] << QString(text).remove(u'&');
    };
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
    return claims;
}

QSet<QChar> claimedMnemonics(const QWidget& window)
{
    const QList<QChar> letters = mnemonicClaims(window).keys();
    return QSet<QChar>(letters.begin(), letters.end());
}

QString withoutMnemonicIn(const QString& text, const QSet<QChar>& taken)
{
    const QChar c = mnemonicOf(text);
    if (c.isNull() || !taken.contains(c))
        return text;
    return QString(text).remove(markAt(text), 1);
}

} // namespace fundora::platform
