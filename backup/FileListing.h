#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace fundora::backup {

inline constexpr std::int64_t CompressionThreshold = 5000; // bytes; only larger files are compressed
inline constexpr int CompressionEstimatePercent = 50;
inline constexpr std::int64_t DiskCapacity = 1400000; // a 1.4 MB diskette, for the estimate

// One file of a backup (FileList).
struct ListedFile {
    QString name;          // upper case, no directory
    QString sourcePath;    // where it is now
    std::int32_t date = 0; // day number
    std::int32_t time = 0; // time number
    std::int64_t size = 0;
    bool compress = false;
};

// A *.TPS name that is not backed up, and why.
struct RefusedFile {
    QString name;
    QString reason;
};

struct FileListing {
    std::vector<ListedFile> files;    // sorted by name
    std::vector<RefusedFile> refused; // links, devices, other users' files
    std::int64_t total = 0;
    std::int64_t biggest = 0; // only while compressing
};

// Every *.TPS (without regard to case) of `directory` larger than 0 bytes
// that is a regular file of this user's. A link (to whatever it points), a
// FIFO or device, or another user's file is listed as refused: a link planted
// under a data file's name would otherwise copy a file the user may not even
// be able to read into a set.
FileListing listDataFiles(const QString& directory, bool compress);

// Why the file at `path` may not be backed up (empty when it may): checked on
// the open descriptor `fd` when one is given, so a file swapped after the listing is caught.
QString refusalOf(const QString& path, int fd = -1);
FileListing listDataFiles(const QString& directory, bool compress);

// "Not backed up: A.TPS (why), B.TPS (why)."; empty when nothing was refused.
QString refusedText(const FileListing& listing);

struct Estimate {
    std::int64_t total = 0; // what the check window shows
    std::int64_t disks = 0;
};
Estimate estimateOf(std::int64_t listedTotal, bool compress);

} // namespace fundora::backup
