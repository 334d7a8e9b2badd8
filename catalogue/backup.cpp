// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace catalogue {

namespace {

// One backup at a time in this process: the start-up backup runs on its own thread
// and may meet the one a compaction takes.
QMutex backupLock;

const char *const WorkSuffix = ".part";

QString nameOf(const QString &path) { return QFileInfo(path).fileName(); }

QString prefixOf(const QString &catalogueFile) { return QFileInfo(catalogueFile).completeBaseName(); }

// The reasons as written in a backup's name, in the order of BackupReason.
const char *const ReasonTags[] = {"", "startup", "compaction", "import", "restore", "fillin"};
constexpr int ReasonCount = int(sizeof(ReasonTags) / sizeof(ReasonTags[0]));

QRegularExpression backupName(const QString &prefix)
{
    return QRegularExpression(
        "^" + QRegularExpression::escape(prefix) +
        R"(-(\d{8})-(\d{6})(?:-(\d{1,6}))?(?:\.(startup|compaction|import|restore|fillin))?\.mdb$)");
}

QString finalName(const QString &prefix, const QDateTime &taken, int sequence,
                  BackupReason reason = BackupReason::Unknown)
{
    QString name = prefix + taken.toString("-yyyyMMdd-HHmmss");
    if (sequence > 1)
        name += QString("-%1").arg(sequence);
    if (reason != BackupReason::Unknown)
        name += QStringLiteral(".") + QLatin1String(ReasonTags[int(reason)]);
    return name + ".mdb";
}

BackupReason reasonOfTag(const QString &tag)
{
    for (int i = 1; i < ReasonCount; ++i)
        if (tag == QLatin1String(ReasonTags[i]))
            return BackupReason(i);
    return BackupReason::Unknown;
}

// Whether a backup of this second and sequence exists under any reason.
bool nameTaken(const QString &folder, const QString &prefix, const QDateTime &taken, int sequence)
{
    for (int i = 0; i < ReasonCount; ++i) {
        const QString candidate = folder + "/" + finalName(prefix, taken, sequence, BackupReason(i));
        if (QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink())
            return true;
    }
    return false;
}

// The eight fields must be there for the copy to serve as a catalogue again.
bool hasMovieFields(sqlite3 *db)
{
    int rc = SQLITE_OK;
    return prepareStatement(db, ("SELECT " + columnList() + " FROM Movies LIMIT 0").constData(), rc) != nullptr;
}

QString describeBackupFailure(int code, int systemError, const QString &catalogueFile, const QString &engineText)
{
    const QString file = nameOf(catalogueFile);
    const QString folder = QDir::toNativeSeparators(backupFolder(catalogueFile));
    if (errorKind(code, systemError) == platform::ErrorKind::DiskFull)
        return QString("The disk is full: no backup of %1 could be written.").arg(file);
    if (systemError == EROFS)
        return QString("The folder %1 is on a read-only disk: no backup of %2 could be written.").arg(folder, file);
    switch (code & 0xFF) {
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QString("The folder %1 is read-only: no backup of %2 could be written.").arg(folder, file);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QString("%1 is in use by another program: no backup of it could be made.").arg(file);
    case SQLITE_IOERR:
        return QString("No backup of %1 could be made: the disk could not be read or written (input/output error).")
            .arg(file);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return QString("%1 is damaged, so no backup of it could be made.").arg(file);
    default:
        return QString("No backup of %1 could be made: %2.").arg(file, engineText);
    }
}

platform::Failure failureOf(sqlite3 *db, const QString &catalogueFile)
{
    int code = db ? sqlite3_extended_errcode(db) : SQLITE_CANTOPEN;
    if (code == SQLITE_OK)
        code = SQLITE_ERROR;
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    return sqliteFailure(code, describeBackupFailure(code, systemError, catalogueFile,
                                                     db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString()));
}

// A backup is trusted only when a fresh connection finds it intact, holding every movie.
platform::Failure checkBackup(const QString &path, const QString &catalogueFile, qint64 expectedMovies)
{
    const BackupContents found = inspectBackup(path);
    if (found.intact && found.movies == expectedMovies)
        return {};
    const QString file = nameOf(catalogueFile);
    if (found.intact)
        return sqliteFailure(SQLITE_CORRUPT,
                             QString("The new backup of %1 holds %2 movies instead of %3, so it was not kept.")
                                 .arg(file)
                                 .arg(found.movies)
                                 .arg(expectedMovies));
    return sqliteFailure(
        errorKind(found.code) == platform::ErrorKind::Io ? SQLITE_IOERR : SQLITE_CORRUPT,
        QString("The new backup of %1 did not pass its check (%2), so it was not kept.").arg(file, found.problem));
}

// Work files of backups that were cut short (the process that wrote them has ended)
// are removed; those of a backup still running in another process stay.
void removeStaleWork(const QString &folder, const QString &prefix)
{
    const QStringList work =
        QDir(folder).entryList({"." + prefix + "-*" + WorkSuffix}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : work) {
        const QString pidText = name.section('.', -2, -2);
        bool ok = false;
        const qint64 pid = pidText.toLongLong(&ok);
        bool running = false;
#ifdef Q_OS_UNIX
        running = ok && pid != QCoreApplication::applicationPid() && pid > 0 &&
                  (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#else
        running = ok && QFileInfo(folder + "/" + name).lastModified().secsTo(QDateTime::currentDateTime()) < 3600;
#endif
        if (!running)
            QFile::remove(folder + "/" + name);
    }
}

platform::Failure makeFolder(const QString &folder, const QString &catalogueFile)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return {};
    const QString file = nameOf(catalogueFile);
    if (info.exists() || info.isSymLink())
        return sqliteFailure(SQLITE_CANTOPEN, QString("%1 is not a folder, so no backup of %2 could be made there.")
                                                  .arg(QDir::toNativeSeparators(folder), file));
    if (QDir().mkpath(folder))
        return {};
    return sqliteFailure(SQLITE_CANTOPEN,
                         QString("The folder %1 could not be made (the catalogue's folder is read-only?): no "
                                 "backup of %2 could be made.")
                             .arg(QDir::toNativeSeparators(folder), file));
}

} // namespace

QString backupFolder(const QString &catalogueFile) { return QFileInfo(catalogueFile).absolutePath() + "/Backups"; }

QString backupReasonText(BackupReason reason)
{
    switch (reason) {
    case BackupReason::Startup:
        return QStringLiteral("at start-up");
    case BackupReason::BeforeCompaction:
        return QStringLiteral("before compaction");
    case BackupReason::BeforeImport:
        return QStringLiteral("before import");
    case BackupReason::BeforeRestore:
        return QStringLiteral("before restore");
    case BackupReason::BeforeFillIn:
        return QStringLiteral("before a fill-in");
    case BackupReason::Unknown:
        break;
    }
    return {};
}

BackupFile backupOf(const QString &catalogueFile, const QString &path)
{
    BackupFile b;
    const QFileInfo info(path);
    const QRegularExpressionMatch m = backupName(prefixOf(catalogueFile)).match(info.fileName());
    if (!m.hasMatch())
        return b;
    const QDate date = QDate::fromString(m.captured(1), "yyyyMMdd");
    const QTime time = QTime::fromString(m.captured(2), "HHmmss");
    if (!date.isValid() || !time.isValid())
        return b;
    b.path = info.absoluteFilePath();
    b.taken = QDateTime(date, time);
    b.sequence = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
    b.reason = reasonOfTag(m.captured(4));
    return b;
}

QList<BackupFile> listBackups(const QString &catalogueFile)
{
    QList<BackupFile> found;
    for (const QFileInfo &info : QDir(backupFolder(catalogueFile)).entryInfoList(QDir::Files)) {
        BackupFile b = backupOf(catalogueFile, info.absoluteFilePath());
        if (b.taken.isValid())
            found << b;
    }
    std::sort(found.begin(), found.end(), [](const BackupFile &a, const BackupFile &b) {
        // Compared as written: the name's local time, not an instant that a change of
        // the clock for summer time could reorder.
        const auto keyA = std::make_tuple(a.taken.date(), a.taken.time(), a.sequence);
        const auto keyB = std::make_tuple(b.taken.date(), b.taken.time(), b.sequence);
        return keyA > keyB;
    });
    return found;
}

BackupContents inspectBackup(const QString &path)
{
    BackupContents c;
    if (!QFileInfo(path).isFile()) {
        c.code = SQLITE_CANTOPEN;
        c.problem = "the file is gone";
        return c;
    }
    int rc = SQLITE_OK;
    const ConnectionPtr db = openConnection(path, SQLITE_OPEN_READONLY, rc);
    sqlite3 *raw = db.get();
    if (rc != SQLITE_OK) {
        c.code = rc;
        c.problem = QString::fromUtf8(sqlite3_errstr(rc));
        return c;
    }
    const IntegrityVerdict verdict = checkIntegrity(raw, IntegrityCheck::Quick);
    if (verdict.code != SQLITE_OK) {
        c.code = verdict.code;
        c.problem = errorKind(c.code) == platform::ErrorKind::Io ? QString("input/output error") : verdict.detail;
        return c;
    }
    if (!hasMovieFields(raw) || !readValue(raw, "SELECT count(*) FROM Movies", c.movies)) {
        c.code = sqlite3_extended_errcode(raw);
        const platform::ErrorKind kind = errorKind(c.code);
        c.problem = kind == platform::ErrorKind::Io        ? QString("input/output error")
                    : kind == platform::ErrorKind::Damaged ? QString::fromUtf8(sqlite3_errmsg(raw))
                                                           : QString("it holds no table of movies");
        if (kind != platform::ErrorKind::Io && kind != platform::ErrorKind::Damaged)
            c.code = SQLITE_NOTFOUND;
        return c;
    }
    c.intact = true;
    return c;
}

qint64 catalogueMovieCount(const QString &catalogueFile)
{
    if (!QFileInfo(catalogueFile).isFile())
        return -1;
    int rc = SQLITE_OK;
    const ConnectionPtr db = openConnection(catalogueFile, SQLITE_OPEN_READWRITE, rc);
    qint64 movies = -1;
    if (rc != SQLITE_OK || !readValue(db.get(), "SELECT count(*) FROM Movies", movies))
        return -1;
    return movies;
}

platform::Failure backUpCatalogue(const QString &catalogueFile, QString *madePath, const QString &keep,
                                  const QDateTime &now, BackupReason reason)
{
    QMutexLocker lock(&backupLock);
    const QString file = nameOf(catalogueFile);
    if (!QFileInfo(catalogueFile).isFile())
        return sqliteFailure(SQLITE_CANTOPEN, QString("The catalogue file %1 was not found: no backup could be made.")
                                                  .arg(QDir::toNativeSeparators(catalogueFile)));
    const QString folder = backupFolder(catalogueFile);
    if (platform::Failure e = makeFolder(folder, catalogueFile))
        return e;
    const QString prefix = prefixOf(catalogueFile);
    removeStaleWork(folder, prefix);

    // Read-write, so that a change a killed program left half done is rolled back first.
    int rc = SQLITE_OK;
    ConnectionPtr source = openConnection(catalogueFile, SQLITE_OPEN_READWRITE, rc);
    sqlite3 *rawSource = source.get();
    if (rc != SQLITE_OK)
        return failureOf(rawSource, catalogueFile);

    const QString base = finalName(prefix, now, 1);
    const QString work = folder + "/." + base + QString(".%1").arg(QCoreApplication::applicationPid()) + WorkSuffix;
    QFile::remove(work);
    auto dropWork = [&] { QFile::remove(work); };

    // The count and the copy come from one read transaction: the same state of the file.
    qint64 movies = 0;
    if (sqlite3_exec(rawSource, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK ||
        !readValue(rawSource, "SELECT count(*) FROM Movies", movies))
        return failureOf(rawSource, catalogueFile);
    {
        ConnectionPtr copy = openConnection(work, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, rc);
        sqlite3 *rawCopy = copy.get();
        if (rc != SQLITE_OK) {
            platform::Failure e = failureOf(rawCopy, catalogueFile);
            copy.reset();
            dropWork();
            return e;
        }
        // The work file is thrown away on any failure: it needs no journal of its own.
        sqlite3_exec(rawCopy, "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
        if (const int code = copyDatabase(rawCopy, rawSource); code != SQLITE_OK) {
            const int systemError =
                sqlite3_system_errno(rawCopy) ? sqlite3_system_errno(rawCopy) : sqlite3_system_errno(rawSource);
            platform::Failure e =
                sqliteFailure(code, describeBackupFailure(code, systemError, catalogueFile,
                                                          QString::fromUtf8(sqlite3_errmsg(rawCopy))));
            copy.reset();
            dropWork();
            return e;
        }
    }
    sqlite3_exec(rawSource, "COMMIT", nullptr, nullptr, nullptr);
    source.reset();

    if (flushToDisk(work)) {
        dropWork();
        return sqliteFailure(SQLITE_IOERR_FSYNC, QString("No backup of %1 could be made: it could not be saved to disk "
                                                         "(input/output error).")
                                                     .arg(file));
    }
    if (platform::Failure e = checkBackup(work, catalogueFile, movies)) {
        dropWork();
        return e;
    }

    // Only a checked backup takes a backup's name; a name already taken gets -2, -3 ...
    QString made;
    for (int sequence = 1; sequence < 100000 && made.isEmpty(); ++sequence) {
        if (nameTaken(folder, prefix, now, sequence))
            continue;
        const QString candidate = folder + "/" + finalName(prefix, now, sequence, reason);
        if (QFile::rename(work, candidate))
            made = candidate;
        else if (!QFileInfo::exists(candidate))
            break;
    }
    if (made.isEmpty()) {
        dropWork();
        return sqliteFailure(
            SQLITE_CANTOPEN,
            QString("The backup of %1 could not be given its name in %2.").arg(file, QDir::toNativeSeparators(folder)));
    }
    // The backup is complete and checked; a folder entry the system has not yet written
    // out costs at most this backup, never the catalogue.
    (void)flushToDisk(folder);
    if (madePath)
        *madePath = made;
    pruneBackups(catalogueFile, now.date(), keep);
    return {};
}

} // namespace catalogue
