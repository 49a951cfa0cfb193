#pragma once

#include "platform/CalculatorEngine.h"

#include <QDialog>

class QLineEdit;

namespace fundora::platform {

// A pop-up calculator, operable from the keyboard (digits, . + - * /, Enter or
// = for the result, Backspace, Escape to close without a result, F9 to change
// the sign). OK hands back the shown value.
class PopupCalculator : public QDialog {
public:
    explicit PopupCalculator(const QString& start, QWidget* parent = nullptr);
    CalculatorEngine& engine() { return m_engine; }
    QString result() const { return m_result; }
    // Shows the calculator modally; the result, or an empty text when closed without one.
    static QString run(const QString& start, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void press(const QString& key);
    void refresh();

    CalculatorEngine m_engine;
    QLineEdit* m_display;
    QString m_result;
};

} // namespace fundora::platform
