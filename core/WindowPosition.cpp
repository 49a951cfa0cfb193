#include "core/WindowPosition.h"

#include "platform/IniFile.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace fundora::core {

using platform::IniFile;

namespace {

bool canResize(const QWidget& w)
{
    return w.minimumSize() != w.maximumSize();
}

int number(const IniFile& ini, const QString& section, const char* key)
{
    return ini.value(section, QString::fromLatin1(key), QStringLiteral("0")).trimmed().toInt();
}

} // namespace

void saveWindowPosition(QWidget& window, const QString& iniPath, const QString& section)
{
    const bool maximised = window.isMaximized();
    if (maximised)
        window.showNormal();
    if (window.isMinimized())
        return;
    IniFile ini = IniFile::load(iniPath);
    ini.setValue(section, QStringLiteral("Maximize"), maximised ? QStringLiteral("Yes") : QStringLiteral("No"));
    ini.setValue(section, QStringLiteral("XPosit"), QString::number(window.x()));
    ini.setValue(section, QStringLiteral("YPosit"), QString::number(window.y()));
    ini.setValue(section, QStringLiteral("Width"), QString::number(window.width()));
    ini.setValue(section, QStringLiteral("Height"), QString::number(window.height()));
    ini.save(iniPath);
}

void restoreWindowPosition(QWidget& window, const QString& iniPath, const QString& section)
{
    const IniFile ini = IniFile::load(iniPath);
    const int x = number(ini, section, "XPosit");
    if (x == 0)
        return;
    if (!window.isMaximized()) {
        const int y = number(ini, section, "YPosit");
        if (y != 0) {
            if (canResize(window)) {
                const int w = number(ini, section, "Width");
                const int h = number(ini, section, "Height");
                if (w != 0 && h != 0) {
                    window.move(x, y);
                    window.resize(w, h);
                }
            } else {
                window.move(x, y);
            }
        }
    }
    if (ini.value(section, QStringLiteral("Maximize"), QString()).trimmed() == QStringLiteral("Yes"))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    else
        window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
    keepInside(window);
}

void keepInside(QWidget& window)
{
    QRect area;
    if (window.isWindow())
        area = window.screen() ? window.screen()->availableGeometry() : QRect();
    else if (window.parentWidget())
        area = window.parentWidget()->rect();
    if (area.width() < 200 || area.height() < 150 || window.isMaximized())
        return;
    QSize size = window.size();
    if (canResize(window))
        size = size.boundedTo(area.size()).expandedTo(window.minimumSize());
    const int x = std::clamp(window.x(), area.left(), std::max(area.left(), area.left() + area.width() - size.width()));
    const int y = std::clamp(window.y(), area.top(), std::max(area.top(), area.top() + area.height() - size.height()));
    if (size != window.size())
        window.resize(size);
    if (QPoint(x, y) != window.pos())
        window.move(x, y);
}

} // namespace fundora::core
