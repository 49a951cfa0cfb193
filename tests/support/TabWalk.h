#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace fundora::test {

// Presses Tab in `window` as a user does, from the control that has the focus,
// and names every control the focus lands on until it comes back to where it
// began or leaves the window. At most 60 presses.
inline QStringList tabWalk(QWidget* window)
{
    QWidget* start = QApplication::focusWidget();
    if (!start || !window->isAncestorOf(start))
        return {QStringLiteral("(the focus is not in the window)")};
    QStringList names{start->accessibleName()};
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == start)
            break;
        if (!window->isAncestorOf(now)) {
            names << QStringLiteral("(left the window: %1)").arg(now->accessibleName());
            break;
        }
        names << now->accessibleName();
    }
    return names;
}

} // namespace fundora::test
