#pragma once

#include <QString>
#include <QVector>

#include <cstdint>
#include <optional>

namespace fundora::backup {

// A drive letter of the utility and the directory it stands for.
struct Drive {
    QChar letter;
    QString root;
    bool removable = false;
};

// The drives: section [Drives] of vaultine.INI (letter = root directory); by
// default A: and B: are the first removable-media mount points found, C: the
// user's home directory.
class DriveTable {
public:
    static DriveTable load(const QString& iniPath);
    std::optional<Drive> drive(QChar letter) const;
    const QVector<Drive>& drives() const { return m_drives; }

private:
    QVector<Drive> m_drives;
};

// Where the containers go: the drive's root, or with a path (typed with
// backslashes, "\BACKUP\") that directory under it; a path that begins with
// "/" is that directory whatever the drive. Always ending with "/".
QString targetLocation(const Drive& drive, const QString& path);
// Free bytes of the file system holding `directory` (0 when unknown).
std::int64_t freeSpace(const QString& directory);

} // namespace fundora::backup
