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

struct FileListing {
    std::vector<ListedFile> files; // sorted by name
    std::int64_t total = 0;
    std::int64_t biggest = 0; // only while compressing
};

// Every *.TPS (without regard to case) of `directory` larger than 0 bytes.
FileListing listDataFiles(const QString& directory, bool compress);

struct Estimate {
    std::int64_t total = 0; // what the check window shows
    std::int64_t disks = 0;
};
Estimate estimateOf(std::int64_t listedTotal, bool compress);

} // namespace fundora::backup
