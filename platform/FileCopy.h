#pragma once

#include <QString>

#include <cstdint>

namespace fundora::platform {

// Copies `length` bytes from file descriptor `from` at `fromOffset` to the
// current position of `to`, letting the kernel move the data where it can
// (copy_file_range), else through a buffer. Returns the bytes copied, which
// is less than `length` only at the end of `from`; -1 on an error.
std::int64_t copyFileRange(int from, std::int64_t fromOffset, int to, std::int64_t length);

// Makes the names in `directory` (files created, renamed or removed) reach the
// disk; false when the directory cannot be synced.
bool syncDirectory(const QString& directory);
// Makes the data of the file at `path` reach the disk.
bool syncFile(const QString& path);

} // namespace fundora::platform
