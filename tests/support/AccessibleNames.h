#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace fundora::test {

// The controls of `window` that a screen reader could not name: buttons,
// entries, lists and spin boxes without an accessible name. (Qt's own inner
// parts, such as a spin box's line edit, are left out.)
inline QStringList controlsWithoutNames(const QWidget& window)
{
    QStringList missing;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
                             qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
        if (!control || w->objectName().startsWith(QStringLiteral("qt_")) || w->inherits("QTableCornerButton"))
            continue;
        if (qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) || qobject_cast<const QComboBox*>(w->parentWidget()))
            continue;
        if (w->accessibleName().isEmpty())
            missing << QStringLiteral("%1 \"%2\"")
                           .arg(QString::fromLatin1(w->metaObject()->className()),
                                qobject_cast<const QAbstractButton*>(w) ? static_cast<const QAbstractButton*>(w)->text() : QString());
    }
    return missing;
}

// What the accessibility bus bridge reads of the control named `name` in
// `window` (AT-SPI: its name, and its Text interface's whole text): "Name=text",
// or what is missing.
inline QString busReading(const QWidget& window, const QString& name)
{
    for (QWidget* w : window.findChildren<QWidget*>()) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface || iface->text(QAccessible::Name) != name)
            continue;
        QAccessibleTextInterface* text = iface->textInterface();
        if (!text)
            return name + QStringLiteral(" (no text interface)");
        return name + u'=' + text->text(0, text->characterCount());
    }
    return QStringLiteral("(nothing named %1)").arg(name);
}

} // namespace fundora::test
