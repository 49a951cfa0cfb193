#include "backup/FileListing.h"

#include "platform/Clock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace fundora::backup {

QString refusalOf(const QString& path, int fd)
{
    struct stat st {};
    const int rc = fd >= 0 ? ::fstat(fd, &st) : ::lstat(QFile::encodeName(path).constData(), &st);
    if (rc != 0)
        return QStringLiteral("it cannot be read");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a link; only the data files themselves are backed up");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    if (st.st_uid != ::getuid())
        return QStringLiteral("it belongs to another user");
    return {};
}

FileListing listDataFiles(const QString& directory, bool compress)
{
    FileListing out;
    const QFileInfoList entries =
        QDir(directory).entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (!info.fileName().endsWith(QStringLiteral(".TPS"), Qt::CaseInsensitive))
            continue;
        if (const QString why = refusalOf(info.absoluteFilePath()); !why.isEmpty()) {
            out.refused.push_back({info.fileName(), why});
            continue;
        }
        if (info.size() <= 0)
            continue;
        ListedFile f;
        f.name = info.fileName().toUpper();
        f.sourcePath = info.absoluteFilePath();
        const QDateTime modified = info.lastModified();
        f.date = platform::dayNumberOf(modified.date());
        f.time = platform::timeNumberOf(modified.time());
        f.size = info.size();
        if (compress) {
            out.biggest = std::max(out.biggest, f.size);
            f.compress = f.size > CompressionThreshold;
        }
        out.total += f.size;
        out.files.push_back(f);
    }
    std::sort(out.files.begin(), out.files.end(), [](const ListedFile& a, const ListedFile& b) { return a.name < b.name; });
    return out;
}

QString refusedText(const FileListing& listing)
{
    QStringList parts;
    for (const RefusedFile& r : listing.refused)
        parts << QStringLiteral("%1 (%2)").arg(r.name, r.reason);
    return parts.isEmpty() ? QString() : QStringLiteral("Not backed up: ") + parts.join(QStringLiteral(", ")) + u'.';
}

Estimate estimateOf(std::int64_t listedTotal, bool compress)
{
    Estimate e;
    e.total = compress ? listedTotal * CompressionEstimatePercent / 100 : listedTotal;
    e.disks = e.total / DiskCapacity + 1;
    return e;
}

} // namespace fundora::backup
