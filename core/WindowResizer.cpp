#include "core/WindowResizer.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace fundora::core {

namespace {

// Decimal ratio kept to four places, as a whole number of ten-thousandths.
std::int64_t ratio(int now, int designed)
{
    if (designed <= 0)
        return 10000;
    return (static_cast<std::int64_t>(now) * 10000 + designed / 2) / designed;
}

int scaled(int value, std::int64_t r)
{
    return static_cast<int>((static_cast<std::int64_t>(value) * r + (value >= 0 ? 5000 : -5000)) / 10000);
}

// One axis: position p and extent e designed in a window of extent W, now W'.
int place(int strategy, int p, int e, int W, int Wnew, std::int64_t r, bool locked, int fix, int far, int near, int centre)
{
    int out = scaled(p, r);
    if (r == 10000)
        return out;
    if (strategy == fix)
        out = p;
    else if (strategy == far)
        out = locked ? Wnew - (W - p) : Wnew - scaled(W - p, r);
    else if (strategy == near)
        out = locked ? p : scaled(p, r);
    else if (strategy == centre)
        out = locked ? Wnew / 2 + (p - W / 2) : Wnew / 2 + scaled(p - W / 2, r);
    (void)e;
    return out;
}

} // namespace

void WindowResizer::assignStrategies(Control& c, int mode)
{
    c.positional = Scale;
    c.resize = Resize;
    if (mode != 2)
        return;
    switch (c.type) {
    case Entry:
    case ComboBox:
    case SpinBox:
    case DropCombo: c.resize = LockHeight; break;
    case Button:
        c.positional = FixNearestX | FixNearestY;
        c.resize = LockWidth | LockHeight;
        break;
    case CheckBox:
    case RadioButton: c.resize = LockWidth | LockHeight; break;
    default: break;
    }
}

void WindowResizer::init(QSize windowSize, std::vector<Control> controls, int mode)
{
    m_original = windowSize;
    m_previous = windowSize;
    for (Control& c : controls)
        assignStrategies(c, mode);
    std::sort(controls.begin(), controls.end(), [](const Control& a, const Control& b) { return a.id < b.id; });
    m_controls = std::move(controls);
}

std::vector<QRect> WindowResizer::resize(QSize size)
{
    if (size == m_previous)
        return {};
    m_previous = size;
    const std::int64_t xr = ratio(size.width(), m_original.width());
    const std::int64_t yr = ratio(size.height(), m_original.height());
    const int W = m_original.width(), H = m_original.height();
    std::vector<QRect> out;
    out.reserve(m_controls.size());
    for (const Control& c : m_controls) {
        const QRect& d = c.designed;
        const bool widthLocked = c.resize & LockWidth;
        const bool heightLocked = c.resize & LockHeight;
        int h = c.positional & 0xff;
        int v = c.positional & 0xff00;
        if (h == FixNearestX)
            h = (W - d.x() - d.width() < d.x()) ? FixRight : FixLeft;
        if (v == FixNearestY)
            v = (H - d.y() - d.height() < d.y()) ? FixBottom : FixTop;
        const int x = place(h, d.x(), d.width(), W, size.width(), xr, widthLocked, FixX, FixRight, FixLeft, FixXCenter);
        const int y = place(v, d.y(), d.height(), H, size.height(), yr, heightLocked, FixY, FixBottom, FixTop, FixYCenter);
        const int w = widthLocked || c.autoWidth ? d.width() : scaled(d.width(), xr);
        const int hgt = heightLocked ? d.height() : scaled(d.height(), yr);
        out.emplace_back(x, y, w, hgt);
    }
    return out;
}

namespace {

int typeOf(const QWidget* w)
{
    if (qobject_cast<const QPushButton*>(w))
        return WindowResizer::Button;
    if (qobject_cast<const QRadioButton*>(w))
        return WindowResizer::RadioButton;
    if (qobject_cast<const QCheckBox*>(w))
        return WindowResizer::CheckBox;
    if (const auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->isEditable() ? WindowResizer::DropCombo : WindowResizer::ComboBox;
    if (qobject_cast<const QAbstractSpinBox*>(w))
        return WindowResizer::SpinBox;
    if (qobject_cast<const QLineEdit*>(w))
        return WindowResizer::Entry;
    if (qobject_cast<const QLabel*>(w))
        return WindowResizer::StringControl;
    return WindowResizer::Other;
}

} // namespace

void WidgetResizer::init(QWidget& window, int mode)
{
    m_window = &window;
    m_widgets.clear();
    std::vector<WindowResizer::Control> controls;
    int id = 0;
    for (QObject* child : window.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        WindowResizer::Control c;
        c.id = ++id;
        c.type = typeOf(w);
        c.designed = w->geometry();
        m_widgets.push_back(w);
        controls.push_back(c);
    }
    m_resizer.init(window.size(), std::move(controls), mode);
}

void WidgetResizer::resize()
{
    if (!m_window)
        return;
    const std::vector<QRect> geometry = m_resizer.resize(m_window->size());
    if (geometry.empty())
        return;
    m_window->setUpdatesEnabled(false); // apply the moves together
    for (std::size_t i = 0; i < geometry.size(); ++i)
        m_widgets[i]->setGeometry(geometry[i]);
    m_window->setUpdatesEnabled(true);
}

} // namespace fundora::core
