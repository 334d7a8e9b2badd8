// SPDX-License-Identifier: GPL-3.0-or-later
// A catalogue that cannot be written, made so in every way the system offers: the
// movies are still listed and every change is refused without harm to the file.

#include "hostilesteps.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "tests/mainwindow/fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

using catalogue::Movie;
using reliability::click;
using reliability::compactionRefusal;
using reliability::deleteRefused;
using reliability::finishRefused;
using reliability::sortedTitles;
using testsupport::control;
using testsupport::enter;
using testsupport::fileBytes;
using testsupport::flushDeletes;
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

} // namespace

class TestReadOnlyCatalogue : public QObject {
    Q_OBJECT
private slots:
    void readOnlyCatalogueListsAndRefusesChanges_data();
    void readOnlyCatalogueListsAndRefusesChanges();
};

void TestReadOnlyCatalogue::readOnlyCatalogueListsAndRefusesChanges_data()
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
void TestReadOnlyCatalogue::readOnlyCatalogueListsAndRefusesChanges()
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

int main(int argc, char **argv)
{
    // Before any thread starts: a mount namespace belongs to the whole process.
    privateMounts = enterPrivateMountNamespace();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestReadOnlyCatalogue test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readonlycatalogue.moc"
