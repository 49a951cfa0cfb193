#pragma once

#include <QRect>

#include <vector>

class QWidget;

namespace fundora::core {

// Moves and sizes a fixed-design window's controls in proportion when the
// window is resized, except where a control's strategy pins an edge, keeps a
// size or keeps its offset from the centre. Every computation starts from the
// designed geometry, so repeated resizing never accumulates rounding.
class WindowResizer {
public:
    // Horizontal strategies (low byte) and vertical ones (high byte).
    enum Position : int {
        Scale = 0,
        FixX = 1,
        FixRight = 2,
        FixLeft = 4,
        FixXCenter = 8,
        FixNearestX = 16,
        FixY = 256,
        FixBottom = 512,
        FixTop = 1024,
        FixYCenter = 2048,
        FixNearestY = 4096,
    };
    enum Size : int { Resize = 0, LockWidth = 1, LockHeight = 2 };
    // Control type codes the strategies are assigned by.
    enum ControlType : int {
        StringControl = 1,
        Entry = 8,
        Button = 9,
        CheckBox = 12,
        ComboBox = 15,
        SpinBox = 16,
        RadioButton = 21,
        DropCombo = 34,
        Other = 0
    };

    struct Control {
        int id = 0;
        int type = Other;
        int positional = Scale;
        int resize = Resize;
        QRect designed;
        bool autoWidth = false; // a string control of designed width 1 keeps its own width
    };

    // Sets up from the window's designed size and its controls; mode 2 assigns
    // the strategies by type, any other mode scales everything.
    void init(QSize windowSize, std::vector<Control> controls, int mode = 2);
    // The controls' geometry for a window of `size`; empty when the size did
    // not change since the last resize.
    std::vector<QRect> resize(QSize size);
    const std::vector<Control>& controls() const { return m_controls; }

    static void assignStrategies(Control& c, int mode);

private:
    QSize m_original;
    QSize m_previous;
    std::vector<Control> m_controls;
};

// Applies a WindowResizer to a widget's direct children (their order is their id).
class WidgetResizer {
public:
    void init(QWidget& window, int mode = 2);
    // Re-lays the children for the window's current size.
    void resize();

private:
    QWidget* m_window = nullptr;
    std::vector<QWidget*> m_widgets;
    WindowResizer m_resizer;
};

} // namespace fundora::core
