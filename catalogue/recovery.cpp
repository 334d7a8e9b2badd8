// SPDX-License-Identifier: GPL-3.0-or-later
// Putting a backup in the place of a catalogue that no longer opens, keeping the
// damaged file beside it.
#include "catalogue/backup.h"
#include "catalogue/sqlitefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace catalogue {

namespace {

// "DVDs.damaged-20261209-081500.mdb", with -2, -3 ... when that name is taken.
QString freeDamagedName(const QString &catalogueFile, const QDateTime &now)
{
    const QFileInfo info(catalogueFile);
    const QString stem = info.dir().filePath(info.completeBaseName() + ".damaged-" + now.toString("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + "-journal"); ++n)
        name = stem + QString("-%1").arg(n) + suffix;
    return name;
}

// Moves the file and the journal and WAL files SQLite may keep beside it, so that a
// journal of the damaged file is never applied to the backup put in its place.
bool moveWithCompanions(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        return false;
    for (const char *companion : {"-journal", "-wal", "-shm"})
        if (QFileInfo::exists(from + companion))
            QFile::rename(from + companion, to + companion);
    return true;
}

platform::Failure copyInto(const QString &backupFile, const QString &target)
{
    int rc = SQLITE_OK;
    const ConnectionPtr from = openConnection(backupFile, SQLITE_OPEN_READONLY, rc);
    if (rc != SQLITE_OK)
        return sqliteFailure(rc, describeSqliteError(rc, backupFile, sqlite3_errmsg(from.get())));
    const ConnectionPtr to = openConnection(target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, rc);
    if (rc == SQLITE_OK)
        rc = copyDatabase(to.get(), from.get());
    if (rc != SQLITE_OK)
        return sqliteFailure(rc, describeSqliteError(rc, target, sqlite3_errmsg(to.get())));
    if (const platform::Failure why = flushToDisk(target))
        return sqliteFailure(
            SQLITE_IOERR_FSYNC,
            QString("%1 could not be saved to disk (%2).").arg(QFileInfo(target).fileName(), why.message));
    return {};
}

} // namespace

platform::Failure recoverFromBackup(const QString &backupFile, const QString &catalogueFile, QString *keptAs,
                                    const QDateTime &now)
{
    const QString name = QFileInfo(backupFile).fileName();
    const BackupContents contents = inspectBackup(backupFile);
    if (!contents.intact)
        return sqliteFailure(contents.code == SQLITE_OK ? SQLITE_CORRUPT : contents.code,
                             QString("The backup %1 cannot be restored: %2.").arg(name, contents.problem));
    // The copy is made under a work name first, so that a copy cut short never takes the catalogue's name.
    const QString work = catalogueFile + ".restoring";
    QFile::remove(work);
    if (platform::Failure e = copyInto(backupFile, work)) {
        QFile::remove(work);
        return e;
    }
    const QString damaged = freeDamagedName(catalogueFile, now);
    if (!moveWithCompanions(catalogueFile, damaged)) {
        QFile::remove(work);
        return sqliteFailure(SQLITE_CANTOPEN,
                             QString("%1 could not be renamed to keep it, so the backup was not restored.")
                                 .arg(QDir::toNativeSeparators(catalogueFile)));
    }
    if (!QFile::rename(work, catalogueFile)) {
        moveWithCompanions(damaged, catalogueFile);
        QFile::remove(work);
        return sqliteFailure(SQLITE_CANTOPEN, QString("The backup %1 could not be put in the place of %2.")
                                                  .arg(name, QDir::toNativeSeparators(catalogueFile)));
    }
    // The backup is in place; the folder's entries are flushed as well as the system allows,
    // and a refusal there changes nothing the caller could act on.
    (void)flushToDisk(QFileInfo(catalogueFile).absolutePath());
    if (keptAs)
        *keptAs = damaged;
    return {};
}

} // namespace catalogue
