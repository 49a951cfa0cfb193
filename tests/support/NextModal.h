#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace fundora::test {

// Presses the button named `button` (its accessible name) of the next modal
// window as soon as that window shows. If none shows within `guardMs`, the
// test fails and whatever modal window is open is closed, so the test ends
// instead of hanging until the suite's timeout.
class NextModal : public QObject {
public:
    explicit NextModal(QString button, int guardMs = 5000) : m_button(std::move(button))
    {
        qApp->installEventFilter(this);
        m_guard.setSingleShot(true);
        QObject::connect(&m_guard, &QTimer::timeout, this, [this] {
            if (m_pressed)
                return;
            ADD_FAILURE() << "no modal window with the button \"" << m_button.toStdString() << "\" came";
            qApp->removeEventFilter(this);
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        m_guard.start(guardMs);
    }
    ~NextModal() override { qApp->removeEventFilter(this); }
    bool pressed() const { return m_pressed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || m_pressed)
            return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window || !window->isWindow() || !window->isModal())
            return false;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (b->accessibleName() == m_button || b->text().remove(u'&') == m_button) {
                m_pressed = true;
                m_guard.stop();
                qApp->removeEventFilter(this);
                QPointer<QAbstractButton> target = b;
                // Pressed once the window has finished showing and its loop runs.
                QTimer::singleShot(0, target, [target] {
                    if (target)
                        target->click();
                });
                break;
            }
        }
        return false;
    }

private:
    QString m_button;
    QTimer m_guard;
    bool m_pressed = false;
};

} // namespace fundora::test
