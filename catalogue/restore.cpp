// SPDX-License-Identifier: GPL-3.0-or-later
// Bringing a backup back, and deciding whether a start of the program takes one.
#include "catalogue/backup.h"

#include "catalogue/movie.h"
#include "catalogue/replace.h"

#include <QDir>
#include <QFileInfo>

namespace catalogue {

namespace {

// FNV-1a over one value, its length and whether it is NULL, so that no two different
// rows can run together into the same bytes.
quint64 mix(quint64 h, const unsigned char *p, int n, bool isNull)
{
    constexpr quint64 Prime = 1099511628211ULL;
    const quint64 header = (quint64(n) << 1) | (isNull ? 1 : 0);
    for (int i = 0; i < 8; ++i)
        h = (h ^ ((header >> (8 * i)) & 0xFF)) * Prime;
    for (int i = 0; i < n; ++i)
        h = (h ^ p[i]) * Prime;
    return h;
}

// The movies of a file as a whole, in no particular order: the sum of the rows' own
// hashes with their count, so that a compaction that renumbers rows changes nothing.
bool moviesFingerprint(const QString &path, int openFlags, QPair<quint64, qint64> &print)
{
    int rc = SQLITE_OK;
    const ConnectionPtr db = openConnection(path, openFlags, rc);
    if (rc != SQLITE_OK)
        return false;
    const StatementPtr rows = prepareStatement(db.get(), ("SELECT " + columnList() + " FROM Movies").constData(), rc);
    if (!rows)
        return false;
    sqlite3_stmt *st = rows.get();
    quint64 sum = 0;
    qint64 count = 0;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        quint64 h = 14695981039346656037ULL;
        for (int i = 0; i < FieldCount; ++i) {
            const auto *p = sqlite3_column_text(st, i);
            h = mix(h, p, sqlite3_column_bytes(st, i), sqlite3_column_type(st, i) == SQLITE_NULL);
        }
        sum += h;
        ++count;
    }
    print = {sum, count};
    return rc == SQLITE_DONE;
}

} // namespace

bool backupDueAtStartup(const QString &catalogueFile, const QDateTime &now)
{
    const QList<BackupFile> backups = listBackups(catalogueFile);
    if (backups.isEmpty())
        return true;
    const qint64 age = backups.first().taken.secsTo(now);
    if (age >= 0 && age < 24 * 3600)
        return false;
    QPair<quint64, qint64> current, newest;
    if (!moviesFingerprint(catalogueFile, SQLITE_OPEN_READWRITE, current))
        return true; // the backup itself will say what is wrong, to no one: nothing is asked at start-up
    return !moviesFingerprint(backups.first().path, SQLITE_OPEN_READONLY, newest) || current != newest;
}

platform::Failure backUpAtStartupIfDue(const QString &catalogueFile, bool &made, const QDateTime &now)
{
    made = false;
    if (!backupDueAtStartup(catalogueFile, now))
        return {};
    platform::Failure error = backUpCatalogue(catalogueFile, nullptr, {}, now, BackupReason::Startup);
    made = !error;
    return error;
}

platform::Failure restoreBackup(const QString &backupFile, const QString &catalogueFile)
{
    if (platform::Failure refused = refusalIfInUse(catalogueFile))
        return refused;
    const QString name = QFileInfo(backupFile).fileName();
    const BackupContents contents = inspectBackup(backupFile);
    if (!contents.intact) {
        const bool unreadable = errorKind(contents.code) == platform::ErrorKind::Io;
        return sqliteFailure(
            unreadable ? SQLITE_IOERR : SQLITE_CORRUPT,
            unreadable
                ? QString("The backup %1 could not be read (input/output error).").arg(name)
                : QString("The backup %1 is damaged (%2), so it cannot be restored.").arg(name, contents.problem));
    }
    std::unique_ptr<Database> source;
    if (auto error = Database::open(backupFile, source))
        return sqliteFailure(error.code, QString("The backup %1 cannot be restored: %2").arg(name, error.message));
    std::unique_ptr<Database> live;
    if (auto error = Database::open(catalogueFile, live))
        return error;
    return replaceContent(std::move(live), source->handle(), "the backup");
}

} // namespace catalogue
