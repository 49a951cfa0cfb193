#include "platform/FileCopy.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace fundora::platform {

std::int64_t copyFileRange(int from, std::int64_t fromOffset, int to, std::int64_t length)
{
    std::int64_t copied = 0;
    bool kernelCopy = true;
    std::vector<char> buffer;
    while (copied < length) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(length - copied, 8 << 20));
        ssize_t n = -1;
        if (kernelCopy) {
            off_t in = static_cast<off_t>(fromOffset + copied);
            n = ::copy_file_range(from, &in, to, nullptr, want, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;
                continue;
            }
        } else {
            buffer.resize(want);
            n = ::pread(from, buffer.data(), want, fromOffset + copied);
            if (n > 0) {
                ssize_t done = 0;
                while (done < n) {
                    const ssize_t w = ::write(to, buffer.data() + done, static_cast<std::size_t>(n - done));
                    if (w < 0) {
                        if (errno == EINTR)
                            continue;
                        return -1;
                    }
                    done += w;
                }
            }
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break; // the end of `from`
        copied += n;
    }
    return copied;
}

bool syncDirectory(const QString& directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fdatasync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace fundora::platform
