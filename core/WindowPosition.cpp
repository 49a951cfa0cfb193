#include "core/WindowPosition.h"

#include "platform/IniFile.h"

#include <QWidget>

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
}

} // namespace fundora::core
