#pragma once

#include <QHash>
#include <QString>

#include <functional>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace fundora::engine {

// A row of push buttons of one window, each known by its text without "&"
// ("Undo this Statement"), which is also what screen readers call it.
class ButtonRow {
public:
    explicit ButtonRow(QWidget* owner);

    QHBoxLayout* layout() const { return m_layout; }
    // A button with its tip (also the status tip), running `action` when clicked (none: nothing).
    QPushButton* add(const QString& text, const QString& tip, std::function<void()> action);
    QPushButton* button(const QString& name) const { return m_buttons.value(name); }

private:
    QWidget* m_owner;
    QHBoxLayout* m_layout;
    QHash<QString, QPushButton*> m_buttons;
};

} // namespace fundora::engine
