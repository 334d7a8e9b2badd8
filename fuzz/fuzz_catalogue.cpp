// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes opening a catalogue file: whatever DVDs.mdb holds, opening it and listing,
// browsing and searching it never crashes and never changes the file.
#include "catalogue/database.h"
#include "catalogue/recordcursor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include <sanitizer/allocator_interface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <execinfo.h>

using namespace catalogue;

namespace {

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A catalogue of a few kilobytes never makes the program take a block of memory this
// large. SQLite itself may, for a record whose header claims a huge value: that
// stays its own business.
constexpr size_t LargestBlock = 8 << 20;
size_t largestBlock = 0;
bool watching = false;

bool calledFromSqlite()
{
    void *frames[64];
    const int n = backtrace(frames, 64);
    for (int i = 0; i < n; ++i) {
        Dl_info info;
        if (dladdr(frames[i], &info) && info.dli_fname && std::strstr(info.dli_fname, "libsqlite3"))
            return true;
    }
    return false;
}

void onMalloc(const volatile void *, size_t size)
{
    if (!watching || size <= LargestBlock)
        return;
    watching = false; // the look at the stack may allocate
    if (!calledFromSqlite())
        largestBlock = std::max(largestBlock, size);
    watching = true;
}

void onFree(const volatile void *) {}

const char *const Queries[] = {
    "select * from Movies order by Title",
    "select * from Movies where Category = 'Comedy' order by Title",
    "select * from Movies where Actors Like '*a*' Order by Actors",
    "Movies",
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    void *warmUp[1];
    backtrace(warmUp, 1); // loads the unwinder now, not inside a hook
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString file = dir.filePath("DVDs.mdb");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            fail("cannot write", file);
    }

    largestBlock = 0;
    watching = true;
    {
        std::unique_ptr<Database> db;
        const platform::Failure error = Database::open(file, db);
        if (!db && error.message.isEmpty())
            fail("refused without a reason", QString::number(error.code));
        if (db) {
            db.reset();
            RecordCursor cursor;
            cursor.setDatabaseName(file);
            for (const char *query : Queries) {
                cursor.setRecordSource(query);
                if (!cursor.refresh()) {
                    if (cursor.lastError().message.isEmpty())
                        fail("a failure without a reason", query);
                    continue;
                }
                cursor.moveLast();
                cursor.moveFirst();
                for (int i = 0; i < 50 && !cursor.eof(); ++i) {
                    (void)cursor.currentMovie();
                    cursor.moveNext();
                }
            }
        }
    }

    watching = false;
    if (largestBlock > LargestBlock)
        fail("a block of memory out of proportion to the file", QString::number(largestBlock));
    if (contents(file) != bytes)
        fail("the catalogue file changed", file);
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    if (left != QStringList{"DVDs.mdb"})
        fail("files left beside the catalogue", left.join(", "));
    return 0;
}
