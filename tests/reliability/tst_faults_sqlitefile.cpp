// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of failure the low-level file helper reports, from SQLite's codes: a disk
// that fills or fails under a copy or a read, through the fault layer.
#include "faultvfs.h"

#include "catalogue/backup.h"
#include "catalogue/sqlitefile.h"
#include "tests/common/testfolder.h"

#include <QDir>
#include <QTest>

#include <cerrno>

using faultvfs::Op;
using platform::ErrorKind;

Q_DECLARE_METATYPE(ErrorKind)
Q_DECLARE_METATYPE(faultvfs::Op)

class TestFaultsSqliteFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { faultvfs::install(); }
    void cleanup() { faultvfs::disarm(); }
    void kindsFollowTheCodes_data();
    void kindsFollowTheCodes();
    void copyUnderAFault_data();
    void copyUnderAFault();
    void readUnderAFault();
    void flushAndFileName();
};

void TestFaultsSqliteFile::kindsFollowTheCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("systemError");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("full") << SQLITE_FULL << 0 << platform::ErrorKind::DiskFull;
    QTest::newRow("write failed, no space") << SQLITE_IOERR_WRITE << ENOSPC << platform::ErrorKind::DiskFull;
    QTest::newRow("write failed") << SQLITE_IOERR_WRITE << EIO << platform::ErrorKind::Io;
    QTest::newRow("sync failed") << SQLITE_IOERR_FSYNC << 0 << platform::ErrorKind::Io;
    QTest::newRow("damaged index") << SQLITE_CORRUPT_INDEX << 0 << platform::ErrorKind::Damaged;
    QTest::newRow("not a database") << SQLITE_NOTADB << 0 << platform::ErrorKind::NotACatalogue;
    QTest::newRow("locked by a snapshot") << SQLITE_BUSY_SNAPSHOT << 0 << platform::ErrorKind::Busy;
    QTest::newRow("read-only folder") << SQLITE_READONLY_DIRECTORY << 0 << platform::ErrorKind::ReadOnly;
    QTest::newRow("no such folder") << SQLITE_CANTOPEN_ISDIR << 0 << platform::ErrorKind::CantOpen;
    QTest::newRow("done") << SQLITE_DONE << 0 << platform::ErrorKind::None;
}

void TestFaultsSqliteFile::kindsFollowTheCodes()
{
    QFETCH(int, code);
    QFETCH(int, systemError);
    QFETCH(ErrorKind, kind);
    QCOMPARE(catalogue::errorKind(code, systemError), kind);
}

void TestFaultsSqliteFile::copyUnderAFault_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<int>("code");
    QTest::addColumn<ErrorKind>("kind");
    QTest::newRow("disk full") << Op::Write << SQLITE_FULL << platform::ErrorKind::DiskFull;
    QTest::newRow("write fails") << Op::Write << SQLITE_IOERR_WRITE << platform::ErrorKind::Io;
    QTest::newRow("read fails") << Op::Read << SQLITE_IOERR_READ << platform::ErrorKind::Io;
}

void TestFaultsSqliteFile::copyUnderAFault()
{
    QFETCH(Op, op);
    QFETCH(int, code);
    QFETCH(ErrorKind, kind);
    testsupport::TestFolder folder;
    folder.makeSampleCatalogue();
    int rc = SQLITE_OK;
    const catalogue::ConnectionPtr from = catalogue::openConnection(folder.catalogue(), SQLITE_OPEN_READONLY, rc);
    QCOMPARE(rc, SQLITE_OK);
    const catalogue::ConnectionPtr to =
        catalogue::openConnection(folder.path() + "/copy.mdb", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, rc);
    QCOMPARE(rc, SQLITE_OK);
    faultvfs::arm(op, 1, code, 0);
    const int copied = catalogue::copyDatabase(to.get(), from.get());
    QVERIFY(faultvfs::disarm() > 0);
    QCOMPARE(catalogue::errorKind(copied), kind);
    QCOMPARE(catalogue::copyDatabase(to.get(), from.get()), SQLITE_OK);
}

void TestFaultsSqliteFile::readUnderAFault()
{
    testsupport::TestFolder folder;
    folder.makeSampleCatalogue();
    int rc = SQLITE_OK;
    const catalogue::ConnectionPtr db = catalogue::openConnection(folder.catalogue(), SQLITE_OPEN_READONLY, rc);
    qint64 movies = 0;
    faultvfs::arm(Op::Read, 1, SQLITE_IOERR_READ, 0);
    QVERIFY(!catalogue::readValue(db.get(), "SELECT count(*) FROM Movies", movies, &rc));
    QCOMPARE(catalogue::errorKind(rc), platform::ErrorKind::Io);
    // A backup that cannot be read says so by its code, whatever its message.
    const catalogue::BackupContents contents = catalogue::inspectBackup(folder.catalogue());
    QVERIFY(!contents.intact);
    QCOMPARE(catalogue::errorKind(contents.code), platform::ErrorKind::Io);
    faultvfs::disarm();
    QVERIFY(catalogue::readValue(db.get(), "SELECT count(*) FROM Movies", movies, &rc));
    QVERIFY(movies > 0);
    QVERIFY(!catalogue::readValue(db.get(), "SELECT 1 WHERE 0", movies, &rc));
    QCOMPARE(rc, SQLITE_NOTFOUND);
}

void TestFaultsSqliteFile::flushAndFileName()
{
    testsupport::TestFolder folder;
    folder.makeSampleCatalogue();
    QVERIFY(!catalogue::flushToDisk(folder.catalogue()));
    QVERIFY(!catalogue::flushToDisk(folder.path()));
    const platform::Failure why = catalogue::flushToDisk(folder.path() + "/missing.mdb");
    QCOMPARE(why.kind, platform::ErrorKind::Io);
    QVERIFY(!why.message.isEmpty());
    int rc = SQLITE_OK;
    const catalogue::ConnectionPtr db = catalogue::openConnection(folder.catalogue(), SQLITE_OPEN_READONLY, rc);
    QCOMPARE(QDir(catalogue::fileOf(db.get())).canonicalPath(), QDir(folder.catalogue()).canonicalPath());
    const catalogue::ConnectionPtr memory = catalogue::openConnection(":memory:", SQLITE_OPEN_READWRITE, rc);
    QVERIFY(catalogue::fileOf(memory.get()).isEmpty());
}

QTEST_GUILESS_MAIN(TestFaultsSqliteFile)
#include "tst_faults_sqlitefile.moc"
