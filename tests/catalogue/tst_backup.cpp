// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "catalogue/compaction.h"
#include "catalogue/duplicates.h"
#include "catalogue/schema.h"
#include "tests/common/files.h"
#include "tests/common/testfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace catalogue;
using testsupport::execSql;
using testsupport::fileBytes;
using testsupport::movie;
using testsupport::TestFolder;

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(17, 28, 5));

std::vector<Movie> moviesIn(const QString &path)
{
    std::vector<Movie> out;
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    ConnectionPtr db(raw);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT * FROM Movies ORDER BY rowid", -1, &st, nullptr);
    StatementPtr guard(st);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        Movie m;
        for (int i = 0; i < FieldCount; ++i)
            m.values[i] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)));
        out.push_back(m);
    }
    return out;
}

QStringList namesOf(const QList<BackupFile> &backups)
{
    QStringList names;
    for (const BackupFile &b : backups)
        names << QFileInfo(b.path).fileName();
    return names;
}

QStringList filesIn(const QString &folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    files.sort();
    return files;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void backupIsACheckedCopyUnderItsOwnName();
    void backupNameSaysWhyItWasTaken_data();
    void backupNameSaysWhyItWasTaken();
    void retentionKeepsTheNewestAndOnePerDay();
    void failedBackupsLeaveNothingThatCounts();
    void startupBackupOnlyWhenDueAndChanged();
    void restoreBringsTheBackupBackInPlace();
    void restoreRefusesAndChangesNothing();
    void duplicateTitlesIgnoreCaseAccentsAndBlanks();
    void duplicateCheckReportsAnUnreadableCatalogue();
};

void TestBackup::backupIsACheckedCopyUnderItsOwnName()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const QString backups = folder.path() + "/Backups";

    QString made;
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now));
    QCOMPARE(made, backups + "/DVDs-20261208-172805.mdb");
    QVERIFY(moviesIn(made) == folder.moviesInFile());
    QVERIFY(inspectBackup(made).intact);
    QCOMPARE(inspectBackup(made).movies, qint64(folder.moviesInFile().size()));

    // Same second: the names that are taken get a number; listed newest first.
    execSql(folder.catalogue(), "DELETE FROM Movies WHERE rowid <= 5");
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now));
    QCOMPARE(QFileInfo(made).fileName(), QString("DVDs-20261208-172805-2.mdb"));
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now.addSecs(-3600)));
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now));
    QCOMPARE(namesOf(listBackups(folder.catalogue())),
             QStringList({"DVDs-20261208-172805-3.mdb", "DVDs-20261208-172805-2.mdb", "DVDs-20261208-172805.mdb",
                          "DVDs-20261208-162805.mdb"}));
    QCOMPARE(inspectBackup(made).movies, qint64(folder.moviesInFile().size()));
    // No work file stays behind.
    QCOMPARE(filesIn(backups).size(), 4);
    // The reason goes into the name; the number counts backups of that second of any reason.
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now, BackupReason::BeforeImport));
    QCOMPARE(QFileInfo(made).fileName(), QString("DVDs-20261208-172805-4.import.mdb"));
    QCOMPARE(listBackups(folder.catalogue()).first().reason, BackupReason::BeforeImport);
    QVERIFY(QFile::remove(made));

    // Another catalogue in the same folder keeps backups of its own name, apart.
    const QString other = folder.path() + "/Films.mdb";
    QVERIFY(!catalogue::createCatalogue(other, {movie("Solo")}, true));
    QVERIFY(!backUpCatalogue(other, &made, {}, Now));
    QCOMPARE(QFileInfo(made).fileName(), QString("Films-20261208-172805.mdb"));
    QCOMPARE(listBackups(other).size(), 1);
    QCOMPARE(listBackups(folder.catalogue()).size(), 4);
}

void TestBackup::backupNameSaysWhyItWasTaken_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("reason"); // -1: not a backup
    QTest::addColumn<int>("sequence");
    QTest::newRow("older, no reason") << "DVDs-20261208-172805.mdb" << int(BackupReason::Unknown) << 1;
    QTest::newRow("older, numbered") << "DVDs-20261208-172805-3.mdb" << int(BackupReason::Unknown) << 3;
    QTest::newRow("start-up") << "DVDs-20261208-172805.startup.mdb" << int(BackupReason::Startup) << 1;
    QTest::newRow("compaction") << "DVDs-20261208-172805.compaction.mdb" << int(BackupReason::BeforeCompaction) << 1;
    QTest::newRow("import, numbered") << "DVDs-20261208-172805-2.import.mdb" << int(BackupReason::BeforeImport) << 2;
    QTest::newRow("restore") << "DVDs-20261208-172805.restore.mdb" << int(BackupReason::BeforeRestore) << 1;
    QTest::newRow("fill-in") << "DVDs-20261208-172805.fillin.mdb" << int(BackupReason::BeforeFillIn) << 1;
    QTest::newRow("unknown tag") << "DVDs-20261208-172805.later.mdb" << -1 << 0;
    QTest::newRow("tag before number") << "DVDs-20261208-172805.import-2.mdb" << -1 << 0;
}

void TestBackup::backupNameSaysWhyItWasTaken()
{
    QFETCH(QString, name);
    QFETCH(int, reason);
    QFETCH(int, sequence);
    TestFolder folder;
    const BackupFile b = backupOf(folder.catalogue(), folder.path() + "/Backups/" + name);
    QCOMPARE(b.taken.isValid(), reason >= 0);
    if (reason < 0)
        return;
    QCOMPARE(b.taken, Now);
    QCOMPARE(int(b.reason), reason);
    QCOMPARE(b.sequence, sequence);
}

void TestBackup::retentionKeepsTheNewestAndOnePerDay()
{
    TestFolder folder;
    folder.makeCatalogue({movie("Alien")});
    QString made;
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now));
    const QString backups = folder.path() + "/Backups";
    QVERIFY(QFile::remove(made));
    QFile::copy(folder.catalogue(), backups + "/notes.txt");
    QFile::copy(folder.catalogue(), backups + "/DVDs-old.mdb");
    // Three backups a day for three weeks up to today.
    const QDate today = Now.date();
    for (int day = 0; day <= 20; ++day)
        for (const char *time : {"090000", "120000", "180000"})
            QVERIFY(QFile::copy(folder.catalogue(),
                                backups + "/DVDs-" + today.addDays(-day).toString("yyyyMMdd") + "-" + time + ".mdb"));
    const QString chosen = backups + "/DVDs-" + today.addDays(-15).toString("yyyyMMdd") + "-120000.mdb";

    QCOMPARE(pruneBackups(folder.catalogue(), today, chosen), 0);
    QStringList expected;
    for (int day = 0; day <= 2; ++day)
        for (const char *time : {"180000", "120000", "090000"})
            expected << "DVDs-" + today.addDays(-day).toString("yyyyMMdd") + "-" + time + ".mdb";
    for (int day = 3; day <= 6; ++day)
        expected << "DVDs-" + today.addDays(-day).toString("yyyyMMdd") + "-180000.mdb";
    expected << QFileInfo(chosen).fileName();
    QCOMPARE(namesOf(listBackups(folder.catalogue())), expected);
    // Files that are not backups are never touched.
    QVERIFY(QFile::exists(backups + "/notes.txt"));
    QVERIFY(QFile::exists(backups + "/DVDs-old.mdb"));

    // Each new backup prunes: the next day, yesterday's newest stays among the days.
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now.addDays(1)));
    const QStringList after = namesOf(listBackups(folder.catalogue()));
    QCOMPARE(after.size(), 10 + 3); // the ten newest reach back two days; three more days follow
    QCOMPARE(after.first(), QFileInfo(made).fileName());
    QVERIFY(!after.contains(QFileInfo(chosen).fileName()));
    QVERIFY(after.contains("DVDs-" + today.addDays(-5).toString("yyyyMMdd") + "-180000.mdb"));
    QVERIFY(!after.contains("DVDs-" + today.addDays(-6).toString("yyyyMMdd") + "-180000.mdb"));
}

void TestBackup::failedBackupsLeaveNothingThatCounts()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const QByteArray before = fileBytes(folder.catalogue());
    const QString backups = folder.path() + "/Backups";

    // A file where the folder should be.
    QFile(backups).open(QIODevice::WriteOnly);
    platform::Failure e = backUpCatalogue(folder.catalogue(), nullptr, {}, Now);
    QVERIFY(e);
    QVERIFY2(e.message.contains("not a folder"), qPrintable(e.message));
    QVERIFY(QFile::remove(backups));

    // No catalogue, or a file that is not one.
    e = backUpCatalogue(folder.path() + "/Missing.mdb", nullptr, {}, Now);
    QVERIFY2(e.message.contains("was not found"), qPrintable(e.message));
    const QString garbage = folder.path() + "/Garbage.mdb";
    QFile g(garbage);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write(QByteArray(8192, 'x'));
    g.close();
    e = backUpCatalogue(garbage, nullptr, {}, Now);
    QVERIFY2(e.message.contains("damaged"), qPrintable(e.message));
    QVERIFY(listBackups(garbage).isEmpty());

    // A backup cut short by a killed program is never listed, and the next backup
    // clears it away; one a running program is still writing stays.
    QVERIFY(QDir().mkpath(backups));
    QProcess gone;
    gone.start("true");
    QVERIFY(gone.waitForFinished());
    const QString deadWork = QString("%1/.DVDs-20261208-172700.mdb.%2.part").arg(backups).arg(gone.processId());
    const QString liveWork = QString("%1/.DVDs-20261208-172700.mdb.%2.part").arg(backups).arg(getppid());
    QFile::copy(folder.catalogue(), deadWork);
    QFile::copy(folder.catalogue(), liveWork);
    // A damaged file under a backup's name is listed, and found damaged.
    const QString damaged = backups + "/DVDs-20261201-100000.mdb";
    QFile d(damaged);
    QVERIFY(d.open(QIODevice::WriteOnly));
    d.write(fileBytes(folder.catalogue()).left(4096));
    d.close();
    QCOMPARE(namesOf(listBackups(folder.catalogue())), QStringList{"DVDs-20261201-100000.mdb"});
    QVERIFY(!inspectBackup(damaged).intact);
    QVERIFY(!inspectBackup(damaged).problem.isEmpty());

    QString made;
    QVERIFY(!backUpCatalogue(folder.catalogue(), &made, {}, Now));
    QVERIFY(!QFile::exists(deadWork));
    QVERIFY(QFile::exists(liveWork));
    QCOMPARE(listBackups(folder.catalogue()).size(), 2);
    QCOMPARE(fileBytes(folder.catalogue()), before);

#ifdef Q_OS_UNIX
    // A read-only backup folder; root writes anyway, so this needs an ordinary user.
    QFile::setPermissions(backups, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(backups + "/.").isWritable()) {
        e = backUpCatalogue(folder.catalogue(), nullptr, {}, Now.addSecs(1));
        QVERIFY2(e.message.contains("read-only"), qPrintable(e.message));
        QCOMPARE(listBackups(folder.catalogue()).size(), 2);
    }
    QFile::setPermissions(backups, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

void TestBackup::startupBackupOnlyWhenDueAndChanged()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const QString file = folder.catalogue();

    bool made = false;
    QVERIFY(!backUpAtStartupIfDue(file, made, Now));
    QVERIFY(made);
    QVERIFY(!backUpAtStartupIfDue(file, made, Now.addSecs(23 * 3600)));
    QVERIFY(!made);
    execSql(file, "DELETE FROM Movies WHERE rowid = 3");
    QVERIFY(!backupDueAtStartup(file, Now.addSecs(23 * 3600))); // changed, but the backup is recent

    // Two days on: a change is backed up; once backed up, nothing more is due.
    QVERIFY(!backUpAtStartupIfDue(file, made, Now.addDays(2)));
    QVERIFY(made);
    QCOMPARE(listBackups(file).size(), 2);
    QVERIFY(!backupDueAtStartup(file, Now.addDays(4)));
    // A compaction rewrites the file but keeps its movies: nothing new to keep.
    QVERIFY(!compactCatalogue(file, folder.path() + "/DVDs1.mdb"));
    QVERIFY(!backupDueAtStartup(file, Now.addDays(4)));
    // An edit of one field is a change.
    execSql(file, "UPDATE Movies SET Review = 'Better on second viewing' WHERE rowid = 7");
    QVERIFY(backupDueAtStartup(file, Now.addDays(4)));
    // A clock set back behind the newest backup does not hold backups off.
    QVERIFY(backupDueAtStartup(file, Now.addDays(-3)));

    // A catalogue that cannot be backed up: nothing made, the reason given, and the
    // next start tries again.
    TestFolder broken;
    QFile(broken.catalogue()).open(QIODevice::WriteOnly);
    QVERIFY(backUpAtStartupIfDue(broken.catalogue(), made, Now));
    QVERIFY(!made);
    QVERIFY(backupDueAtStartup(broken.catalogue(), Now));
}

void TestBackup::restoreBringsTheBackupBackInPlace()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const std::vector<Movie> saved = folder.moviesInFile();
    QString backup;
    QVERIFY(!backUpCatalogue(folder.catalogue(), &backup, {}, Now));
    const QByteArray backupBytes = fileBytes(backup);

    execSql(folder.catalogue(), "DELETE FROM Movies WHERE rowid % 3 = 0");
    execSql(folder.catalogue(), "INSERT INTO Movies (Title) VALUES ('Added later')");
    const quint64 identity = testsupport::fileIdentity(folder.catalogue());
    QVERIFY(!restoreBackup(backup, folder.catalogue()));
    QVERIFY(folder.moviesInFile() == saved);
    // Written in place through the journal: the same file, no journal left, the backup untouched.
    QCOMPARE(testsupport::fileIdentity(folder.catalogue()), identity);
    QVERIFY(!QFile::exists(folder.catalogue() + "-journal"));
    QCOMPARE(fileBytes(backup), backupBytes);
    QCOMPARE(catalogueMovieCount(folder.catalogue()), qint64(saved.size()));
}

void TestBackup::restoreRefusesAndChangesNothing()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    QString backup;
    QVERIFY(!backUpCatalogue(folder.catalogue(), &backup, {}, Now));
    execSql(folder.catalogue(), "DELETE FROM Movies WHERE rowid < 10");
    const QByteArray before = fileBytes(folder.catalogue());

    {
        // Another window of the program works on the catalogue.
        std::unique_ptr<Database> open;
        QVERIFY(!Database::open(folder.catalogue(), open));
        const platform::Failure e = restoreBackup(backup, folder.catalogue());
        QVERIFY2(e.message.contains("still open in another window"), qPrintable(e.message));
    }
    QCOMPARE(fileBytes(folder.catalogue()), before);

    // A damaged backup, and a database that is not a catalogue.
    const QString damaged = folder.path() + "/Backups/DVDs-20261201-100000.mdb";
    QFile d(damaged);
    QVERIFY(d.open(QIODevice::WriteOnly));
    d.write(fileBytes(backup).left(3000));
    d.close();
    platform::Failure e = restoreBackup(damaged, folder.catalogue());
    QVERIFY2(e.message.contains("damaged"), qPrintable(e.message));
    const QString stranger = folder.path() + "/Backups/DVDs-20261202-100000.mdb";
    execSql(stranger, "CREATE TABLE Songs (Name TEXT)");
    e = restoreBackup(stranger, folder.catalogue());
    QVERIFY(e);
    QVERIFY(!inspectBackup(stranger).intact);
    QCOMPARE(fileBytes(folder.catalogue()), before);
}

void TestBackup::duplicateTitlesIgnoreCaseAccentsAndBlanks()
{
    QCOMPARE(titleKey("  Amélie \t"), titleKey("AMELIE"));
    QCOMPARE(titleKey("ΣΟΦΊΑ"), titleKey("σοφια"));
    QCOMPARE(titleKey("Ünïcödé"), titleKey("unicode"));
    QVERIFY(titleKey("Alien") != titleKey("Aliens"));
    QVERIFY(titleKey("Le Mépris") != titleKey("LeMepris"));

    TestFolder folder;
    folder.makeCatalogue({movie("Amélie", "Comedy", "2001"), movie("Heat", "Action", ""),
                          movie("Solaris", "Sci-Fi", "1972"), movie("Solaris", "Sci-Fi", "2002")});
    std::unique_ptr<Database> db;
    QVERIFY(!Database::open(folder.catalogue(), db));
    platform::Failure e;
    auto find = [&](const QString &title, const QString &year, sqlite3_int64 except = 0) {
        std::optional<DuplicateMovie> found;
        if (!e)
            e = findDuplicate(db->handle(), title, year, found, except);
        return found;
    };
    auto found = find(" AMELIE ", "2001");
    QVERIFY(found);
    QCOMPARE(found->title, QString("Amélie"));
    QCOMPARE(found->year, QString("2001"));
    QVERIFY(find("amelie", ""));   // an empty year matches any
    QVERIFY(find("Heat", "1995")); // as does an empty year stored
    QVERIFY(!find("Amelie", "2002"));
    QVERIFY(!find("Amelie Poulain", "2001"));
    QVERIFY(!find("   ", ""));
    QCOMPARE(find("solaris", " 2002 ")->year, QString("2002"));
    // The row being edited is not a duplicate of itself, but another row is.
    QVERIFY(!find("Amélie", "2001", 1));
    QVERIFY(find("Solaris", "", 3));
    QVERIFY(!e);
}

void TestBackup::duplicateCheckReportsAnUnreadableCatalogue()
{
    TestFolder folder;
    folder.makeDamagedCatalogue();
    std::unique_ptr<Database> db;
    platform::Failure e = Database::open(folder.catalogue(), db);
    QVERIFY2(db, qPrintable(e.message));
    std::optional<DuplicateMovie> found;
    e = findDuplicate(db->handle(), "Movie 399", "", found);
    QVERIFY(!found);
    QCOMPARE(e.kind, platform::ErrorKind::Damaged);
    QCOMPARE(e.message, QString("The catalogue file DVDs.mdb is damaged."));
    // A title that repeats nothing reads nothing and fails nothing.
    e = findDuplicate(db->handle(), " ", "", found);
    QVERIFY(!found);
    QVERIFY(!e);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
