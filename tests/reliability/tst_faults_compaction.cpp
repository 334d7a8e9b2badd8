// SPDX-License-Identifier: GPL-3.0-or-later
// Engine faults along a compaction: every write, sync, read or truncate is made to
// fail in turn, through a layer under SQLite, both in the compaction itself and in
// its dialog, where the backup taken first meets the faults too.
#include "faultcases.h"

#include "catalogue/compaction.h"
#include "platform/appfolder.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using catalogue::Movie;
using namespace faultcases;

class TestFaultsCompaction : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void cleanupTestCase() { total_.report("all compactions"); }
    void compactionUnderEveryFault();
    void compactionDialogUnderEveryFault();

private:
    Tally total_;
};

void TestFaultsCompaction::compactionUnderEveryFault()
{
    testsupport::TestFolder folder;
    const QString file = folder.catalogue();
    const QString work = platform::compactionWorkFile(folder.path());
    Tally tally;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where("compaction", fault, n);
            {
                QFile f(file);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                QCOMPARE(f.write(fragmentedCatalogue()), fragmentedCatalogue().size());
            }
            const Snapshot before = snapshot(file);
            QCOMPARE(before.bytes, fragmentedCatalogue());

            faultvfs::arm(fault.op, n, fault.code, fault.times);
            const platform::Failure error = catalogue::compactCatalogue(file, work);
            const int injected = faultvfs::disarm();
            const Snapshot after = snapshot(file);
            QVERIFY2(!QFile::exists(work), qPrintable(ctx + ": the work file was left behind"));
            QVERIFY2(!QFile::exists(work + "-journal"), qPrintable(ctx + ": the work file's journal was left behind"));
            if (!injected) {
                QVERIFY2(!error, qPrintable(error.message));
                QCOMPARE(after.movies, before.movies);
                QVERIFY(after.bytes.size() < before.bytes.size());
                break;
            }
            tally.injected += injected;
            const QStringList messages = error ? QStringList{error.message} : QStringList{};
            const bool completed = checkOutcome(ctx, fault, messages, before, after, before.movies, true);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(completed == !error,
                     qPrintable(ctx + ": the answer does not tell what happened: " + error.message));
            ++(completed ? tally.completed : tally.refused);
        }
    }
    tally.report("compaction");
    total_ += tally;
}

void TestFaultsCompaction::compactionDialogUnderEveryFault()
{
    Tally tally;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where("compaction dialog", fault, n);
            Program p(fragmentedCatalogue());
            const Snapshot before = snapshot(p.folder.catalogue());
            p.trigger("Compact");
            QPointer<QWidget> dialog = topLevel("frmCompact");
            QVERIFY(dialog);

            faultvfs::arm(fault.op, n, fault.code, fault.times);
            QStringList boxes;
            {
                BoxWatcher watcher;
                control<QPushButton>(dialog, "cmdCompact")->click();
                boxes = watcher.texts;
            }
            const int injected = faultvfs::disarm();
            // The only question is whether to go on when the backup taken first failed;
            // the watcher goes on.
            for (const QString &box : boxes)
                QVERIFY2(box.endsWith("Go on without a backup?") && namesProblem(fault, box),
                         qPrintable(ctx + ": " + box));
            const QString status = control<QLabel>(dialog, "lblStatus")->text();
            const QString reason = control<QLabel>(dialog, "lblReason")->text();
            const Snapshot after = snapshot(p.folder.catalogue());
            QVERIFY(!QFile::exists(platform::compactionWorkFile(p.folder.path())));
            if (!injected) {
                QCOMPARE(status, QString("Database Compacted !"));
                QCOMPARE(after.movies, before.movies);
                break;
            }
            tally.injected += injected;
            const bool failed = status == "Compaction failed";
            QVERIFY2(failed || status == "Database Compacted !", qPrintable(ctx + ": " + status));
            const bool completed = checkOutcome(ctx, fault, failed ? QStringList{reason} : QStringList{}, before, after,
                                                before.movies, true);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(completed == !failed, qPrintable(ctx + ": the dialog does not tell what happened"));
            ++(completed ? tally.completed : tally.refused);

            // Finish closes the dialog and the main window lists every movie again.
            control<QPushButton>(dialog, "cmdCompact")->click();
            flushDeletes();
            QCOMPARE(p.listedTitles(), titlesOf(before.movies));
        }
    }
    tally.report("compaction dialog");
    total_ += tally;
}

QTEST_MAIN(TestFaultsCompaction)
#include "tst_faults_compaction.moc"
