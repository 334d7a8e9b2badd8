// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sqlite3.h>

namespace faultvfs {

// The file operations the fault layer counts and can make fail.
enum class Op { Open, Read, Write, Truncate, Sync };
constexpr int OpCount = 5;

// Puts a thin layer named "faultvfs" over the default VFS and makes it the default, so
// that every connection opened afterwards goes through it. Call before opening any.
void install();

// Operations of each kind passed through the layer since the last reset.
int count(Op op);
void resetCounts();

// Makes the n-th operation of kind op from now on (1-based) fail with code, and the
// times-1 after it too; times 0 makes every later one fail (a disk that stays full).
void arm(Op op, int n, int code, int times = 1);
// A disk that fills up: from the n-th write on that would make a file larger, every
// such write fails with SQLITE_FULL; writes within a file's bytes still pass.
void armDiskFull(int n);
// Stops failing; answers how many operations were made to fail since arm().
int disarm();
// Operations made to fail since install().
int totalInjected();

} // namespace faultvfs
