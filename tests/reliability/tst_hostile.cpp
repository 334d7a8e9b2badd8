// SPDX-License-Identifier: GPL-3.0-or-later
// Other programs on the catalogue: one holding a lock, a second copy in this process,
// and another running copy beside a writer. No save of either side is lost.

#include "catalogue/openfiles.h"
#include "hostilesteps.h"
#include "mainwindow/startup.h"
#include "okwatcher.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "tests/mainwindow/fixture.h"
#include "workload.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using catalogue::Movie;
using reliability::click;
using reliability::compactionRefusal;
using reliability::deleteRefused;
using reliability::finishRefused;
using reliability::sortedTitles;
using testsupport::control;
using testsupport::enter;
using testsupport::flushDeletes;
using testsupport::MessageBoxAnswerer;
using testsupport::movie;
using testsupport::topLevel;

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void lockHeldByAnotherProgram();
    void secondCopyInTheSameProcess();
    void anotherRunningProgramOnTheCatalogue();
};

// Another program holds an exclusive transaction: start-up, saving, deleting and
// searching each give up after the busy timeout with a message; compaction is refused
// at once; once the lock goes, the very entries are saved.
void TestHostile::lockHeldByAnotherProgram()
{
    MainWindowFixture f(smallCollection());
    const QStringList titles = sortedTitles(smallCollection());
    auto lock = [&](QProcess &locker) {
        locker.start(WORKER, {"lock", f.folder.catalogue()});
        return locker.waitForReadyRead(10000) && locker.readLine().trimmed() == "locked";
    };

    {
        QProcess locker;
        QVERIFY(lock(locker));
        QString message = deleteRefused(f);
        QVERIFY2(message.contains("could not be deleted") && message.contains("in use by another program"),
                 qPrintable(message));
        QCOMPARE(f.listedTitles(), titles);

        MessageBoxAnswerer searched(QMessageBox::Ok);
        f.find<QLineEdit>("txtSearch")->setText("a");
        f.click("cmdSearch");
        QVERIFY2(searched.seen().text.contains("in use by another program"), qPrintable(searched.seen().text));

        // Refused at once; the listing that follows the dialog waits for the lock in vain.
        MessageBoxAnswerer relisted(QMessageBox::Ok);
        message = compactionRefusal(f);
        QVERIFY2(
            message.contains(QString("open in another program (reliability_wor, process %1)").arg(locker.processId())),
            qPrintable(message));
        QVERIFY2(relisted.seen().text.contains("in use by another program"), qPrintable(relisted.seen().text));

        // A second start of the program meanwhile.
        MessageBoxAnswerer started(QMessageBox::Ok);
        QVERIFY(runMoviary(f.folder.path()) != 0);
        QVERIFY2(started.seen().text.contains("in use by another program"), qPrintable(started.seen().text));
    }
    f.trigger("ListAll");
    QCOMPARE(f.listedTitles(), titles);

    // The lock comes while the user types a new movie.
    f.trigger("New");
    QWidget *add = topLevel("frmAddNew");
    QVERIFY(add);
    enter(add, movie("Ghost"));
    QProcess locker;
    QVERIFY(lock(locker));
    const QString message = finishRefused(add, "Ghost");
    QVERIFY2(message.contains("in use by another program"), qPrintable(message));
    locker.closeWriteChannel();
    QVERIFY(locker.waitForFinished(10000));

    click(add, "cmdFinish");
    flushDeletes();
    QVERIFY(!topLevel("frmAddNew"));
    std::vector<Movie> expected = smallCollection();
    expected.push_back(movie("Ghost"));
    QVERIFY(f.folder.moviesInFile() == expected);
    QCOMPARE(f.listedTitles(), sortedTitles(expected));
}

// Two main windows on one catalogue, as two running copies: what one changes, the
// other never overwrites or deletes by mistake, and both copies' saves are kept.
void TestHostile::secondCopyInTheSameProcess()
{
    MainWindowFixture f(smallCollection());
    FrmMain second(f.folder.path());
    QVERIFY(second.load());
    f.closeOtherWindows();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    auto secondTitles = [&] {
        QStringList t;
        for (int r = 0; r < second.listModel()->rowCount(); ++r)
            t << second.listModel()->index(r, 0).data().toString();
        return t;
    };
    QCOMPARE(secondTitles(), f.listedTitles());
    const int heat = f.listedTitles().indexOf("Heat");

    // The first copy deletes Heat and edits Speed.
    f.clickRow(heat);
    {
        MessageBoxAnswerer yes(QMessageBox::Yes);
        f.trigger("Delete");
    }
    QVERIFY(!f.listedTitles().contains("Heat"));
    f.clickRow(f.listedTitles().indexOf("Speed"));
    f.trigger("Edit");
    QWidget *edit = topLevel("frmEdit");
    QVERIFY(edit);
    control<QLineEdit>(edit, "Text5")->setText("1995");
    click(edit, "cmdFinish");
    flushDeletes();

    // The second copy still shows both as they were.
    auto selectInSecond = [&](const QString &title) {
        QTableView *list = second.findChild<QTableView *>("fpList1");
        const QModelIndex cell = list->model()->index(secondTitles().indexOf(title), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
        return second.findChild<QLabel *>("lblTitle")->text() == title;
    };
    QVERIFY(selectInSecond("Heat"));
    {
        MessageBoxAnswerer ok(QMessageBox::Ok);
        second.findChild<QAction *>("Edit")->trigger();
        QVERIFY2(ok.seen().text.contains("changed or deleted"), qPrintable(ok.seen().text));
        QVERIFY(!topLevel("frmEdit"));
    }
    {
        MessageBoxAnswerer yes(QMessageBox::Yes);
        MessageBoxAnswerer ok(QMessageBox::Ok);
        second.findChild<QAction *>("Delete")->trigger();
        QVERIFY2(ok.seen().text.contains("changed or deleted elsewhere"), qPrintable(ok.seen().text));
    }
    QVERIFY(selectInSecond("Speed"));
    {
        MessageBoxAnswerer ok(QMessageBox::Ok);
        second.findChild<QAction *>("Edit")->trigger();
        QVERIFY2(ok.seen().text.contains("changed or deleted"), qPrintable(ok.seen().text));
        QVERIFY(!topLevel("frmEdit"));
    }

    // The second copy adds a movie; the first lists it after its next listing.
    second.findChild<QAction *>("New")->trigger();
    QWidget *add = topLevel("frmAddNew");
    QVERIFY(add);
    enter(add, movie("Ghost"));
    click(add, "cmdFinish");
    flushDeletes();
    f.trigger("ListAll");

    std::vector<Movie> expected = smallCollection();
    expected.erase(expected.begin() + 2); // Heat
    expected[0][catalogue::Field::Year] = "1995";
    expected.push_back(movie("Ghost"));
    QVERIFY(f.folder.moviesInFile() == expected);
    QCOMPARE(f.listedTitles(), sortedTitles(expected));
    QCOMPARE(secondTitles(), sortedTitles(expected));
}

// Another program works on the catalogue: a second running copy of Moviary holds it
// open, and a writer adds movies while this copy adds its own. Compaction is refused
// both ways while the other has the file open; no save of either is lost.
void TestHostile::anotherRunningProgramOnTheCatalogue()
{
    MainWindowFixture f(smallCollection());
    const QString program = f.folder.path() + "/moviary";
    QVERIFY(QFile::copy(MOVIARY, program));
    QTemporaryDir home;
    QProcess copy;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.path());
    copy.setProcessEnvironment(env);
    copy.start(program, {});
    QVERIFY(copy.waitForStarted(10000));
    auto copyHasTheFile = [&] {
        for (const catalogue::OtherProcess &p : catalogue::otherProcessesWithFile(f.folder.catalogue()))
            if (p.pid == copy.processId())
                return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(copyHasTheFile(), 20000);

    QString message = compactionRefusal(f);
    QVERIFY2(message.contains(QString("open in another program (moviary, process %1)").arg(copy.processId())),
             qPrintable(message));

    // This copy holds the file open too: the other program's compaction is refused.
    QProcess compactor;
    compactor.start(WORKER, {"compact", f.folder.path()});
    QVERIFY(compactor.waitForFinished(30000));
    QCOMPARE(compactor.exitCode(), 2);
    QVERIFY2(compactor.readAllStandardOutput().contains("in another program"), "compaction not refused");

    // A writer adds movies while this window adds its own through the dialog.
    QProcess writer;
    writer.start(WORKER, {"add", f.folder.path(), "1", "200"});
    QVERIFY(writer.waitForStarted(10000));
    // Each side may find the other in the middle of a save for longer than its busy
    // timeout: this one is then told so and keeps the entries, and Finish is tried again.
    std::vector<Movie> ours;
    reliability::OkWatcher refusals;
    for (int i = 0; i < 4; ++i) {
        f.trigger("New");
        QWidget *add = topLevel("frmAddNew");
        QVERIFY(add);
        ours.push_back(movie(QString("Ours %1").arg(i)));
        enter(add, ours.back());
        for (int attempt = 0; topLevel("frmAddNew") && attempt < 30; ++attempt) {
            click(add, "cmdFinish");
            flushDeletes();
        }
        QVERIFY(!topLevel("frmAddNew"));
    }
    QVERIFY(writer.waitForFinished(60000));
    QVERIFY2(writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == 0,
             writer.readAllStandardError().constData());
    for (const QString &refusal : refusals.texts)
        QVERIFY2(refusal.contains("in use by another program"), qPrintable(refusal));

    copy.kill();
    QVERIFY(copy.waitForFinished(10000));
    QCOMPARE(compactionRefusal(f), QString("compacted"));

    std::vector<Movie> found = f.folder.moviesInFile();
    QCOMPARE(found.size(), size_t(7 + 4 + 200));
    std::vector<Movie> expected = smallCollection();
    expected.insert(expected.end(), ours.begin(), ours.end());
    for (qint64 s = 1; s <= 200; ++s)
        expected.push_back(reliability::workloadMovie(s));
    auto byTitle = [](const Movie &a, const Movie &b) { return a.values < b.values; };
    std::sort(found.begin(), found.end(), byTitle);
    std::sort(expected.begin(), expected.end(), byTitle);
    QVERIFY(found == expected);
    QCOMPARE(f.listedTitles(), sortedTitles(expected));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestHostile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostile.moc"
