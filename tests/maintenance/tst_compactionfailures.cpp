// SPDX-License-Identifier: GPL-3.0-or-later
// Compactions that must not happen or cannot finish: the catalogue open elsewhere, or
// no way to write the copy. Each leaves the catalogue exactly as it was.

#include "compactionfixture.h"
#include "maintenance/frmcompact.h"
#include "platform/appfolder.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QWindow>
#include <QtTest>
#include <optional>

using namespace compactiontest;
using catalogue::RecordCursor;
using maintenance::FrmCompact;
using testsupport::fileBytes;
using testsupport::TestFolder;

class TestCompactionFailures : public QObject {
    Q_OBJECT
private slots:
    void refusedWhileTheCatalogueIsOpenElsewhere();
    void failedCopyLeavesTheCatalogueAsItWas();
};

void TestCompactionFailures::refusedWhileTheCatalogueIsOpenElsewhere()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const QByteArray before = fileBytes(folder.catalogue());
    FakeHost host(folder.path());

    // Another window of this program, such as the printed list, holds its own cursor.
    {
        RecordCursor other;
        other.setDatabaseName(folder.catalogue());
        other.setRecordSource("select * from Movies order by Title");
        QVERIFY(other.refresh());
        FrmCompact dialog(host);
        runCompaction(dialog);
        expectFailureShown(dialog, "another window");
        QVERIFY(!bar(dialog)->isVisible());
        QTest::mouseClick(button(dialog, "cmdCompact"), Qt::LeftButton);
        QCOMPARE(host.listings, 1);
    }
    host.cursor.closeDatabase();
    QCOMPARE(fileBytes(folder.catalogue()), before);
    QVERIFY(!QFileInfo::exists(platform::compactionWorkFile(folder.path())));

#ifdef Q_OS_LINUX
    // Another running program, such as a second copy of this one, holds the file open.
    QProcess holder;
    holder.start("/bin/sh", {"-c", "exec 3<\"$1\"; echo ready; exec sleep 60", "holder", folder.catalogue()});
    QVERIFY(holder.waitForReadyRead(10000));
    {
        FrmCompact dialog(host);
        runCompaction(dialog);
        expectFailureShown(dialog, "another program");
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.windowHandle()->close();
        QCOMPARE(host.listings, 2);
    }
    holder.kill();
    holder.waitForFinished();
    host.cursor.closeDatabase();
    QCOMPARE(fileBytes(folder.catalogue()), before);
    QVERIFY(!QFileInfo::exists(platform::compactionWorkFile(folder.path())));
#endif
}

void TestCompactionFailures::failedCopyLeavesTheCatalogueAsItWas()
{
    TestFolder folder;
    folder.makeCatalogue(manyMovies(2000));
    QCOMPARE(sqlAnswer(folder.catalogue(), "DELETE FROM Movies WHERE rowid % 2 = 0"), QString::number(SQLITE_DONE));
    const QByteArray before = fileBytes(folder.catalogue());
    const QString work = platform::compactionWorkFile(folder.path());
    FakeHost host(folder.path());
    // Where no backup can be made either, the user chooses to go on without one.
    auto failsWith = [&](const QString &reasonPart, bool backupFails = false) {
        {
            FrmCompact dialog(host);
            std::optional<testsupport::MessageBoxAnswerer> goOn;
            if (backupFails)
                goOn.emplace(QMessageBox::Yes);
            runCompaction(dialog);
            if (backupFails) {
                QVERIFY(goOn->seen().shown);
                QVERIFY2(goOn->seen().text.contains(reasonPart), qPrintable(goOn->seen().text));
            }
            expectFailureShown(dialog, reasonPart);
        }
        host.cursor.closeDatabase();
        QCOMPARE(fileBytes(folder.catalogue()), before);
    };

    // A folder in the work file's place: the copy cannot be made, even by root.
    QVERIFY(QDir(folder.path()).mkdir("DVDs1.mdb"));
    failsWith("DVDs1.mdb");
    QVERIFY(QFileInfo(work).isDir());
    QVERIFY(QDir(folder.path()).rmdir("DVDs1.mdb"));

#ifdef Q_OS_UNIX
    // No room for the copy: the process may write no file past two pages.
    {
        const testsupport::FileSizeLimit full(8192);
        failsWith("disk is full", true);
    }
    QVERIFY(!QFileInfo::exists(work));

    // A read-only folder; root writes anyway, so this case needs an ordinary user.
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool readOnly = !QFileInfo(folder.path() + "/.").isWritable();
    if (readOnly)
        failsWith("read-only", true);
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!QFileInfo::exists(work));
    if (!readOnly)
        QSKIP("running as root: a read-only folder cannot be provoked");
#endif
}

QTEST_MAIN(TestCompactionFailures)
#include "tst_compactionfailures.moc"
