// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace testsupport {

// The whole content of a file; empty when it cannot be read. Read through SQLite's own
// file layer, so that it is safe while a connection of this process has the file
// open: closing a descriptor of our own would drop the locks that connection holds.
QByteArray fileBytes(const QString &path);

// Replaces a file's content; the test stops when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);

// Overwrites one page (counted from 1) of an SQLite file with bytes no page can hold,
// so that reading it fails as damaged; the test stops when it cannot.
void damagePage(const QString &path, int page);

// Tells one file from another that took its name (its inode); 0 where unknown.
quint64 fileIdentity(const QString &path);

// Runs SQL on a file (made when missing) through a connection of its own; the test
// fails when it cannot.
void execSql(const QString &path, const char *sql);

#ifdef Q_OS_UNIX
// While it lives, this process may write no file past the given size, as on a full
// disk: writes past it fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    qint64 previous_ = 0;
    void (*previousHandler_)(int) = nullptr;
};
#endif

} // namespace testsupport
