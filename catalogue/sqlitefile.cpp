// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/sqlitefile.h"

#include "catalogue/database.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace catalogue {

platform::ErrorKind errorKind(int code, int systemError)
{
    if (systemError == ENOSPC || systemError == EFBIG
#ifdef EDQUOT
        || systemError == EDQUOT
#endif
    )
        return platform::ErrorKind::DiskFull;
    switch (code & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return platform::ErrorKind::None;
    case SQLITE_FULL:
        return platform::ErrorKind::DiskFull;
    case SQLITE_IOERR:
        return platform::ErrorKind::Io;
    case SQLITE_NOTADB:
    case SQLITE_NOTFOUND:
    case SQLITE_MISMATCH:
        return platform::ErrorKind::NotACatalogue;
    case SQLITE_CORRUPT:
        return platform::ErrorKind::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return platform::ErrorKind::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return platform::ErrorKind::ReadOnly;
    case SQLITE_CANTOPEN:
        return platform::ErrorKind::CantOpen;
    case SQLITE_INTERRUPT:
        return platform::ErrorKind::Cancelled;
    default:
        return platform::ErrorKind::Other;
    }
}

platform::Failure sqliteFailure(int code, QString message, int systemError)
{
    platform::ErrorKind kind = errorKind(code, systemError);
    if (kind == platform::ErrorKind::None && code != SQLITE_OK)
        kind = platform::ErrorKind::Other;
    return {kind, std::move(message), code};
}

ConnectionPtr openConnection(const QString &path, int flags, int &rc)
{
    sqlite3 *raw = nullptr;
    rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
    ConnectionPtr db(raw);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(raw, BusyTimeoutMs);
        sqlite3_extended_result_codes(raw, 1);
        registerTextFunctions(raw);
    }
    return db;
}

StatementPtr prepareStatement(sqlite3 *db, const char *sql, int &rc)
{
    if (!db) {
        rc = SQLITE_MISUSE;
        return nullptr;
    }
    sqlite3_stmt *st = nullptr;
    rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    StatementPtr statement(st);
    if (rc == SQLITE_OK && !statement)
        rc = SQLITE_MISUSE; // an empty statement: nothing to run
    return rc == SQLITE_OK ? std::move(statement) : nullptr;
}

namespace {

// Steps the statement to its first row; false, with the code in rc, when there is none.
StatementPtr firstRow(sqlite3 *db, const char *sql, int *rc)
{
    int code = SQLITE_OK;
    StatementPtr st = prepareStatement(db, sql, code);
    if (st && (code = sqlite3_step(st.get())) != SQLITE_ROW)
        st.reset();
    if (rc)
        *rc = code == SQLITE_ROW ? SQLITE_OK : code == SQLITE_DONE ? SQLITE_NOTFOUND : code;
    return st;
}

} // namespace

bool readValue(sqlite3 *db, const char *sql, QByteArray &value, int *rc)
{
    const StatementPtr st = firstRow(db, sql, rc);
    if (!st)
        return false;
    value =
        QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 0)), sqlite3_column_bytes(st.get(), 0));
    return true;
}

bool readValue(sqlite3 *db, const char *sql, qint64 &value, int *rc)
{
    const StatementPtr st = firstRow(db, sql, rc);
    if (!st)
        return false;
    value = sqlite3_column_int64(st.get(), 0);
    return true;
}

IntegrityVerdict checkIntegrity(sqlite3 *db, IntegrityCheck depth)
{
    IntegrityVerdict v;
    QByteArray findings;
    const char *pragma = depth == IntegrityCheck::Quick ? "PRAGMA quick_check" : "PRAGMA integrity_check";
    if (!readValue(db, pragma, findings)) {
        v.checkRan = false;
        v.code = sqlite3_extended_errcode(db);
        if (v.code == SQLITE_OK)
            v.code = SQLITE_ERROR;
        v.detail = QString::fromUtf8(sqlite3_errmsg(db));
        return v;
    }
    if (findings == "ok")
        return v;
    // The check has no code of its own for a page it could not read: it lists it among
    // the damage, with the read's code where it has one. That is the disk failing.
    const qsizetype coded = findings.indexOf("error code=");
    if (coded >= 0) {
        const int code = std::atoi(findings.constData() + coded + 11);
        v.code = code != SQLITE_OK ? code : SQLITE_IOERR;
    } else if (findings.contains("failed to get page") || findings.contains("unable to get the page")) {
        v.code = SQLITE_IOERR;
    } else {
        v.code = SQLITE_CORRUPT;
    }
    v.detail = QString::fromUtf8(findings.left(200));
    return v;
}

int copyDatabase(sqlite3 *to, sqlite3 *from)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        const int code = sqlite3_extended_errcode(to);
        return code == SQLITE_OK ? SQLITE_ERROR : code;
    }
    const int step = sqlite3_backup_step(backup, -1);
    const int finish = sqlite3_backup_finish(backup);
    return step != SQLITE_DONE ? step : finish;
}

QString fileOf(sqlite3 *db)
{
    const char *name = db ? sqlite3_db_filename(db, "main") : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

platform::Failure flushToDisk(const QString &path)
{
#ifdef _WIN32
    auto fail = [](DWORD error) {
        const bool full = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
        return platform::Failure{full ? platform::ErrorKind::DiskFull : platform::ErrorKind::Io,
                                 qt_error_string(int(error))};
    };
    // A folder's entries are kept by the file system's own journal; only files are flushed.
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.utf16()));
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    const HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(path.utf16()), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail(GetLastError());
    const bool ok = FlushFileBuffers(file) != 0;
    const DWORD error = GetLastError();
    CloseHandle(file);
    return ok ? platform::Failure{} : fail(error);
#else
    // The kind comes from errno: no space (or quota) is a full disk, anything else Io.
    auto fail = [](int error) { return platform::Failure{errorKind(SQLITE_IOERR, error), qt_error_string(error)}; };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return ok ? platform::Failure{} : fail(error);
#endif
}

} // namespace catalogue
