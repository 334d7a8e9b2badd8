// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/compaction.h"

#include "catalogue/openfiles.h"
#include "catalogue/replace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>

namespace catalogue {

namespace {

QString nameOf(const QString &path) { return QFileInfo(path).fileName(); }

platform::Failure failure(int code, const QString &message) { return sqliteFailure(code, message); }

bool removeIfPresent(const QString &path, QString *why = nullptr)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isDir() && !info.isSymLink()) {
        if (why)
            *why = "it is a folder";
        return false;
    }
    QFile file(path);
    if (file.remove())
        return true;
    if (why)
        *why = file.errorString();
    return false;
}

// The compacted copy and its journal, removed when the compaction ends however it
// ends: declared before any connection to the copy, so that those close first.
class WorkFile {
public:
    explicit WorkFile(const QString &path) : path_(path) {}
    ~WorkFile() { remove(); }
    WorkFile(const WorkFile &) = delete;
    WorkFile &operator=(const WorkFile &) = delete;

    void remove() const
    {
        for (const QString &f : {path_, path_ + "-journal"})
            removeIfPresent(f);
    }

private:
    QString path_;
};

// Why the work file could not be written, from SQLite's code and the system's error.
QString describeCopyFailure(int code, int systemError, const QString &workFile, sqlite3 *db)
{
    const QString copy = nameOf(workFile);
    if (errorKind(code, systemError) == platform::ErrorKind::DiskFull)
        return QString("The disk is full: the compacted copy %1 could not be written.").arg(copy);
    if (systemError == EROFS)
        return QString("The program's folder is on a read-only disk: the compacted copy %1 could not be written.")
            .arg(copy);
    if (systemError == EACCES || systemError == EPERM || (code & 0xFF) == SQLITE_CANTOPEN ||
        (code & 0xFF) == SQLITE_READONLY)
        return QString("The program's folder is read-only: the compacted copy %1 could not be written.").arg(copy);
    if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED)
        return QString("The catalogue is in use by another program. Close it and try again.");
    QString detail = QString::fromUtf8(sqlite3_errmsg(db));
    if (systemError)
        detail += " (" + qt_error_string(systemError) + ")";
    return QString("The compacted copy %1 could not be written: %2.").arg(copy, detail);
}

bool countMovies(sqlite3 *db, qint64 &count) { return readValue(db, "SELECT count(*) FROM Movies", count); }

// The compacted copy is trusted only when it opens, passes SQLite's own check and
// holds as many movies as the catalogue.
platform::Failure checkCopy(sqlite3 *copy, const QString &workFile, qint64 expectedMovies)
{
    const QString name = nameOf(workFile);
    auto unreadable = [&](int code, const char *why) {
        return failure(code, QString("The compacted copy %1 could not be read back to check it (%2).")
                                 .arg(name, QString::fromUtf8(why)));
    };
    const IntegrityVerdict verdict = checkIntegrity(copy, IntegrityCheck::Full);
    if (!verdict.checkRan)
        return failure(SQLITE_CORRUPT,
                       QString("The compacted copy %1 could not be checked: %2.").arg(name, verdict.detail));
    if (errorKind(verdict.code) == platform::ErrorKind::Io)
        return unreadable(verdict.code, sqlite3_errstr(verdict.code));
    if (verdict.code != SQLITE_OK)
        return failure(SQLITE_CORRUPT, QString("The compacted copy %1 is damaged: %2.").arg(name, verdict.detail));
    qint64 movies = -1;
    if (!countMovies(copy, movies))
        return unreadable(sqlite3_extended_errcode(copy), sqlite3_errmsg(copy));
    if (movies != expectedMovies)
        return failure(
            SQLITE_CORRUPT,
            QString("The compacted copy %1 holds %2 movies instead of %3.").arg(name).arg(movies).arg(expectedMovies));
    return {};
}

} // namespace

platform::Failure compactCatalogue(const QString &catalogueFile, const QString &workFile,
                                   const std::function<void(CompactionStep)> &progress)
{
    auto report = [&](CompactionStep step) {
        if (progress)
            progress(step);
    };
    report(CompactionStep::Started);

    if (platform::Failure refused = refusalIfInUse(catalogueFile))
        return refused;
    const QString canonicalCatalogue = QFileInfo(catalogueFile).canonicalFilePath();
    if (!canonicalCatalogue.isEmpty() && QFileInfo(workFile).canonicalFilePath() == canonicalCatalogue)
        return failure(SQLITE_MISUSE, QString("%1 is a link to the catalogue itself, so it cannot serve as the "
                                              "work file. Remove %1 and try again.")
                                          .arg(nameOf(workFile)));

    std::unique_ptr<Database> live;
    platform::Failure error = Database::open(catalogueFile, live);
    if (error)
        return error;
    qint64 movies = 0;
    if (!countMovies(live->handle(), movies))
        return live->errorFor(sqlite3_errcode(live->handle()));

    // A work file left over from an interrupted run is never a catalogue: clear it away.
    for (const QString &leftover : {workFile, workFile + "-journal", workFile + "-wal", workFile + "-shm"}) {
        QString why;
        if (!removeIfPresent(leftover, &why))
            return failure(
                SQLITE_CANTOPEN,
                QString("The work file %1 is in the way and could not be removed (%2).").arg(nameOf(leftover), why));
    }
    const WorkFile work(workFile);

    {
        int rc = SQLITE_OK;
        StatementPtr vacuum = prepareStatement(live->handle(), "VACUUM INTO ?1", rc);
        if (vacuum) {
            const QByteArray target = workFile.toUtf8();
            sqlite3_bind_text(vacuum.get(), 1, target.constData(), int(target.size()), SQLITE_TRANSIENT);
            rc = sqlite3_step(vacuum.get());
        }
        if (rc != SQLITE_DONE) {
            const int code = sqlite3_extended_errcode(live->handle());
            const int systemError = sqlite3_system_errno(live->handle());
            return failure(code == SQLITE_OK ? SQLITE_ERROR : code,
                           describeCopyFailure(code, systemError, workFile, live->handle()));
        }
    }
    // VACUUM INTO leaves its output unsynced; the copy must be on disk before it is trusted.
    if (const platform::Failure why = flushToDisk(workFile))
        return failure(
            SQLITE_IOERR,
            QString("The compacted copy %1 could not be saved to disk: %2.").arg(nameOf(workFile), why.message));
    report(CompactionStep::Copied);

    int rc = SQLITE_OK;
    ConnectionPtr copy = openConnection(workFile, SQLITE_OPEN_READONLY, rc);
    if (rc != SQLITE_OK)
        return failure(rc, QString("The compacted copy %1 could not be opened: %2.")
                               .arg(nameOf(workFile), QString::fromUtf8(sqlite3_errstr(rc))));
    if ((error = checkCopy(copy.get(), workFile, movies)))
        return error;
    report(CompactionStep::Checked);

    error = replaceContent(std::move(live), copy.get(), "the compacted copy");
    copy.reset();
    work.remove();
    if (error)
        return error;
    report(CompactionStep::Replaced);
    return {};
}

} // namespace catalogue
