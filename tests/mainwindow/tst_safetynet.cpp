// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "catalogue/backup.h"
#include "maintenance/backups.h"
#include "platform/settings.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using testsupport::control;
using testsupport::flushDeletes;
using testsupport::movie;
using testsupport::topLevel;

namespace {

} // namespace

class TestSafetyNet : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        testsupport::closeWindowsBut("frmMain");
        flushDeletes();
        QVERIFY(!platform::saveWarnAboutDuplicates(true));
    }
    void restoreIsAMenuCommandOffWhileAnEditorIsOpen();
    void restoreBringsABackupBackAndListsIt();
    void duplicatesOptionIsKeptAndObeyed();
    void startupBackupIsTakenOnceTheWindowIsUp();
    void startupBackupFailureIsToldWithoutBlocking();
};

void TestSafetyNet::restoreIsAMenuCommandOffWhileAnEditorIsOpen()
{
    MainWindowFixture f(smallCollection());
    QVERIFY(f.find<QMenu>("mnuFile")->actions().contains(f.tool("Restore")));
    QVERIFY(!f.find<QToolBar>("Band1")->actions().contains(f.tool("Restore")));
    QVERIFY(f.tool("Restore")->isEnabled());

    f.trigger("New");
    QVERIFY(!f.tool("Restore")->isEnabled());
    f.clickRow(0);
    f.trigger("Edit");
    topLevel("frmAddNew")->close();
    flushDeletes();
    QVERIFY(!f.tool("Restore")->isEnabled());
    topLevel("frmEdit")->close();
    flushDeletes();
    QVERIFY(f.tool("Restore")->isEnabled());
    QCOMPARE(f.tool("Restore")->isEnabled(), f.tool("Compact")->isEnabled());
}

void TestSafetyNet::restoreBringsABackupBackAndListsIt()
{
    MainWindowFixture f(smallCollection());
    QString made;
    QVERIFY(!catalogue::backUpCatalogue(f.folder.catalogue(), &made));
    // Three movies deleted since the backup; a category shown.
    for (int i = 0; i < 3; ++i) {
        testsupport::MessageBoxAnswerer yes(QMessageBox::Yes);
        f.trigger("Delete");
    }
    QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 4"));
    f.click("cmdCat");
    f.click("cmdCategory_1");

    f.trigger("Restore");
    QWidget *dialog = topLevel("frmRestore");
    QVERIFY(dialog);
    QCOMPARE(control<QLabel>(dialog, "lblCurrent")->text(), QString("The catalogue now holds 4 movies."));
    auto *list = control<QListWidget>(dialog, "lstBackups");
    QCOMPARE(list->count(), 1);
    QTRY_VERIFY(list->item(0)->flags() & Qt::ItemIsSelectable);
    QVERIFY(list->item(0)->text().endsWith("7 movies"));
    // Asking again only brings the open dialog forward.
    f.trigger("Restore");
    QCOMPARE(topLevel("frmRestore"), dialog);

    list->setCurrentRow(0);
    {
        testsupport::ModalWatch answer([](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)->click();
        });
        control<QPushButton>(dialog, "cmdRestore")->click();
        flushDeletes();
        QCOMPARE(answer.seen(), 2); // the question, then what was done
    }
    QVERIFY(!topLevel("frmRestore"));
    QCOMPARE(f.folder.moviesInFile().size(), size_t(7));
    QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
    QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));
    // The catalogue as it was before the restore is kept too.
    QCOMPARE(catalogue::listBackups(f.folder.catalogue()).size(), 2);
}

void TestSafetyNet::duplicatesOptionIsKeptAndObeyed()
{
    MainWindowFixture f({movie("Alien", "Sci-Fi", "1979")});
    QAction *warn = f.tool("Duplicates");
    QVERIFY(warn->isCheckable());
    QVERIFY(warn->isChecked());
    QVERIFY(f.find<QMenu>("mnuOptions")->actions().contains(warn));

    f.trigger("New");
    control<QLineEdit>(topLevel("frmAddNew"), "Text1")->setText("alien");
    QCOMPARE(testsupport::clickAnswering(topLevel("frmAddNew"), "cmdFinish", QMessageBox::No).text,
             QString("A movie with this title is already in the catalogue: Alien (1979). Save it anyway?"));
    QVERIFY(topLevel("frmAddNew"));
    control<QPushButton>(topLevel("frmAddNew"), "cmdCancel")->click();
    flushDeletes();

    f.trigger("Duplicates");
    QVERIFY(!warn->isChecked());
    QCOMPARE(platform::warnAboutDuplicates(), false);
    f.trigger("New");
    control<QLineEdit>(topLevel("frmAddNew"), "Text1")->setText("alien");
    QCOMPARE(testsupport::clickAnswering(topLevel("frmAddNew"), "cmdFinish", QMessageBox::No).text, QString());
    QCOMPARE(f.listedTitles(), QStringList({"Alien", "alien"}));

    // The next start shows the option as it was left.
    MainWindowFixture again({movie("Heat")});
    QVERIFY(!again.tool("Duplicates")->isChecked());
    again.trigger("Duplicates");
    QVERIFY(again.tool("Duplicates")->isChecked());
    QCOMPARE(platform::warnAboutDuplicates(), true);
}

void TestSafetyNet::startupBackupIsTakenOnceTheWindowIsUp()
{
    MainWindowFixture f(smallCollection());
    QVERIFY(f.window->isVisible());
    QVERIFY(catalogue::listBackups(f.folder.catalogue()).isEmpty());
    f.window->startStartupBackup();
    auto *backup = f.window->findChild<maintenance::StartupBackup *>();
    QVERIFY(backup);
    QSignalSpy done(backup, &maintenance::StartupBackup::finished);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().at(0).toBool(), true);
    QVERIFY(!QApplication::activeModalWidget());
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(f.folder.catalogue());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(catalogue::inspectBackup(backups.first().path).movies, qint64(7));
    // The window works on meanwhile, and a second call takes no second backup.
    f.window->startStartupBackup();
    QCOMPARE(f.window->findChildren<maintenance::StartupBackup *>().size(), 1);
    QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));
}

void TestSafetyNet::startupBackupFailureIsToldWithoutBlocking()
{
    MainWindowFixture f(smallCollection());
    // A file where the backups folder belongs: no backup can be written.
    QFile blocker(catalogue::backupFolder(f.folder.catalogue()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.window->startStartupBackup();
    auto *backup = f.window->findChild<maintenance::StartupBackup *>();
    QSignalSpy done(backup, &maintenance::StartupBackup::finished);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().at(0).toBool(), false);
    QApplication::processEvents();
    auto *box = f.window->findChild<QMessageBox *>("msgBackupFailed");
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(box->text().startsWith("The automatic backup could not be written: "));
    QVERIFY(box->text().contains("is not a folder"));
    QVERIFY(box->text().endsWith("could be made there. Your catalogue is unchanged."));
    // The window goes on working behind it.
    f.click("cmdNext");
    QCOMPARE(f.text("lblRecordCount"), QString("Record 2 of 7"));
}

QTEST_MAIN(TestSafetyNet)
#include "tst_safetynet.moc"
