#include "backup/FileListing.h"

#include "platform/Clock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace fundora::backup {

FileListing listDataFiles(const QString& directory, bool compress)
{
    FileListing out;
    const QFileInfoList entries = QDir(directory).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (!info.fileName().endsWith(QStringLiteral(".TPS"), Qt::CaseInsensitive) || info.size() <= 0)
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

Estimate estimateOf(std::int64_t listedTotal, bool compress)
{
    Estimate e;
    e.total = compress ? listedTotal * CompressionEstimatePercent / 100 : listedTotal;
    e.disks = e.total / DiskCapacity + 1;
    return e;
}

} // namespace fundora::backup
