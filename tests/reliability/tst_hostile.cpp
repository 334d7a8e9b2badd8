#include "catalogue/openfiles.h"
#include "mainwindow/startup.h"
#include "okwatcher.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "tests/mainwindow/fixture.h"
#include "workload.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

using catalogue::Movie;
using testsupport::control;
using testsupport::enter;
using testsupport::fileBytes;
using testsupport::flushDeletes;
using testsupport::MessageBoxAnswerer;
using testsupport::movie;
using testsupport::topLevel;

namespace {

bool privateMounts = false;

// Mounts made by this test stay inside this process.
bool enterPrivateMountNamespace()
{
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

// Ends the fixture's window, so that this process no longer has the catalogue open.
void stopWindow(MainWindowFixture &f)
{
    f.closeOtherWindows();
    f.window.reset();
    flushDeletes();
}

bool startWindow(MainWindowFixture &f)
{
    f.window = std::make_unique<FrmMain>(f.folder.path());
    if (!f.window->load())
        return false;
    f.window->show();
    f.closeOtherWindows();
    return QTest::qWaitForWindowExposed(f.window.get());
}

// Sets or clears the flag that forbids every change of a file or folder, even to root.
bool setImmutable(const QString &path, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

bool fileWritable(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

bool folderWritable(const QString &folder)
{
    QFile probe(folder + "/probe");
    const bool ok = probe.open(QIODevice::WriteOnly);
    probe.remove();
    return ok;
}

// Makes the application folder or its catalogue read-only in one of several ways and
// undoes it afterwards. A way that does not really stop writes here is reported.
class ReadOnly {
public:
    ReadOnly(const QString &way, const QString &folder) : way_(way), folder_(folder), file_(folder + "/DVDs.mdb")
    {
        if (way == "file without write permission")
            applied_ = QFile::setPermissions(file_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        else if (way == "folder without write permission")
            applied_ = QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
        else if (way == "immutable file")
            applied_ = setImmutable(file_, true);
        else if (way == "immutable folder")
            applied_ = setImmutable(folder_, true);
        else if (way == "read-only mount")
            applied_ = mountReadOnly();
    }
    ~ReadOnly() { undo(); }

    QString whyNot() const
    {
        if (!applied_)
            return way_ + " cannot be made here";
        if (way_.contains("file") ? fileWritable(file_) : folderWritable(folder_))
            return way_ + " still lets this user write";
        return {};
    }

    void undo()
    {
        if (!applied_)
            return;
        applied_ = false;
        if (way_ == "file without write permission")
            QFile::setPermissions(file_, QFile::ReadOwner | QFile::WriteOwner);
        else if (way_ == "folder without write permission")
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        else if (way_ == "immutable file")
            setImmutable(file_, false);
        else if (way_ == "immutable folder")
            setImmutable(folder_, false);
        else if (way_ == "read-only mount")
            umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
    }

private:
    // A small file system of its own over the folder, holding a copy of the catalogue,
    // then switched to read-only.
    bool mountReadOnly()
    {
        if (!privateMounts)
            return false;
        const QByteArray catalogue = fileBytes(file_);
        const QByteArray where = QFile::encodeName(folder_);
        if (mount("moviary-test", where.constData(), "tmpfs", 0, "size=16m") != 0)
            return false;
        QFile copy(file_);
        const bool copied = copy.open(QIODevice::WriteOnly) && copy.write(catalogue) == catalogue.size();
        copy.close();
        if (!copied || mount(nullptr, where.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            umount2(where.constData(), MNT_DETACH);
            return false;
        }
        return true;
    }

    QString way_;
    QString folder_;
    QString file_;
    bool applied_ = false;
};

// Clicks Finish on a dialog that must refuse to save: the message is answered, and
// the dialog stays open with what was typed.
QString finishRefused(QWidget *dialog, const QString &typedTitle)
{
    MessageBoxAnswerer ok(QMessageBox::Ok);
    click(dialog, "cmdFinish");
    flushDeletes();
    if (!ok.seen().shown)
        return "no message";
    if (!dialog->isVisible() || control<QLineEdit>(dialog, "Text1")->text() != typedTitle)
        return "the dialog lost the entries";
    return ok.seen().text;
}

// Deletes the main window's current movie, confirming it; answers the message that
// follows when the delete is refused.
QString deleteRefused(MainWindowFixture &f)
{
    MessageBoxAnswerer yes(QMessageBox::Yes);
    MessageBoxAnswerer ok(QMessageBox::Ok);
    f.trigger("Delete");
    return ok.seen().shown ? ok.seen().text : QString("no message");
}

// Runs the compaction dialog and closes it; answers the reason it showed for a failure,
// or "compacted".
QString compactionRefusal(MainWindowFixture &f)
{
    f.trigger("Compact");
    QWidget *dialog = topLevel("frmCompact");
    if (!dialog)
        return "no compaction dialog";
    // Where the backup taken first cannot be made, the user goes on without one. The
    // watch ends with the click, so that it never answers a later box.
    QTimer goOn;
    goOn.setInterval(0);
    QObject::connect(&goOn, &QTimer::timeout, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->isVisible() && box->text().endsWith("Go on without a backup?"))
            box->button(QMessageBox::Yes)->click();
    });
    goOn.start();
    click(dialog, "cmdCompact");
    goOn.stop();
    const QString reason = control<QLabel>(dialog, "lblReason")->isVisibleTo(dialog)
                               ? control<QLabel>(dialog, "lblReason")->text()
                               : QString("compacted");
    click(dialog, "cmdCompact");
    flushDeletes();
    return reason;
}

QStringList sortedTitles(std::vector<Movie> movies)
{
    QStringList titles;
    for (const Movie &m : movies)
        titles << m[catalogue::Field::Title];
    titles.sort(Qt::CaseInsensitive);
    return titles;
}

} // namespace

class TestHostile : public QObject {
    Q_OBJECT
private slots:
    void readOnlyCatalogueListsAndRefusesChanges_data();
    void readOnlyCatalogueListsAndRefusesChanges();
    void lockHeldByAnotherProgram();
    void secondCopyInTheSameProcess();
    void anotherRunningProgramOnTheCatalogue();
};

void TestHostile::readOnlyCatalogueListsAndRefusesChanges_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file without write permission") << "file without write permission"
                                                   << "read-only";
    QTest::newRow("immutable file") << "immutable file"
                                    << "read-only";
    QTest::newRow("folder without write permission") << "folder without write permission"
                                                     << "folder is read-only";
    QTest::newRow("immutable folder") << "immutable folder"
                                      << "folder is read-only";
    QTest::newRow("read-only mount") << "read-only mount"
                                     << "read-only";
}

// Every way of making the catalogue unwritable: the movies are still listed, each
// change is refused with a message that names the cause, the dialogs keep what was
// typed, and the file stays exactly as it was.
void TestHostile::readOnlyCatalogueListsAndRefusesChanges()
{
    QFETCH(QString, way);
    QFETCH(QString, reason);
    MainWindowFixture f(smallCollection());
    const QStringList titles = sortedTitles(smallCollection());
    stopWindow(f);
    const QByteArray before = fileBytes(f.folder.catalogue());

    ReadOnly readOnly(way, f.folder.path());
    if (const QString why = readOnly.whyNot(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(startWindow(f));
    QCOMPARE(f.listedTitles(), titles);

    f.trigger("New");
    QWidget *add = topLevel("frmAddNew");
    QVERIFY(add);
    enter(add, movie("Ghost"));
    QString message = finishRefused(add, "Ghost");
    QVERIFY2(message.contains(reason), qPrintable(message));
    click(add, "cmdCancel");

    f.clickRow(2);
    f.trigger("Edit");
    QWidget *edit = topLevel("frmEdit");
    QVERIFY(edit);
    const QString chosen = control<QLineEdit>(edit, "Text1")->text();
    QCOMPARE(chosen, titles[2]);
    control<QLineEdit>(edit, "Text5")->setText("1899");
    message = finishRefused(edit, chosen);
    QVERIFY2(message.contains(reason), qPrintable(message));
    QCOMPARE(control<QLineEdit>(edit, "Text5")->text(), QString("1899"));
    click(edit, "cmdCancel");
    flushDeletes();

    message = deleteRefused(f);
    QVERIFY2(message.contains("could not be deleted") && message.contains(reason), qPrintable(message));
    QCOMPARE(f.listedTitles(), titles);

    message = compactionRefusal(f);
    QVERIFY2(message.contains("read-only") && message.contains("not changed"), qPrintable(message));
    QCOMPARE(f.listedTitles(), titles);
    QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));

    stopWindow(f);
    QCOMPARE(fileBytes(f.folder.catalogue()), before);
    // Beside the catalogue, at most the backup the compaction took, where the folder
    // could take one.
    QStringList left = filesIn(f.folder.path());
    left.removeOne("Backups");
    QCOMPARE(left, QStringList{"DVDs.mdb"});
    readOnly.undo();
}

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
    // Before any thread starts: a mount namespace belongs to the whole process.
    privateMounts = enterPrivateMountNamespace();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestHostile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostile.moc"
