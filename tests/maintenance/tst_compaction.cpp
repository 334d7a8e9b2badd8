// SPDX-License-Identifier: GPL-3.0-or-later
// The compaction dialog as it should go: its look, the ways of leaving it, a run that
// shrinks the catalogue, and a leftover work file from an interrupted run.

#include "compactionfixture.h"
#include "maintenance/frmcompact.h"
#include "platform/appfolder.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QWindow>
#include <QtTest>

using namespace compactiontest;
using catalogue::Movie;
using maintenance::FrmCompact;
using testsupport::fileBytes;
using testsupport::TestFolder;
using testsupport::writeFile;

namespace {

// What the dialog showed each time the bar changed width.
struct BarState {
    int width;
    QString status;
    bool cancelEnabled;
    bool hourglass;
};

class BarWatcher : public QObject {
public:
    std::vector<BarState> seen;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize) {
            auto *bar = static_cast<QWidget *>(watched);
            const QCursor *cursor = QApplication::overrideCursor();
            seen.push_back({bar->width(), bar->window()->findChild<QLabel *>("lblStatus")->text(),
                            bar->window()->findChild<QPushButton *>("cmdCancel")->isEnabled(),
                            cursor && cursor->shape() == Qt::WaitCursor});
        }
        return false;
    }
};

} // namespace

class TestCompaction : public QObject {
    Q_OBJECT
private slots:
    void cancelHelpAndCloseBoxLeaveTheFilesAndRelist();
    void compactsAndListsTheSameMovies();
    void leftoverWorkFileNeitherBlocksNorReplaces();
};

void TestCompaction::cancelHelpAndCloseBoxLeaveTheFilesAndRelist()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const QByteArray before = fileBytes(folder.catalogue());
    FakeHost host(folder.path());
    {
        FrmCompact dialog(host);
        dialog.show();
        QCOMPARE(dialog.objectName(), QString("frmCompact"));
        QCOMPARE(dialog.windowTitle(), QString("Database"));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(label(dialog, "lblStatus")->text(), QString("Compact Database ?"));
        QCOMPARE(button(dialog, "cmdCompact")->text(), QString("Do It Now"));
        QVERIFY(!button(dialog, "cmdCompact")->font().bold());
        QVERIFY(button(dialog, "cmdCancel")->isEnabled());
        QVERIFY(!bar(dialog)->isVisible());

        // No help file beside the program: the help window says so, the dialog stays as it was.
        QTest::mouseClick(button(dialog, "cmdHelp"), Qt::LeftButton);
        QWidget *help = testsupport::topLevel("HelpViewer");
        QVERIFY(help);
        QVERIFY(dialog.isVisible());
        QCOMPARE(label(dialog, "lblStatus")->text(), QString("Compact Database ?"));
        QCOMPARE(host.listings, 0);
        help->close();

        QTest::mouseClick(button(dialog, "cmdCancel"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(host.listings, 1);
    }
    {
        FrmCompact dialog(host);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.windowHandle()->close();
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(host.listings, 2);
    {
        // Escape does what Cancel does.
        FrmCompact dialog(host);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(host.listings, 3);
    QCOMPARE(host.cursor.absolutePosition(), 0);
    host.cursor.closeDatabase();
    QCOMPARE(fileBytes(folder.catalogue()), before);
    QVERIFY(!QFileInfo::exists(platform::compactionWorkFile(folder.path())));
}

void TestCompaction::compactsAndListsTheSameMovies()
{
    TestFolder folder;
    folder.makeCatalogue(manyMovies(3000));
    QCOMPARE(sqlAnswer(folder.catalogue(), "DELETE FROM Movies WHERE rowid % 10 <> 0"), QString::number(SQLITE_DONE));
    const std::vector<Movie> expected = folder.moviesInFile();
    const qint64 sizeBefore = QFileInfo(folder.catalogue()).size();
    const quint64 identity = testsupport::fileIdentity(folder.catalogue());

    FakeHost host(folder.path());
    const QStringList titlesBefore = host.listedTitles();
    QCOMPARE(titlesBefore.size(), 300);
    FrmCompact dialog(host);
    dialog.show();
    BarWatcher watcher;
    bar(dialog)->installEventFilter(&watcher);
    runCompaction(dialog);

    // Working: the bar steps through its widths under the hourglass, Cancel disabled.
    QList<int> widths;
    for (const BarState &s : watcher.seen)
        widths << s.width;
    QCOMPARE(widths, (QList<int>{widgets::twips(4095), widgets::twips(1435), widgets::twips(2415), widgets::twips(3255),
                                 widgets::twips(4095)}));
    for (size_t i = 1; i + 1 < watcher.seen.size(); ++i) {
        QCOMPARE(watcher.seen[i].status, QString("Please Wait..."));
        QVERIFY(watcher.seen[i].hourglass);
        QVERIFY(!watcher.seen[i].cancelEnabled);
    }
    expectFinished(dialog, "Database Compacted !");
    QVERIFY(bar(dialog)->isVisible());
    QCOMPARE(bar(dialog)->width(), widgets::twips(4095));
    QVERIFY(!label(dialog, "lblReason")->isVisible());
    QVERIFY(!host.cursor.isOpen());
    QCOMPARE(host.listings, 0);

    QVERIFY(!QFileInfo::exists(platform::compactionWorkFile(folder.path())));
    // Rewritten in place, never deleted and replaced by another file.
    QCOMPARE(testsupport::fileIdentity(folder.catalogue()), identity);
    QCOMPARE(sqlAnswer(folder.catalogue(), "PRAGMA integrity_check"), QString("ok"));
    QVERIFY(folder.moviesInFile() == expected);
    QVERIFY2(QFileInfo(folder.catalogue()).size() < sizeBefore / 3,
             qPrintable(QString("%1 -> %2").arg(sizeBefore).arg(QFileInfo(folder.catalogue()).size())));

    // With Cancel disabled, Escape does nothing.
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(host.listings, 0);

    // "Finish" closes without compacting again, which would clear away a new work file.
    const QString marker = platform::compactionWorkFile(folder.path());
    writeFile(marker, "marker");
    QTest::mouseClick(button(dialog, "cmdCompact"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(fileBytes(marker), QByteArray("marker"));
    QCOMPARE(host.listings, 1);
    QCOMPARE(host.listedTitles(), titlesBefore);
    QCOMPARE(host.cursor.absolutePosition(), 0);
}

void TestCompaction::leftoverWorkFileNeitherBlocksNorReplaces()
{
    TestFolder folder;
    folder.makeSampleCatalogue();
    const std::vector<Movie> expected = folder.moviesInFile();
    const QString work = platform::compactionWorkFile(folder.path());
    FakeHost host(folder.path());

    // Garbage from an interrupted run, with a journal of its own.
    QByteArray garbage(64 * 1024, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
    writeFile(work, garbage);
    writeFile(work + "-journal", garbage);
    {
        FrmCompact dialog(host);
        runCompaction(dialog);
        expectFinished(dialog, "Database Compacted !");
    }
    QVERIFY(!QFileInfo::exists(work));
    QVERIFY(!QFileInfo::exists(work + "-journal"));
    QVERIFY(folder.moviesInFile() == expected);

    // A leftover that is itself a good catalogue of other movies never takes the place of DVDs.mdb.
    {
        TestFolder other;
        other.makeCatalogue({testsupport::movie("Not Ours")});
        QVERIFY(QFile::copy(other.catalogue(), work));
    }
    {
        FrmCompact dialog(host);
        runCompaction(dialog);
        expectFinished(dialog, "Database Compacted !");
    }
    QVERIFY(!QFileInfo::exists(work));
    QVERIFY(folder.moviesInFile() == expected);
}

QTEST_MAIN(TestCompaction)
#include "tst_compaction.moc"
