// A test-only library preloaded into a program (LD_PRELOAD) that counts its
// file-system steps under one directory and ends the process with SIGKILL at a
// chosen one, as a crash or a power cut would end it there. It sees every step
// of the program, its own code's and the libraries' alike (renames, unlinks,
// directory changes, syncs, creations and writes).
//
//   FUNDORA_STEP_DIR=DIR    count only steps on paths below DIR
//   FUNDORA_STEP_LOG=FILE   append one line per counted step: "N kind path"
//   FUNDORA_STEP_KILL=N     kill before the Nth step ("N:after": right after it)
//   FUNDORA_STEP_FULL=N     from the Nth step on, every write fails with ENOSPC (a disk that fills up)
//   FUNDORA_STEP_FAIL=N:ERR the Nth step (a write, sync, rename, unlink, ...) fails with ERR (EIO or
//                           ENOSPC) without being done, as a failing disk would fail it; the rest go on
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> g_seen{0};
thread_local bool t_inside = false;

template <class Fn>
Fn next(const char* name)
{
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

const char* setting(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

bool under(const std::string& path)
{
    const char* dir = setting("FUNDORA_STEP_DIR");
    if (!dir)
        return false;
    const std::size_t n = std::strlen(dir);
    return path.compare(0, n, dir) == 0 && (path.size() == n || path[n] == '/');
}

std::string absolute(int dirfd, const char* path)
{
    if (!path)
        return {};
    if (path[0] == '/')
        return path;
    char base[4096] = {};
    if (dirfd == AT_FDCWD) {
        if (!::getcwd(base, sizeof base))
            return path;
    } else {
        const std::string link = "/proc/self/fd/" + std::to_string(dirfd);
        if (::readlink(link.c_str(), base, sizeof base - 1) < 0)
            return path;
    }
    return std::string(base) + "/" + path;
}

std::string pathOfFd(int fd)
{
    char buffer[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    if (::readlink(link.c_str(), buffer, sizeof buffer - 1) < 0)
        return {};
    return buffer;
}

bool isRegularFd(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

void log(int step, const char* kind, const std::string& path)
{
    const char* file = setting("FUNDORA_STEP_LOG");
    if (!file)
        return;
    static auto realOpen = next<int (*)(const char*, int, ...)>("open");
    static auto realWrite = next<ssize_t (*)(int, const void*, size_t)>("write");
    const int fd = realOpen(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string line = std::to_string(step) + " " + kind + " " + path + "\n";
    realWrite(fd, line.data(), line.size());
    ::close(fd);
}

// What becomes of a counted step.
enum Outcome { Go, KillAfter, Fail };
int g_failErrno = 0;

// Counts a step on `path` (killing the process before it when asked) and says what else to do.
Outcome step(const char* kind, const std::string& path)
{
    if (t_inside || !under(path))
        return Go;
    t_inside = true;
    const int n = ++g_seen;
    log(n, kind, path);
    t_inside = false;
    if (const char* fail = setting("FUNDORA_STEP_FAIL"); fail && std::atoi(fail) == n) {
        g_failErrno = std::strstr(fail, ":ENOSPC") ? ENOSPC : EIO;
        return Fail;
    }
    const char* kill = setting("FUNDORA_STEP_KILL");
    if (!kill || std::atoi(kill) != n)
        return Go;
    if (!std::strstr(kill, ":after"))
        ::raise(SIGKILL);
    return KillAfter;
}

// Does the step unless it is to fail; kills after it when asked.
template <class Do>
auto finish(Outcome outcome, Do doIt) -> decltype(doIt())
{
    if (outcome == Fail) {
        errno = g_failErrno;
        return -1;
    }
    const auto result = doIt();
    if (outcome == KillAfter)
        ::raise(SIGKILL);
    return result;
}

} // namespace

extern "C" {

int rename(const char* from, const char* to)
{
    static auto real = next<int (*)(const char*, const char*)>("rename");
    const Outcome k = step("rename", absolute(AT_FDCWD, to));
    return finish(k, [&] { return real(from, to); });
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    static auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    const Outcome k = step("rename", absolute(toDir, to));
    return finish(k, [&] { return real(fromDir, from, toDir, to); });
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags)
{
    static auto real = next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    const Outcome k = step("rename", absolute(toDir, to));
    return finish(k, [&] { return real(fromDir, from, toDir, to, flags); });
}

int unlink(const char* path)
{
    static auto real = next<int (*)(const char*)>("unlink");
    const Outcome k = step("unlink", absolute(AT_FDCWD, path));
    return finish(k, [&] { return real(path); });
}

int unlinkat(int dir, const char* path, int flags)
{
    static auto real = next<int (*)(int, const char*, int)>("unlinkat");
    const Outcome k = step("unlink", absolute(dir, path));
    return finish(k, [&] { return real(dir, path, flags); });
}

int rmdir(const char* path)
{
    static auto real = next<int (*)(const char*)>("rmdir");
    const Outcome k = step("rmdir", absolute(AT_FDCWD, path));
    return finish(k, [&] { return real(path); });
}

int mkdir(const char* path, mode_t mode)
{
    static auto real = next<int (*)(const char*, mode_t)>("mkdir");
    const Outcome k = step("mkdir", absolute(AT_FDCWD, path));
    return finish(k, [&] { return real(path, mode); });
}

int fsync(int fd)
{
    static auto real = next<int (*)(int)>("fsync");
    const Outcome k = step("fsync", pathOfFd(fd));
    return finish(k, [&] { return real(fd); });
}

int fdatasync(int fd)
{
    static auto real = next<int (*)(int)>("fdatasync");
    const Outcome k = step("fsync", pathOfFd(fd));
    return finish(k, [&] { return real(fd); });
}

// Whether the disk counts as full from this step on.
bool full()
{
    const char* from = setting("FUNDORA_STEP_FULL");
    return from && g_seen.load() >= std::atoi(from);
}

ssize_t write(int fd, const void* data, size_t n)
{
    static auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    const std::string path = fd > 2 && isRegularFd(fd) ? pathOfFd(fd) : std::string();
    const Outcome k = path.empty() ? Go : step("write", path);
    if (!path.empty() && under(path) && full()) {
        errno = ENOSPC;
        return -1;
    }
    return finish(k, [&] { return real(fd, data, n); });
}

ssize_t pwrite64(int fd, const void* data, size_t n, off_t at)
{
    static auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    const std::string path = isRegularFd(fd) ? pathOfFd(fd) : std::string();
    const Outcome k = path.empty() ? Go : step("write", path);
    if (!path.empty() && under(path) && full()) {
        errno = ENOSPC;
        return -1;
    }
    return finish(k, [&] { return real(fd, data, n, at); });
}

ssize_t copy_file_range(int in, off64_t* inAt, int out, off64_t* outAt, size_t n, unsigned flags)
{
    static auto real = next<ssize_t (*)(int, off64_t*, int, off64_t*, size_t, unsigned)>("copy_file_range");
    const std::string path = pathOfFd(out);
    const Outcome k = step("write", path);
    if (under(path) && full()) {
        errno = ENOSPC;
        return -1;
    }
    return finish(k, [&] { return real(in, inAt, out, outAt, n, flags); });
}

ssize_t pwrite(int fd, const void* data, size_t n, off_t at)
{
    return pwrite64(fd, data, n, at);
}

} // extern "C"
