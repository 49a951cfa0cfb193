#pragma once

#include <QLabel>

namespace fundora::engine {

// A label that shows a value (a balance, a date) beside its prompt. A screen
// reader hears the prompt as its name and the value as its value: the plain
// QLabel would give it one or the other.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    explicit ValueLabel(const QString& prompt, QWidget* parent = nullptr);
    QString prompt() const { return m_prompt; }
    void setValue(const QString& text);

private:
    QString m_prompt;
};

} // namespace fundora::engine
