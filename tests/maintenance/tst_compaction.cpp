#include "catalogue/cataloguehost.h"
#include "catalogue/recordcursor.h"
#include "maintenance/frmcompact.h"
#include "platform/appfolder.h"
#include "platform/twips.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QWindow>
#include <QtTest>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using catalogue::Movie;
using catalogue::RecordCursor;
using maintenance::FrmCompact;
using testsupport::fileBytes;
using testsupport::TestFolder;
using testsupport::writeFile;

namespace {

// Stands in for the main window: owns the main cursor and counts the listings.
class FakeHost : public catalogue::CatalogueHost {
public:
    explicit FakeHost(const QString &folder) : folder_(folder)
    {
        listAllRecords();
        listings = 0;
    }
    QString catalogueFile() const override { return platform::catalogueFile(folder_); }
    QString compactionWorkFile() const override { return platform::compactionWorkFile(folder_); }
    QString helpFile() const override { return platform::helpFile(folder_); }
    RecordCursor &mainCursor() override { return cursor; }
    void listAllRecords() override
    {
        ++listings;
        cursor.setDatabaseName(platform::catalogueFile(folder_));
        cursor.setRecordSource("select * from Movies order by Title");
        cursor.refresh();
    }
    QStringList listedTitles() const
    {
        QStringList titles;
        for (int i = 0; i < cursor.result().size(); ++i)
            titles << cursor.result().text(i, catalogue::Field::Title);
        return titles;
    }

    RecordCursor cursor;
    int listings = 0;

private:
    QString folder_;
};

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

std::vector<Movie> manyMovies(int count)
{
    std::vector<Movie> movies;
    for (int i = 0; i < count; ++i)
        movies.push_back(testsupport::movie(QString("Movie %1").arg((i * 7919) % count, 5, 10, QChar('0'))));
    return movies;
}

// Tells one file from another that took its name.
quint64 fileIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
#else
    Q_UNUSED(path);
    return 0;
#endif
}

QString sqlAnswer(const QString &file, const char *sql)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    catalogue::ConnectionPtr db(raw);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw, sql, -1, &st, nullptr);
    catalogue::StatementPtr guard(st);
    const int rc = st ? sqlite3_step(st) : SQLITE_ERROR;
    return rc == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
                            : QString::number(rc);
}

QLabel *label(QWidget &dialog, const char *name) { return dialog.findChild<QLabel *>(name); }
QPushButton *button(QWidget &dialog, const char *name) { return dialog.findChild<QPushButton *>(name); }
QWidget *bar(QWidget &dialog) { return dialog.findChild<QWidget *>("shpStat"); }

void runCompaction(FrmCompact &dialog)
{
    dialog.show();
    QTest::mouseClick(button(dialog, "cmdCompact"), Qt::LeftButton);
}

void expectFinished(FrmCompact &dialog, const QString &status)
{
    QCOMPARE(label(dialog, "lblStatus")->text(), status);
    QCOMPARE(button(dialog, "cmdCompact")->text(), QString("Finish"));
    QVERIFY(button(dialog, "cmdCompact")->font().bold());
    QVERIFY(!button(dialog, "cmdCancel")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void expectFailureShown(FrmCompact &dialog, const QString &reasonPart)
{
    expectFinished(dialog, "Compaction failed");
    QLabel *reason = label(dialog, "lblReason");
    QVERIFY(reason->isVisible());
    QVERIFY2(reason->text().contains(reasonPart, Qt::CaseInsensitive), qPrintable(reason->text()));
}

} // namespace

class TestCompaction : public QObject {
    Q_OBJECT
private slots:
    void cancelHelpAndCloseBoxLeaveTheFilesAndRelist();
    void compactsAndListsTheSameMovies();
    void refusedWhileTheCatalogueIsOpenElsewhere();
    void leftoverWorkFileNeitherBlocksNorReplaces();
    void failedCopyLeavesTheCatalogueAsItWas();
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
        QWidget *help = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "HelpViewer")
                help = w;
        QVERIFY(help && help->isVisible());
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
    const quint64 identity = fileIdentity(folder.catalogue());

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
    QCOMPARE(widths, (QList<int>{platform::twips(4095), platform::twips(1435), platform::twips(2415),
                                 platform::twips(3255), platform::twips(4095)}));
    for (size_t i = 1; i + 1 < watcher.seen.size(); ++i) {
        QCOMPARE(watcher.seen[i].status, QString("Please Wait..."));
        QVERIFY(watcher.seen[i].hourglass);
        QVERIFY(!watcher.seen[i].cancelEnabled);
    }
    expectFinished(dialog, "Database Compacted !");
    QVERIFY(bar(dialog)->isVisible());
    QCOMPARE(bar(dialog)->width(), platform::twips(4095));
    QVERIFY(!label(dialog, "lblReason")->isVisible());
    QVERIFY(!host.cursor.isOpen());
    QCOMPARE(host.listings, 0);

    QVERIFY(!QFileInfo::exists(platform::compactionWorkFile(folder.path())));
    // Rewritten in place, never deleted and replaced by another file.
    QCOMPARE(fileIdentity(folder.catalogue()), identity);
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

void TestCompaction::refusedWhileTheCatalogueIsOpenElsewhere()
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

void TestCompaction::failedCopyLeavesTheCatalogueAsItWas()
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
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 8192;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    failsWith("disk is full", true);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
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

QTEST_MAIN(TestCompaction)
#include "tst_compaction.moc"
