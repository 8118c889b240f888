#include "QuotaVfs.h"

#include <map>
#include <mutex>
#include <numeric>
#include <sqlite3.h>
#include <string>

namespace {

sqlite3_vfs* base = nullptr;
sqlite3_vfs quotaVfs;
qint64 quota = 0;
std::mutex sizesMutex;
std::map<std::string, sqlite3_int64> sizes; // every file opened through the VFS
int unnamed = 0;

struct QuotaFile {
    sqlite3_file file;
    sqlite3_file* real;
    std::string name;
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<QuotaFile*>(f)->real;
}

int xClose(sqlite3_file* f) {
    const int rc = real(f)->pMethods ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    reinterpret_cast<QuotaFile*>(f)->name.~basic_string();
    return rc;
}
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 at) {
    return real(f)->pMethods->xRead(real(f), p, n, at);
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    {
        std::lock_guard guard(sizesMutex);
        sqlite3_int64& size = sizes[reinterpret_cast<QuotaFile*>(f)->name];
        const sqlite3_int64 end = at + n;
        if (end > size) {
            const sqlite3_int64 used = std::accumulate(
                sizes.begin(), sizes.end(), sqlite3_int64(0),
                [](sqlite3_int64 sum, const auto& entry) { return sum + entry.second; });
            if (used + (end - size) > quota)
                return SQLITE_FULL;
            size = end;
        }
    }
    return real(f)->pMethods->xWrite(real(f), p, n, at);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    {
        std::lock_guard guard(sizesMutex);
        sizes[reinterpret_cast<QuotaFile*>(f)->name] = size;
    }
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int lock) {
    return real(f)->pMethods->xLock(real(f), lock);
}
int xUnlock(sqlite3_file* f, int lock) {
    return real(f)->pMethods->xUnlock(real(f), lock);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int deleteFlag) {
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int xFetch(sqlite3_file* f, sqlite3_int64 at, int n, void** out) {
    return real(f)->pMethods->xFetch(real(f), at, n, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 at, void* p) {
    return real(f)->pMethods->xUnfetch(real(f), at, p);
}

const sqlite3_io_methods quotaMethods = {3,
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

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<QuotaFile*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    new (&file->name) std::string(name ? name : "unnamed " + std::to_string(++unnamed));
    file->file.pMethods = nullptr;
    const int rc = base->xOpen(base, name, file->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        file->name.~basic_string();
        return rc;
    }
    sqlite3_int64 size = 0;
    file->real->pMethods->xFileSize(file->real, &size);
    {
        std::lock_guard guard(sizesMutex);
        sizes[file->name] = size;
    }
    file->file.pMethods = &quotaMethods;
    return SQLITE_OK;
}
int xDelete(sqlite3_vfs*, const char* name, int syncDir) {
    {
        std::lock_guard guard(sizesMutex);
        sizes.erase(name);
    }
    return base->xDelete(base, name, syncDir);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
    return base->xAccess(base, name, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
    return base->xFullPathname(base, name, n, out);
}
void* xDlOpen(sqlite3_vfs*, const char* name) {
    return base->xDlOpen(base, name);
}
void xDlError(sqlite3_vfs*, int n, char* out) {
    base->xDlError(base, n, out);
}
void (*xDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return base->xDlSym(base, handle, symbol);
}
void xDlClose(sqlite3_vfs*, void* handle) {
    base->xDlClose(base, handle);
}
int xRandomness(sqlite3_vfs*, int n, char* out) {
    return base->xRandomness(base, n, out);
}
int xSleep(sqlite3_vfs*, int microseconds) {
    return base->xSleep(base, microseconds);
}
int xCurrentTime(sqlite3_vfs*, double* out) {
    return base->xCurrentTime(base, out);
}
int xGetLastError(sqlite3_vfs*, int n, char* out) {
    return base->xGetLastError(base, n, out);
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
    return base->xCurrentTimeInt64(base, out);
}
int xSetSystemCall(sqlite3_vfs*, const char* name, sqlite3_syscall_ptr call) {
    return base->xSetSystemCall(base, name, call);
}
sqlite3_syscall_ptr xGetSystemCall(sqlite3_vfs*, const char* name) {
    return base->xGetSystemCall(base, name);
}
const char* xNextSystemCall(sqlite3_vfs*, const char* name) {
    return base->xNextSystemCall(base, name);
}

} // namespace

namespace QuotaVfs {

void install(qint64 bytes) {
    if (!base) {
        base = sqlite3_vfs_find(nullptr);
        quotaVfs = sqlite3_vfs{3,
                               int(sizeof(QuotaFile)) + base->szOsFile,
                               base->mxPathname,
                               nullptr,
                               "tessaly-quota",
                               nullptr,
                               xOpen,
                               xDelete,
                               xAccess,
                               xFullPathname,
                               xDlOpen,
                               xDlError,
                               xDlSym,
                               xDlClose,
                               xRandomness,
                               xSleep,
                               xCurrentTime,
                               xGetLastError,
                               xCurrentTimeInt64,
                               xSetSystemCall,
                               xGetSystemCall,
                               xNextSystemCall};
    }
    {
        std::lock_guard guard(sizesMutex);
        sizes.clear();
        quota = bytes;
    }
    sqlite3_vfs_register(&quotaVfs, 1);
}

void remove() {
    if (!base)
        return;
    sqlite3_vfs_unregister(&quotaVfs);
    sqlite3_vfs_register(base, 1);
}

} // namespace QuotaVfs
