// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <sqlite3.h>

// The one place that touches a catalogue file at the level of SQLite and the disk:
// connections, statements, single values, whole-file copies and flushing.
namespace catalogue {

struct ConnectionCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *st) const { sqlite3_finalize(st); }
};
using ConnectionPtr = std::unique_ptr<sqlite3, ConnectionCloser>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// How long a connection waits for another program's lock before it gives up.
constexpr int BusyTimeoutMs = 3000;

// What went wrong, found from SQLite's result code (primary or extended) and, where
// SQLite reports one, the system's error number; never from a message's text.
platform::ErrorKind errorKind(int code, int systemError = 0);
// A failure with SQLite's code and the kind found from it: none for SQLITE_OK, Other for
// SQLITE_ROW or SQLITE_DONE where a step stopped early.
platform::Failure sqliteFailure(int code, QString message, int systemError = 0);

// Opens a connection with the busy timeout, extended result codes and the program's
// text functions. rc receives SQLite's answer; the connection is handed back even when
// the open failed, so that its message can be read.
ConnectionPtr openConnection(const QString &path, int flags, int &rc);

// Prepares one statement; null on failure, with SQLite's result code in rc.
StatementPtr prepareStatement(sqlite3 *db, const char *sql, int &rc);

// Runs a query that answers one value and reads the first column of its first row;
// false when it fails or answers no row, with SQLite's result code in rc if given.
bool readValue(sqlite3 *db, const char *sql, QByteArray &value, int *rc = nullptr);
bool readValue(sqlite3 *db, const char *sql, qint64 &value, int *rc = nullptr);

// What SQLite's own check found in a file. code is SQLITE_OK for a sound file, an
// I/O code when the check could not read a page (the disk failing), SQLITE_CORRUPT when
// the file is damaged (detail: the first of the findings), or, with checkRan false, the
// code the check itself failed with (detail: SQLite's message).
struct IntegrityVerdict {
    int code = SQLITE_OK;
    bool checkRan = true;
    QString detail;
};
enum class IntegrityCheck { Quick, Full };
IntegrityVerdict checkIntegrity(sqlite3 *db, IntegrityCheck depth);

// Copies the whole main database of from into to through the online backup API;
// answers SQLITE_OK or the (extended) code of the failure.
int copyDatabase(sqlite3 *to, sqlite3 *from);

// The file behind a connection's main database; empty for one in memory.
QString fileOf(sqlite3 *db);

// Forces a file (or a folder's entries) out of the system's caches onto the disk. A
// failure's message is what the system answered; its kind DiskFull or Io.
platform::Failure flushToDisk(const QString &path);

} // namespace catalogue
