#include "FaultyDisk.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sqlite3.h>

namespace faultydisk {

namespace {

struct State {
    sqlite3_vfs* system = nullptr;
    sqlite3_vfs vfs{};
    sqlite3_io_methods methods{};
    int writes = 0;
    int syncs = 0;
    int armedAt = 0; // operation number, 0 when nothing is armed
    Fault fault = Fault::IoError;
    bool struck = false;
    bool full = false;
};

State& state()
{
    static State s;
    return s;
}

// Our file: the system's file follows it in the same allocation.
struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f)
{
    return reinterpret_cast<File*>(f)->real;
}

// Counts one operation; a result other than SQLITE_OK is the fault's.
int meet(bool sync)
{
    State& s = state();
    ++(sync ? s.syncs : s.writes);
    if (s.armedAt == 0 || s.writes + s.syncs != s.armedAt)
        return SQLITE_OK;
    s.struck = true;
    s.armedAt = 0;
    switch (s.fault) {
    case Fault::Stop:
        std::raise(SIGSTOP);
        return SQLITE_OK;
    case Fault::DiskFull:
        return SQLITE_FULL;
    case Fault::IoError:
        break;
    }
    errno = EIO;
    return sync ? SQLITE_IOERR_FSYNC : SQLITE_IOERR_WRITE;
}

int xClose(sqlite3_file* f)
{
    return real(f)->pMethods->xClose(real(f));
}
int xRead(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset)
{
    return real(f)->pMethods->xRead(real(f), buf, amount, offset);
}
int xWrite(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset)
{
    if (const int rc = meet(false); rc != SQLITE_OK)
        return rc;
    return real(f)->pMethods->xWrite(real(f), buf, amount, offset);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags)
{
    if (const int rc = meet(true); rc != SQLITE_OK)
        return rc;
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xLock(real(f), level);
}
int xUnlock(sqlite3_file* f, int level)
{
    return real(f)->pMethods->xUnlock(real(f), level);
}
int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    if (state().full && extend) {
        errno = ENOSPC;
        return SQLITE_IOERR_SHMSIZE;
    }
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f)
{
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    return real(f)->pMethods->xFetch(real(f), offset, amount, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p)
{
    return real(f)->pMethods->xUnfetch(real(f), offset, p);
}

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    State& s = state();
    auto* file = reinterpret_cast<File*>(f);
    file->base.pMethods = nullptr;
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    const int rc = s.system->xOpen(s.system, name, file->real, flags, outFlags);
    if (rc == SQLITE_OK && file->real->pMethods)
        file->base.pMethods = &s.methods;
    return rc;
}

} // namespace

void install()
{
    State& s = state();
    if (s.system)
        return;
    s.system = sqlite3_vfs_find(nullptr);
    s.vfs = *s.system;
    s.vfs.pNext = nullptr;
    s.vfs.zName = "tk_faulty_disk";
    s.vfs.szOsFile = int(sizeof(File)) + s.system->szOsFile;
    s.vfs.xOpen = xOpen;
    s.methods = sqlite3_io_methods{3,
                                   xClose,
                                   xRead,
                                   xWrite,
                                   xTruncate,
                                   xSync,
                                   xFileSize,
                                   xLock,
                                   xUnlock,
                                   xCheckReservedLock,
                                   xFileControl,
                                   xSectorSize,
                                   xDeviceCharacteristics,
                                   xShmMap,
                                   xShmLock,
                                   xShmBarrier,
                                   xShmUnmap,
                                   xFetch,
                                   xUnfetch};
    sqlite3_vfs_register(&s.vfs, 1);
}

void reset()
{
    State& s = state();
    s.writes = s.syncs = 0;
    disarm();
}

int writes()
{
    return state().writes;
}

int syncs()
{
    return state().syncs;
}

int operations()
{
    return state().writes + state().syncs;
}

void arm(int n, Fault fault)
{
    State& s = state();
    s.armedAt = s.writes + s.syncs + n;
    s.fault = fault;
    s.struck = false;
}

void disarm()
{
    state().armedAt = 0;
}

bool struck()
{
    return state().struck;
}

void setFull(bool full)
{
    state().full = full;
}

} // namespace faultydisk
