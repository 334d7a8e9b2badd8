// SPDX-License-Identifier: GPL-3.0-or-later
// Engine faults along a backup and a restore: every write, sync, read or truncate is
// made to fail in turn, through a layer under SQLite, in the backup itself, in the
// restore, and in the restore dialog on the real main window.
#include "faultcases.h"

#include "catalogue/backup.h"
#include "maintenance/frmrestore.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using catalogue::Movie;
using namespace faultcases;

namespace {

// Files in the backup folder that are not finished backups: work files of a backup
// that failed must not stay behind.
QStringList strayFiles(const QString &catalogueFile)
{
    QStringList stray;
    QStringList backups;
    for (const catalogue::BackupFile &b : catalogue::listBackups(catalogueFile))
        backups << QFileInfo(b.path).fileName();
    for (const QString &name : QDir(catalogue::backupFolder(catalogueFile)).entryList(QDir::Files | QDir::Hidden))
        if (!backups.contains(name))
            stray << name;
    return stray;
}

} // namespace

class TestFaultsBackup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void cleanupTestCase() { total_.report("all backups and restores"); }
    void backupUnderEveryFault();
    void restoreUnderEveryFault();
    void restoreDialogUnderEveryFault();

private:
    Tally total_;
};

// A backup only reads the catalogue: whatever fails, the catalogue is as it was, and
// either one checked backup holding every movie is there, or none and a message
// that names the problem.
void TestFaultsBackup::backupUnderEveryFault()
{
    testsupport::TestFolder folder;
    const QString file = folder.catalogue();
    Tally tally;
    int syncs = 0;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where("backup", fault, n);
            testsupport::writeFile(file, fullCatalogue());
            QDir(catalogue::backupFolder(file)).removeRecursively();
            const Snapshot before = snapshot(file);

            faultvfs::resetCounts();
            faultvfs::arm(fault.op, n, fault.code, fault.times);
            QString made;
            const platform::Failure error = catalogue::backUpCatalogue(file, &made);
            const int injected = faultvfs::disarm();
            syncs = std::max(syncs, faultvfs::count(faultvfs::Op::Sync));

            const Snapshot after = snapshot(file);
            QVERIFY2(after.bytes == before.bytes, qPrintable(ctx + ": the catalogue changed"));
            QVERIFY2(strayFiles(file).isEmpty(), qPrintable(ctx + ": left " + strayFiles(file).join(' ')));
            const QList<catalogue::BackupFile> listed = catalogue::listBackups(file);
            if (error) {
                QVERIFY2(injected, qPrintable(ctx + ": failed without a fault: " + error.message));
                QVERIFY2(listed.isEmpty(), qPrintable(ctx + ": a failed backup counts"));
                QVERIFY2(namesProblem(fault, error.message), qPrintable(ctx + ": " + error.message));
                ++tally.refused;
            } else {
                QCOMPARE(listed.size(), 1);
                QCOMPARE(listed.first().path, made);
                const Snapshot backup = snapshot(made);
                QCOMPARE(backup.integrity, QString("ok"));
                QVERIFY2(backup.movies == before.movies, qPrintable(ctx + ": the backup lacks movies"));
                if (injected)
                    ++tally.completed;
            }
            tally.injected += injected;
            if (!injected)
                break;
        }
    }
    QVERIFY2(syncs > 0, "a backup is never flushed through SQLite");
    tally.report("backup");
    total_ += tally;
}

// A restore writes the whole catalogue: it holds either every movie of the backup or
// exactly what it held before, with a message naming the problem.
void TestFaultsBackup::restoreUnderEveryFault()
{
    testsupport::TestFolder folder;
    const QString file = folder.catalogue();
    testsupport::writeFile(file, fragmentedCatalogue());
    QString backup;
    QVERIFY(!catalogue::backUpCatalogue(file, &backup));
    const Snapshot saved = snapshot(backup);
    Tally tally;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where("restore", fault, n);
            testsupport::writeFile(file, fullCatalogue());
            const Snapshot before = snapshot(file);

            faultvfs::arm(fault.op, n, fault.code, fault.times);
            const platform::Failure error = catalogue::restoreBackup(backup, file);
            const int injected = faultvfs::disarm();
            const Snapshot after = snapshot(file);
            QVERIFY2(snapshot(backup).bytes == saved.bytes, qPrintable(ctx + ": the backup changed"));
            if (!injected) {
                QVERIFY2(!error, qPrintable(error.message));
                QVERIFY(after.movies == saved.movies);
                break;
            }
            tally.injected += injected;
            const QStringList messages = error ? QStringList{error.message} : QStringList{};
            const bool completed = checkOutcome(ctx, fault, messages, before, after, saved.movies, false);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(completed == !error,
                     qPrintable(ctx + ": the answer does not tell what happened: " + error.message));
            ++(completed ? tally.completed : tally.refused);
        }
    }
    tally.report("restore");
    total_ += tally;
}

// Through the dialog, the backup of the current catalogue and the restore both meet
// the fault; every message names it, and the main window lists what the file holds.
void TestFaultsBackup::restoreDialogUnderEveryFault()
{
    Tally tally;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where("restore dialog", fault, n);
            Program p(fullCatalogue());
            const QString file = p.folder.catalogue();
            // The backup to bring back holds half the movies.
            {
                testsupport::TestFolder other;
                testsupport::writeFile(other.catalogue(), fragmentedCatalogue());
                QString made;
                QVERIFY(!catalogue::backUpCatalogue(other.catalogue(), &made));
                QVERIFY(QDir().mkpath(catalogue::backupFolder(file)));
                QVERIFY(QFile::copy(made, catalogue::backupFolder(file) + "/DVDs-20200101-120000.mdb"));
            }
            const Snapshot saved = snapshot(catalogue::backupFolder(file) + "/DVDs-20200101-120000.mdb");
            const Snapshot before = snapshot(file);

            auto *dialog = new maintenance::FrmRestore(*p.window, file);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->show();
            auto *list = control<QListWidget>(dialog, "lstBackups");
            QTRY_VERIFY(list->count() == 1 && (list->item(0)->flags() & Qt::ItemIsSelectable));
            list->setCurrentRow(0);

            faultvfs::arm(fault.op, n, fault.code, fault.times);
            QStringList boxes;
            {
                BoxWatcher watcher;
                control<QPushButton>(dialog, "cmdRestore")->click();
                boxes = watcher.texts;
            }
            // The question before and the report of success name no fault.
            QVERIFY2(!boxes.isEmpty() && boxes.first().startsWith("Replace the catalogue"), qPrintable(ctx));
            boxes.removeFirst();
            boxes.removeIf([](const QString &text) { return text.contains(" was restored. "); });
            const int injected = faultvfs::disarm();
            const Snapshot after = snapshot(file);
            if (topLevel("frmRestore"))
                dialog->close();
            flushDeletes();
            if (!injected) {
                QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join('\n')));
                QVERIFY(after.movies == saved.movies);
                QCOMPARE(p.listedTitles(), titlesOf(saved.movies));
                break;
            }
            tally.injected += injected;
            const bool completed = checkOutcome(ctx, fault, boxes, before, after, saved.movies, false);
            if (QTest::currentTestFailed())
                return;
            ++(completed ? tally.completed : tally.refused);
            // The listing may itself have met the fault; listed again, it shows the file.
            p.window->listAllRecords();
            QCOMPARE(p.listedTitles(), titlesOf(after.movies));
        }
    }
    tally.report("restore dialog");
    total_ += tally;
}

QTEST_MAIN(TestFaultsBackup)
#include "tst_faults_backup.moc"
