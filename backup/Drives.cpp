#include "backup/Drives.h"

#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <filesystem>

namespace fundora::backup {

namespace {

bool isRemovable(const QStorageInfo& volume)
{
    QString device = QString::fromLocal8Bit(volume.device());
    if (!device.startsWith(QStringLiteral("/dev/")))
        return false;
    device = device.mid(5);
    // sd b1 -> sdb: the whole disk says whether it is removable.
    while (!device.isEmpty() && device.back().isDigit() && !device.startsWith(QStringLiteral("mmcblk")))
        device.chop(1);
    QFile flag(QStringLiteral("/sys/block/%1/removable").arg(device));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

} // namespace

DriveTable DriveTable::load(const QString& iniPath)
{
    DriveTable t;
    const platform::IniFile ini = platform::IniFile::load(iniPath);
    const QStringList keys = ini.keys(QStringLiteral("Drives"));
    if (!keys.isEmpty()) {
        for (const QString& key : keys) {
            const QString letter = key.trimmed().left(1).toUpper();
            if (letter.isEmpty() || !letter[0].isLetter())
                continue;
            const QString root = ini.value(QStringLiteral("Drives"), key, QString()).trimmed();
            t.m_drives.push_back({letter[0], root, letter == u'A' || letter == u'B'});
        }
        return t;
    }
    QVector<QString> removable;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && isRemovable(v))
            removable.push_back(v.rootPath());
    if (removable.size() > 0)
        t.m_drives.push_back({QChar(u'A'), removable[0], true});
    if (removable.size() > 1)
        t.m_drives.push_back({QChar(u'B'), removable[1], true});
    t.m_drives.push_back({QChar(u'C'), QDir::homePath(), false});
    return t;
}

std::optional<Drive> DriveTable::drive(QChar letter) const
{
    for (const Drive& d : m_drives)
        if (d.letter == letter.toUpper())
            return d;
    return std::nullopt;
}

QString targetLocation(const Drive& drive, const QString& path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    QString location = QDir::cleanPath(path.startsWith(u'/') ? p : drive.root + u'/' + p);
    if (!location.endsWith(u'/'))
        location += u'/';
    return location;
}

std::int64_t freeSpace(const QString& directory)
{
    std::error_code error;
    const auto space = std::filesystem::space(QFile::encodeName(directory).toStdString(), error);
    return error ? 0 : static_cast<std::int64_t>(space.available);
}

} // namespace fundora::backup
