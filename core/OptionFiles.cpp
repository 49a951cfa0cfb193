#include "core/OptionFiles.h"

#include "platform/IniFile.h"

#include <QDir>

namespace fundora::core {

bool writePopupOptionFiles(const QString& directory)
{
    const QDir dir(directory);
    const QString options = QStringLiteral("Options");
    platform::IniFile calc = platform::IniFile::load(dir.filePath(QStringLiteral("CALC.INI")));
    for (int i = 1; i <= 5; ++i)
        calc.setValue(options, QStringLiteral("CALC%1").arg(i), QString());
    calc.setValue(options, QStringLiteral("WHIDE"), QStringLiteral("1"));
    calc.setValue(options, QStringLiteral("FHIDE"), QStringLiteral("0"));
    calc.setValue(options, QStringLiteral("ENTER"), QStringLiteral("0"));
    platform::IniFile calendar = platform::IniFile::load(dir.filePath(QStringLiteral("CALENDAR.INI")));
    for (int i = 1; i <= 5; ++i)
        calendar.setValue(options, QStringLiteral("CAL%1").arg(i), QString());
    calendar.setValue(options, QStringLiteral("SV"), QStringLiteral("0"));
    return calc.save(dir.filePath(QStringLiteral("CALC.INI"))) && calendar.save(dir.filePath(QStringLiteral("CALENDAR.INI")));
}

} // namespace fundora::core
