// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "catalogue/recordcursor.h"
#include "importexport/frmimport.h"
#include "maintenance/backups.h"
#include "maintenance/frmcompact.h"
#include "maintenance/frmrestore.h"
#include "platform/appfolder.h"
#include "tests/common/fakehost.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "widgets/cataloguehost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

using catalogue::Movie;
using catalogue::RecordCursor;
using testsupport::control;
using testsupport::MessageBoxAnswerer;
using testsupport::movie;
using testsupport::TestFolder;

namespace {

using testsupport::FakeHost;

std::vector<Movie> numbered(int count)
{
    std::vector<Movie> movies;
    for (int i = 0; i < count; ++i)
        movies.push_back(movie(QString("Movie %1").arg(i, 3, 10, QChar('0'))));
    return movies;
}

// A backup holding these movies, under a name of the given time (and reason tag).
QString placeBackup(const TestFolder &folder, const std::vector<Movie> &movies, const QString &stamp,
                    const QString &tag = {})
{
    TestFolder other;
    other.makeCatalogue(movies);
    QString made;
    if (catalogue::backUpCatalogue(other.catalogue(), &made))
        qFatal("cannot make a backup");
    QDir().mkpath(folder.path() + "/Backups");
    const QString path = folder.path() + "/Backups/DVDs-" + stamp + (tag.isEmpty() ? "" : "." + tag) + ".mdb";
    QFile::copy(made, path);
    return path;
}

bool allChecked(QListWidget *list)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().endsWith("checking..."))
            return false;
    return true;
}

// Clicks Restore and answers every box that comes up: the question with question (NoButton:
// a press of Return on whatever holds the focus), any other Yes/No box with other, a
// message with OK. Answers what the boxes said, in order.
QList<testsupport::SeenMessage> clickRestore(QWidget *dialog, QMessageBox::StandardButton question,
                                             QMessageBox::StandardButton other = QMessageBox::Yes)
{
    QList<testsupport::SeenMessage> seen;
    testsupport::ModalWatch watch([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        testsupport::SeenMessage m;
        m.shown = true;
        m.text = box->text();
        m.buttons = box->standardButtons();
        m.defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
        seen << m;
        const bool asking = m.text.startsWith("Replace the catalogue");
        if (asking && question == QMessageBox::NoButton) {
            QCoreApplication::processEvents();
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return);
            QCoreApplication::processEvents();
            if (!box->isVisible())
                return;
            m.text = "Return pressed nothing";
            seen.last() = m;
            question = QMessageBox::No;
        }
        box->button(box->button(QMessageBox::Ok) ? QMessageBox::Ok : asking ? question : other)->click();
    });
    QTest::mouseClick(control<QPushButton>(dialog, "cmdRestore"), Qt::LeftButton);
    testsupport::flushDeletes();
    return seen;
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::useTestSettings(); }
    void listsBackupsNewestFirstAndDamagedOnesAsSuch();
    void eachBackupSaysWhyItWasTaken_data();
    void eachBackupSaysWhyItWasTaken();
    void restoreBacksUpTheCatalogueThenBringsTheBackupIn();
    void restoreAsksFirstAndNoChangesNothing_data();
    void restoreAsksFirstAndNoChangesNothing();
    void restoreStopsWhenTheUserWillNotGoOnWithoutABackup();
    void compactionTakesABackupFirst();
    void importTakesABackupFirst();
    void startupBackupRunsOffTheWindowThread();
};

void TestRestore::listsBackupsNewestFirstAndDamagedOnesAsSuch()
{
    TestFolder folder;
    folder.makeCatalogue(numbered(7));
    placeBackup(folder, numbered(3), "20261201-090000");
    placeBackup(folder, numbered(1), "20261205-183000", "import");
    const QString damaged = folder.path() + "/Backups/DVDs-20261203-120000.mdb";
    QFile d(damaged);
    QVERIFY(d.open(QIODevice::WriteOnly));
    d.write("SQLite format 3");
    d.close();
    FakeHost host(folder.path());

    maintenance::FrmRestore dialog(host, folder.catalogue());
    dialog.show();
    QCOMPARE(dialog.objectName(), QString("frmRestore"));
    QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(control<QLabel>(&dialog, "lblCurrent")->text(), QString("The catalogue now holds 7 movies."));
    auto *list = control<QListWidget>(&dialog, "lstBackups");
    QCOMPARE(list->count(), 3);
    QTRY_VERIFY(allChecked(list));
    const QLocale locale;
    QCOMPARE(list->item(0)->text(),
             locale.toString(QDate(2026, 12, 5), QLocale::ShortFormat) + "  18:30:00   1 movie   before import");
    QCOMPARE(list->item(1)->text(),
             locale.toString(QDate(2026, 12, 3), QLocale::ShortFormat) + "  12:00:00   damaged: cannot be restored");
    QCOMPARE(list->item(2)->text(),
             locale.toString(QDate(2026, 12, 1), QLocale::ShortFormat) + "  09:00:00   3 movies");

    // The damaged one cannot be chosen; the others can.
    auto *restore = control<QPushButton>(&dialog, "cmdRestore");
    QVERIFY(!restore->isEnabled());
    QVERIFY(!(list->item(1)->flags() & Qt::ItemIsSelectable));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QVERIFY(!restore->isEnabled());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    QVERIFY(restore->isEnabled());

    // Cancel changes nothing.
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.moviesInFile().size(), size_t(7));

    // No backups at all: said so.
    TestFolder empty;
    empty.makeCatalogue(numbered(2));
    FakeHost emptyHost(empty.path());
    maintenance::FrmRestore none(emptyHost, empty.catalogue());
    QCOMPARE(control<QLabel>(&none, "lblCurrent")->text(),
             QString("The catalogue now holds 2 movies. There are no backups yet."));
    QCOMPARE(control<QListWidget>(&none, "lstBackups")->count(), 0);
}

void TestRestore::restoreBacksUpTheCatalogueThenBringsTheBackupIn()
{
    TestFolder folder;
    folder.makeCatalogue(numbered(7));
    const std::vector<Movie> current = folder.moviesInFile();
    const QString chosen = placeBackup(folder, numbered(3), "20200101-090000");
    // Ten newer backups: the one made before the restore must not prune the chosen one.
    for (int i = 0; i < 10; ++i)
        placeBackup(folder, numbered(2), QString("20261101-0900%1").arg(i, 2, 10, QChar('0')));
    FakeHost host(folder.path());
    const int listingsBefore = host.listings;

    auto *dialog = new maintenance::FrmRestore(host, folder.catalogue());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> alive(dialog);
    dialog->show();
    auto *list = control<QListWidget>(dialog, "lstBackups");
    QTRY_VERIFY(allChecked(list));
    QCOMPARE(list->item(list->count() - 1)->data(Qt::UserRole).toString(), chosen);
    list->setCurrentRow(list->count() - 1);
    const QList<testsupport::SeenMessage> boxes = clickRestore(dialog, QMessageBox::Yes);

    QVERIFY(!alive);
    QCOMPARE(boxes.size(), 2);
    const QString when = QLocale().toString(QDate(2020, 1, 1), QLocale::ShortFormat) + " 09:00:00";
    QCOMPARE(boxes[0].text, "Replace the catalogue (7 movies) with the backup of " + when +
                                " (3 movies)? The catalogue as it is now is backed up first.");
    QCOMPARE(boxes[0].defaultButton, QMessageBox::No);
    QVERIFY(folder.moviesInFile() == numbered(3));
    QCOMPARE(host.listings, listingsBefore + 1);
    QCOMPARE(host.listedTitles(), QStringList({"Movie 000", "Movie 001", "Movie 002"}));
    // The catalogue as it was is the newest backup now, and the chosen one is still there.
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(folder.catalogue());
    QCOMPARE(catalogue::inspectBackup(backups.first().path).movies, qint64(current.size()));
    QCOMPARE(backups.first().reason, catalogue::BackupReason::BeforeRestore);
    QVERIFY(QFile::exists(chosen));
    QCOMPARE(boxes[1].text, "The backup DVDs-20200101-090000.mdb of " + when +
                                " (3 movies) was restored. The catalogue as it was before (7 movies) is kept in the "
                                "backup " +
                                QFileInfo(backups.first().path).fileName() + ".");
}

void TestRestore::eachBackupSaysWhyItWasTaken_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("shown");
    QTest::newRow("start-up") << "startup"
                              << "   at start-up";
    QTest::newRow("compaction") << "compaction"
                                << "   before compaction";
    QTest::newRow("import") << "import"
                            << "   before import";
    QTest::newRow("restore") << "restore"
                             << "   before restore";
    QTest::newRow("fill-in") << "fillin"
                             << "   before a fill-in";
    QTest::newRow("older, without a reason") << ""
                                             << "2 movies";
}

void TestRestore::eachBackupSaysWhyItWasTaken()
{
    QFETCH(QString, tag);
    QFETCH(QString, shown);
    TestFolder folder;
    folder.makeCatalogue(numbered(7));
    placeBackup(folder, numbered(2), "20261201-090000", tag);
    FakeHost host(folder.path());
    maintenance::FrmRestore dialog(host, folder.catalogue());
    dialog.show();
    auto *list = control<QListWidget>(&dialog, "lstBackups");
    QTRY_VERIFY(allChecked(list));
    QVERIFY2(list->item(0)->text().endsWith("2 movies" + (tag.isEmpty() ? QString() : shown)),
             qPrintable(list->item(0)->text()));
}

void TestRestore::restoreAsksFirstAndNoChangesNothing_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(QMessageBox::No);
    QTest::newRow("Return") << int(QMessageBox::NoButton);
}

void TestRestore::restoreAsksFirstAndNoChangesNothing()
{
    QFETCH(int, answer);
    TestFolder folder;
    folder.makeCatalogue(numbered(7));
    placeBackup(folder, numbered(3), "20261201-090000");
    FakeHost host(folder.path());
    const int listingsBefore = host.listings;
    maintenance::FrmRestore dialog(host, folder.catalogue());
    dialog.show();
    auto *list = control<QListWidget>(&dialog, "lstBackups");
    QTRY_VERIFY(allChecked(list));
    list->setCurrentRow(0);

    const QList<testsupport::SeenMessage> boxes = clickRestore(&dialog, QMessageBox::StandardButton(answer));
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.startsWith("Replace the catalogue (7 movies)"));
    QCOMPARE(boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(dialog.isVisible());
    QCOMPARE(folder.moviesInFile().size(), size_t(7));
    QCOMPARE(catalogue::listBackups(folder.catalogue()).size(), 1);
    QCOMPARE(host.listings, listingsBefore);
}

void TestRestore::restoreStopsWhenTheUserWillNotGoOnWithoutABackup()
{
#ifdef Q_OS_UNIX
    TestFolder folder;
    folder.makeCatalogue(numbered(300));
    placeBackup(folder, numbered(3), "20261201-090000");
    const std::vector<Movie> before = folder.moviesInFile();
    FakeHost host(folder.path());
    maintenance::FrmRestore dialog(host, folder.catalogue());
    dialog.show();
    auto *list = control<QListWidget>(&dialog, "lstBackups");
    QTRY_VERIFY(allChecked(list));
    list->setCurrentRow(0);

    // No room for a backup: the process may write no file past two pages.
    {
        const testsupport::FileSizeLimit full(8192);
        const QList<testsupport::SeenMessage> boxes = clickRestore(&dialog, QMessageBox::Yes, QMessageBox::No);
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[1].text.startsWith("The disk is full") && boxes[1].text.endsWith("Go on without a backup?"),
                 qPrintable(boxes[1].text));
        QCOMPARE(boxes[1].defaultButton, QMessageBox::No);
    }
    QVERIFY(dialog.isVisible());
    QVERIFY(folder.moviesInFile() == before);
    QCOMPARE(host.listedTitles().size(), 300);
    QCOMPARE(catalogue::listBackups(folder.catalogue()).size(), 1);

    // The direct call answers the same way: Yes goes on.
    bool goOn = false;
    {
        const testsupport::FileSizeLimit full(8192);
        MessageBoxAnswerer yes(QMessageBox::Yes);
        goOn = maintenance::backupBeforeChange(nullptr, folder.catalogue(), catalogue::BackupReason::BeforeImport);
    }
    QVERIFY(goOn);
    QVERIFY(maintenance::backupBeforeChange(nullptr, folder.catalogue(),
                                            catalogue::BackupReason::BeforeImport)); // made, nothing asked
    QCOMPARE(catalogue::listBackups(folder.catalogue()).size(), 2);
#else
    QSKIP("needs a file size limit");
#endif
}

void TestRestore::compactionTakesABackupFirst()
{
    TestFolder folder;
    folder.makeCatalogue(numbered(40));
    const std::vector<Movie> movies = folder.moviesInFile();
    FakeHost host(folder.path());
    {
        maintenance::FrmCompact dialog(host);
        dialog.show();
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdCompact"), Qt::LeftButton);
        QCOMPARE(control<QLabel>(&dialog, "lblStatus")->text(), QString("Database Compacted !"));
    }
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(folder.catalogue());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(catalogue::inspectBackup(backups.first().path).movies, qint64(movies.size()));
    QCOMPARE(backups.first().reason, catalogue::BackupReason::BeforeCompaction);
}

void TestRestore::importTakesABackupFirst()
{
    TestFolder folder;
    folder.makeCatalogue(numbered(300));
    const QString csv = folder.path() + "/new.csv";
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Title,Year\nBrand New,2026\n");
    file.close();
    FakeHost host(folder.path());

#ifdef Q_OS_UNIX
    // No room for a backup, and the user will not go on without one: nothing imported.
    {
        importexport::FrmImport dialog(host);
        QVERIFY(dialog.openFile(csv));
        {
            const testsupport::FileSizeLimit full(8192);
            MessageBoxAnswerer no(QMessageBox::No);
            QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
            QVERIFY(no.seen().text.endsWith("Go on without a backup?"));
        }
        QCOMPARE(folder.moviesInFile().size(), size_t(300));
        QVERIFY(catalogue::listBackups(folder.catalogue()).isEmpty());
    }
#endif
    importexport::FrmImport dialog(host);
    QVERIFY(dialog.openFile(csv));
    MessageBoxAnswerer summary(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
    QVERIFY(summary.seen().shown);
    QCOMPARE(folder.moviesInFile().size(), size_t(301));
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(folder.catalogue());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(catalogue::inspectBackup(backups.first().path).movies, qint64(300));
    QCOMPARE(backups.first().reason, catalogue::BackupReason::BeforeImport);
}

void TestRestore::startupBackupRunsOffTheWindowThread()
{
    TestFolder folder;
    folder.makeCatalogue(numbered(5));
    {
        maintenance::StartupBackup backup(folder.catalogue());
        QSignalSpy done(&backup, &maintenance::StartupBackup::finished);
        QVERIFY(done.wait(10000));
        QCOMPARE(done.first().at(0).toBool(), true);
        QCOMPARE(done.first().at(1).toString(), QString());
    }
    QCOMPARE(catalogue::listBackups(folder.catalogue()).size(), 1);
    QCOMPARE(catalogue::listBackups(folder.catalogue()).first().reason, catalogue::BackupReason::Startup);
    {
        // One was just taken: none is due.
        maintenance::StartupBackup again(folder.catalogue());
        QSignalSpy done(&again, &maintenance::StartupBackup::finished);
        QVERIFY(done.wait(10000));
        QCOMPARE(done.first().at(0).toBool(), false);
    }
    // A failure is only reported, never asked about; deleting the object waits for it.
    TestFolder broken;
    QFile(broken.catalogue()).open(QIODevice::WriteOnly);
    auto *failing = new maintenance::StartupBackup(broken.catalogue());
    QSignalSpy done(failing, &maintenance::StartupBackup::finished);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().at(0).toBool(), false);
    QVERIFY(!done.first().at(1).toString().isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    delete failing;
}

QTEST_MAIN(TestRestore)
#include "tst_restore.moc"
