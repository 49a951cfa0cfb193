#pragma once

#include <QSpinBox>

namespace fundora::engine {

// A spin box over day numbers shown as mm/dd/yyyy, one day a step, within
// 1 January 1801 (day 4) and 31 December 2099 (day 109211). A date it cannot
// take is answered with a beep and selected again.
class DateSpinBox final : public QSpinBox {
    Q_OBJECT
public:
    static constexpr int FirstDay = 4;
    static constexpr int LastDay = 109211;

    explicit DateSpinBox(QWidget* parent = nullptr);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
};

} // namespace fundora::engine
