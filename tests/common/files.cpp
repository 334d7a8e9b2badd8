// SPDX-License-Identifier: GPL-3.0-or-later
#include "files.h"

#include <QFile>
#include <QTest>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <sqlite3.h>
#include <vector>

namespace testsupport {

QByteArray fileBytes(const QString &path)
{
    sqlite3_vfs *vfs = sqlite3_vfs_find("unix");
    if (!vfs)
        vfs = sqlite3_vfs_find(nullptr);
    std::vector<char> buffer(size_t(vfs->szOsFile));
    auto *file = reinterpret_cast<sqlite3_file *>(buffer.data());
    int flags = 0;
    const QByteArray name = path.toUtf8();
    if (vfs->xOpen(vfs, name.constData(), file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) != SQLITE_OK)
        return {};
    sqlite3_int64 size = 0;
    QByteArray bytes;
    if (file->pMethods->xFileSize(file, &size) == SQLITE_OK) {
        bytes.resize(qsizetype(size));
        if (file->pMethods->xRead(file, bytes.data(), int(size), 0) != SQLITE_OK)
            bytes.clear();
    }
    file->pMethods->xClose(file);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void damagePage(const QString &path, int page)
{
    QByteArray bytes = fileBytes(path);
    // The header's page size, where 1 stands for 65536.
    const int stored = bytes.size() < 100 ? 0 : uchar(bytes[16]) << 8 | uchar(bytes[17]);
    const int pageSize = stored == 1 ? 65536 : stored;
    if (pageSize == 0 || qsizetype(page) * pageSize > bytes.size())
        qFatal("%s has no page %d", qPrintable(path), page);
    bytes.replace(qsizetype(page - 1) * pageSize, pageSize, QByteArray(pageSize, char(0xFF)));
    writeFile(path, bytes);
}

quint64 fileIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
#else
    Q_UNUSED(path);
    return 0;
#endif
}

void execSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    const int opened =
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const int ran = opened == SQLITE_OK ? sqlite3_exec(db, sql, nullptr, nullptr, nullptr) : opened;
    const QByteArray why = sqlite3_errmsg(db);
    sqlite3_close(db);
    QVERIFY2(ran == SQLITE_OK, why.constData());
}

#ifdef Q_OS_UNIX
FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    previous_ = qint64(limit.rlim_cur);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot limit the file size");
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(previous_);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}
#endif

} // namespace testsupport
