#include "tests/station/KillSwitch.h"

#include "platform/store/Store.h"

#include <sqlite3.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/types.h>
#include <unistd.h>

namespace fundora::test {

namespace {

enum class Kind { None, Unlink, Write, Statement };
Kind g_kind = Kind::None;
int g_target = 0;
bool g_after = false;
bool g_armed = false;
int g_seen = 0;

using UnlinkFn = int (*)(const char*);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using PwriteFn = ssize_t (*)(int, const void*, size_t, off_t);
UnlinkFn g_unlink = nullptr;
WriteFn g_write = nullptr;
PwriteFn g_pwrite = nullptr;
PwriteFn g_pwrite64 = nullptr;

// Counts a step; kills before it when it is the chosen one (after it with ":after").
bool killBefore(Kind kind)
{
    if (!g_armed || kind != g_kind)
        return false;
    ++g_seen;
    return g_seen == g_target;
}

void die()
{
    ::raise(SIGKILL);
}

int countedUnlink(const char* path)
{
    const bool chosen = killBefore(Kind::Unlink);
    if (chosen && !g_after)
        die();
    const int rc = g_unlink(path);
    if (chosen)
        die();
    return rc;
}

ssize_t countedWrite(int fd, const void* data, size_t n)
{
    const bool chosen = killBefore(Kind::Write);
    if (chosen && !g_after)
        die();
    const ssize_t rc = g_write(fd, data, n);
    if (chosen)
        die();
    return rc;
}

ssize_t countedPwrite(int fd, const void* data, size_t n, off_t at)
{
    const bool chosen = killBefore(Kind::Write);
    if (chosen && !g_after)
        die();
    const ssize_t rc = g_pwrite(fd, data, n, at);
    if (chosen)
        die();
    return rc;
}

ssize_t countedPwrite64(int fd, const void* data, size_t n, off_t at)
{
    const bool chosen = killBefore(Kind::Write);
    if (chosen && !g_after)
        die();
    const ssize_t rc = g_pwrite64(fd, data, n, at);
    if (chosen)
        die();
    return rc;
}

template <class Fn>
void replace(sqlite3_vfs* vfs, const char* name, Fn& original, Fn replacement)
{
    original = reinterpret_cast<Fn>(vfs->xGetSystemCall(vfs, name));
    if (original)
        vfs->xSetSystemCall(vfs, name, reinterpret_cast<sqlite3_syscall_ptr>(replacement));
}

} // namespace

void KillSwitch::install()
{
    const char* killAt = std::getenv("FUNDORA_KILL_AT");
    if (!killAt || !*killAt)
        return;
    if (std::strncmp(killAt, "unlink:", 7) == 0)
        g_kind = Kind::Unlink;
    else if (std::strncmp(killAt, "write:", 6) == 0)
        g_kind = Kind::Write;
    else if (std::strncmp(killAt, "statement:", 10) == 0)
        g_kind = Kind::Statement;
    else
        return;
    const char* number = std::strchr(killAt, ':') + 1;
    g_target = std::atoi(number);
    g_after = std::strstr(number, ":after") != nullptr;
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    replace(vfs, "unlink", g_unlink, &countedUnlink);
    replace(vfs, "write", g_write, &countedWrite);
    replace(vfs, "pwrite", g_pwrite, &countedPwrite);
    replace(vfs, "pwrite64", g_pwrite64, &countedPwrite64);
}

void KillSwitch::watch(platform::Store& store)
{
    if (g_kind == Kind::Statement)
        store.observeStatements([](const char*) {
            if (killBefore(Kind::Statement))
                die();
        });
}

void KillSwitch::arm()
{
    g_armed = true;
    g_seen = 0;
}

int KillSwitch::stepsSeen()
{
    return g_seen;
}

} // namespace fundora::test
