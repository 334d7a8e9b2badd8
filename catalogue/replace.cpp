// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/replace.h"

#include <QFileInfo>

namespace catalogue {

namespace {

QString nameOf(const QString &path) { return QFileInfo(path).fileName(); }

QString inUseByThisProgram(const QString &catalogueFile)
{
    return QString("%1 is still open in another window of this program. Close that window and try again.")
        .arg(nameOf(catalogueFile));
}

QString inUseByAnotherProgram(const QString &catalogueFile)
{
    return QString("%1 is in use by another program. Close it and try again.").arg(nameOf(catalogueFile));
}

QString describeReplaceFailure(int code, const QString &catalogueFile, const QString &sourceName, sqlite3 *db)
{
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return inUseByAnotherProgram(catalogueFile);
    case SQLITE_FULL:
        return QString("The disk is full: %1 could not take %2.").arg(nameOf(catalogueFile), sourceName);
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QString("%1 or the program's folder is read-only: %2 could not be brought in.")
            .arg(nameOf(catalogueFile), sourceName);
    default:
        return describeSqliteError(code, catalogueFile, sqlite3_errmsg(db));
    }
}

bool schemaVersion(sqlite3 *db, QByteArray &value) { return readValue(db, "PRAGMA schema_version", value); }

} // namespace

platform::Failure refusalIfInUse(const QString &catalogueFile)
{
    if (openConnections(catalogueFile) > 0)
        return sqliteFailure(SQLITE_BUSY, inUseByThisProgram(catalogueFile));
    const QList<OtherProcess> others = otherProcessesWithFile(catalogueFile);
    if (!others.isEmpty()) {
        const OtherProcess &p = others.first();
        const QString who =
            p.name.isEmpty() ? QString("process %1").arg(p.pid) : QString("%1, process %2").arg(p.name).arg(p.pid);
        return sqliteFailure(
            SQLITE_BUSY,
            QString("%1 is open in another program (%2). Close it and try again.").arg(nameOf(catalogueFile), who));
    }
    return {};
}

platform::Failure replaceContent(std::unique_ptr<Database> live, sqlite3 *source, const QString &sourceName)
{
    const QString catalogueFile = live->path();
    // SQLite shortens the file only after the commit point and reports a failure to
    // shorten it as an error. A backup that arrived has changed the schema version, as
    // another connection reads it once any rollback is done.
    int rc = SQLITE_OK;
    const ConnectionPtr watcher = openConnection(catalogueFile, SQLITE_OPEN_READWRITE, rc);
    sqlite3 *rawWatcher = watcher.get();
    QByteArray versionBefore;
    schemaVersion(rawWatcher, versionBefore);

    platform::Failure error;
    if (const int code = copyDatabase(live->handle(), source); code != SQLITE_OK)
        error = sqliteFailure(code, describeReplaceFailure(code, catalogueFile, sourceName, live->handle()));
    live.reset();
    QByteArray versionAfter;
    if (error && !versionBefore.isEmpty() && schemaVersion(rawWatcher, versionAfter) && versionAfter != versionBefore)
        error = {};
    return error;
}

} // namespace catalogue
