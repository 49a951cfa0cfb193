#pragma once

#include <QRect>
#include <QWidget>

namespace fundora::platform {

// Dialog units of a widget's font: a quarter of the average character width
// across, an eighth of the character height down.
class DialogUnits {
public:
    explicit DialogUnits(const QWidget& widget);
    int x(int units) const { return (units * m_charWidth + 2) / 4; }
    int y(int units) const { return (units * m_charHeight + 4) / 8; }
    QRect rect(const QRect& units) const { return {x(units.x()), y(units.y()), x(units.width()), y(units.height())}; }
    int toUnitsX(int pixels) const { return m_charWidth ? (pixels * 4 + m_charWidth / 2) / m_charWidth : 0; }

private:
    int m_charWidth;
    int m_charHeight;
};

} // namespace fundora::platform
