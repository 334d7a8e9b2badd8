// SPDX-License-Identifier: GPL-3.0-or-later
#include "faultvfs.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace faultvfs {

namespace {

struct State {
    std::array<int, OpCount> counts{};
    bool armed = false;
    Op op = Op::Write;
    int target = 0; // 1-based, counted from arm()
    int seen = 0;
    int code = SQLITE_IOERR;
    int times = 1;
    bool growingOnly = false;
    int injectedSinceArm = 0;
    int injectedTotal = 0;
};

State state;
sqlite3_vfs *root = nullptr;

// Counts the operation; answers the code it must fail with, or SQLITE_OK.
int pass(Op op)
{
    ++state.counts[int(op)];
    if (!state.armed || state.op != op)
        return SQLITE_OK;
    ++state.seen;
    if (state.seen >= state.target && (state.times == 0 || state.seen < state.target + state.times)) {
        ++state.injectedSinceArm;
        ++state.injectedTotal;
        // What the system would have said, for messages that quote it.
        errno = state.code == SQLITE_FULL ? ENOSPC : EIO;
        return state.code;
    }
    return SQLITE_OK;
}

// The layer's file: its own header, then the real file of the default VFS.
struct File {
    sqlite3_file base;
    sqlite3_file *real;
};

sqlite3_file *realOf(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }

int xClose(sqlite3_file *f)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xClose(r);
}

int xRead(sqlite3_file *f, void *buf, int amount, sqlite3_int64 offset)
{
    if (const int rc = pass(Op::Read))
        return rc;
    sqlite3_file *r = realOf(f);
    return r->pMethods->xRead(r, buf, amount, offset);
}

int xWrite(sqlite3_file *f, const void *buf, int amount, sqlite3_int64 offset)
{
    sqlite3_file *r = realOf(f);
    sqlite3_int64 size = 0;
    // A full disk still takes writes over bytes a file already has.
    if (state.growingOnly && (r->pMethods->xFileSize(r, &size) != SQLITE_OK || offset + amount <= size)) {
        ++state.counts[int(Op::Write)];
        return r->pMethods->xWrite(r, buf, amount, offset);
    }
    if (const int rc = pass(Op::Write))
        return rc;
    return r->pMethods->xWrite(r, buf, amount, offset);
}

int xTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    if (const int rc = pass(Op::Truncate))
        return rc;
    sqlite3_file *r = realOf(f);
    return r->pMethods->xTruncate(r, size);
}

int xSync(sqlite3_file *f, int flags)
{
    if (const int rc = pass(Op::Sync))
        return rc;
    sqlite3_file *r = realOf(f);
    return r->pMethods->xSync(r, flags);
}

int xFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xFileSize(r, size);
}

int xLock(sqlite3_file *f, int level)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xLock(r, level);
}

int xUnlock(sqlite3_file *f, int level)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xUnlock(r, level);
}

int xCheckReservedLock(sqlite3_file *f, int *out)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xCheckReservedLock(r, out);
}

int xFileControl(sqlite3_file *f, int op, void *arg)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xFileControl(r, op, arg);
}

int xSectorSize(sqlite3_file *f)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xSectorSize(r);
}

int xDeviceCharacteristics(sqlite3_file *f)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xDeviceCharacteristics(r);
}

int xShmMap(sqlite3_file *f, int region, int size, int extend, void volatile **out)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xShmMap(r, region, size, extend, out);
}

int xShmLock(sqlite3_file *f, int offset, int n, int flags)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xShmLock(r, offset, n, flags);
}

void xShmBarrier(sqlite3_file *f)
{
    sqlite3_file *r = realOf(f);
    r->pMethods->xShmBarrier(r);
}

int xShmUnmap(sqlite3_file *f, int deleteFlag)
{
    sqlite3_file *r = realOf(f);
    return r->pMethods->xShmUnmap(r, deleteFlag);
}

// Version 2: no memory-mapped reads, so every read of a page passes xRead.
const sqlite3_io_methods ioMethods = {
    2,
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
    nullptr,
    nullptr,
};

int xOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *f, int flags, int *outFlags)
{
    auto *file = reinterpret_cast<File *>(f);
    file->base.pMethods = nullptr;
    file->real = reinterpret_cast<sqlite3_file *>(file + 1);
    if (const int rc = pass(Op::Open))
        return rc;
    const int rc = root->xOpen(root, name, file->real, flags, outFlags);
    if (file->real->pMethods)
        file->base.pMethods = &ioMethods;
    return rc;
}

int xDelete(sqlite3_vfs *, const char *name, int syncDir) { return root->xDelete(root, name, syncDir); }

int xAccess(sqlite3_vfs *, const char *name, int flags, int *out) { return root->xAccess(root, name, flags, out); }

int xFullPathname(sqlite3_vfs *, const char *name, int n, char *out) { return root->xFullPathname(root, name, n, out); }

void *xDlOpen(sqlite3_vfs *, const char *name) { return root->xDlOpen(root, name); }
void xDlError(sqlite3_vfs *, int n, char *msg) { root->xDlError(root, n, msg); }
void (*xDlSym(sqlite3_vfs *, void *h, const char *sym))(void) { return root->xDlSym(root, h, sym); }
void xDlClose(sqlite3_vfs *, void *h) { root->xDlClose(root, h); }
int xRandomness(sqlite3_vfs *, int n, char *out) { return root->xRandomness(root, n, out); }
int xSleep(sqlite3_vfs *, int us) { return root->xSleep(root, us); }
int xCurrentTime(sqlite3_vfs *, double *t) { return root->xCurrentTime(root, t); }
int xGetLastError(sqlite3_vfs *, int n, char *msg) { return root->xGetLastError(root, n, msg); }
int xCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *t) { return root->xCurrentTimeInt64(root, t); }

sqlite3_vfs layer;

} // namespace

void install()
{
    if (root)
        return;
    root = sqlite3_vfs_find(nullptr);
    if (!root || root->iVersion < 2) {
        std::fprintf(stderr, "faultvfs: no default VFS to wrap\n");
        std::abort();
    }
    layer = sqlite3_vfs{};
    layer.iVersion = 2;
    layer.szOsFile = int(sizeof(File)) + root->szOsFile;
    layer.mxPathname = root->mxPathname;
    layer.zName = "faultvfs";
    layer.xOpen = xOpen;
    layer.xDelete = xDelete;
    layer.xAccess = xAccess;
    layer.xFullPathname = xFullPathname;
    layer.xDlOpen = xDlOpen;
    layer.xDlError = xDlError;
    layer.xDlSym = xDlSym;
    layer.xDlClose = xDlClose;
    layer.xRandomness = xRandomness;
    layer.xSleep = xSleep;
    layer.xCurrentTime = xCurrentTime;
    layer.xGetLastError = xGetLastError;
    layer.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&layer, 1);
}

int count(Op op) { return state.counts[int(op)]; }

void resetCounts() { state.counts.fill(0); }

void arm(Op op, int n, int code, int times)
{
    state.armed = true;
    state.op = op;
    state.target = n;
    state.seen = 0;
    state.code = code;
    state.times = times;
    state.growingOnly = false;
    state.injectedSinceArm = 0;
}

void armDiskFull(int n)
{
    arm(Op::Write, n, SQLITE_FULL, 0);
    state.growingOnly = true;
}

int disarm()
{
    state.armed = false;
    state.growingOnly = false;
    return state.injectedSinceArm;
}

int totalInjected() { return state.injectedTotal; }

} // namespace faultvfs
