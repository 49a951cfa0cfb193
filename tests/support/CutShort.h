#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace fundora::test {

// The visible controls of `window` narrower than their text needs (their size
// hint): cut button labels, prompts and choices. Entries are left out (their
// hint is a guess at any text), and so are Qt's own inner parts.
inline QStringList controlsCutShort(const QWidget& window)
{
    QStringList cut;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        const auto* label = qobject_cast<const QLabel*>(w);
        const bool text = qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
                          (label && !label->wordWrap() && label->pixmap().isNull());
        if (!text || w->width() >= w->sizeHint().width())
            continue;
        QString name = w->accessibleName();
        if (name.isEmpty() && label)
            name = label->text();
        cut << QStringLiteral("%1 \"%2\" %3 < %4")
                   .arg(QString::fromLatin1(w->metaObject()->className()), name)
                   .arg(w->width())
                   .arg(w->sizeHint().width());
    }
    return cut;
}

} // namespace fundora::test
