#include "platform/ui/DialogUnits.h"

#include <QFontMetrics>

namespace fundora::platform {

DialogUnits::DialogUnits(const QWidget& widget)
{
    const QFontMetrics fm(widget.font());
    m_charWidth = std::max(1, fm.averageCharWidth());
    m_charHeight = std::max(1, fm.height());
}

} // namespace fundora::platform
