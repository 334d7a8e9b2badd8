// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "catalogue/database.h"
#include "report/report.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "widgets/filechooser.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using testsupport::closeWindowsBut;
using testsupport::MessageBoxAnswerer;
using testsupport::movie;
using testsupport::topLevel;

namespace {

int openWindowCount(const QString &name)
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == name && w->isVisible();
    return n;
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        closeWindowsBut("frmMain");
        QApplication::processEvents();
    }

    void deleteAsksFirstAndAnswerNoChangesNothing()
    {
        MainWindowFixture f(smallCollection());
        f.click("cmdCat");
        f.click("cmdCategory_1");
        f.clickRow(1); // Heat
        MessageBoxAnswerer no(QMessageBox::No);
        f.trigger("Delete");
        QVERIFY(no.seen().shown);
        QCOMPARE(no.seen().title, QString("Please Confirm !"));
        QCOMPARE(no.seen().text, QString("Are you sure you want to delete this movie ?"));
        QCOMPARE(no.seen().icon, QMessageBox::Question);
        QCOMPARE(no.seen().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(no.seen().defaultButton, QMessageBox::Yes);
        QCOMPARE(f.folder.moviesInFile().size(), size_t(7));
        QCOMPARE(f.text("lblCategoryName"), QString("Action"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 2 of 3"));
        QCOMPARE(f.text("lblTitle"), QString("Heat"));
    }

    void deleteYesRemovesTheMovieAndListsAll()
    {
        MainWindowFixture f(smallCollection());
        f.click("cmdCat");
        f.click("cmdCategory_1");
        f.clickRow(1);
        MessageBoxAnswerer yes(QMessageBox::Yes);
        f.trigger("Delete");
        QVERIFY(yes.seen().shown);
        QStringList titles;
        for (const auto &m : f.folder.moviesInFile())
            titles << m[catalogue::Field::Title];
        QVERIFY(!titles.contains("Heat"));
        QCOMPARE(titles.size(), 6);
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 6"));
    }

    void deletingTheLastMovieLeavesAnEmptyList()
    {
        MainWindowFixture f({movie("Only")});
        {
            MessageBoxAnswerer yes(QMessageBox::Yes);
            f.trigger("Delete");
            QVERIFY(yes.seen().shown);
        }
        QCOMPARE(f.text("lblRecordCount"), QString("No Movies"));
        QCOMPARE(f.list()->model()->rowCount(), 0);
        MessageBoxAnswerer again(QMessageBox::Yes);
        f.trigger("Delete");
        f.trigger("Edit");
        QTest::qWait(50);
        QVERIFY(!again.seen().shown);
        QVERIFY(!topLevel("frmEdit"));
    }

    void aFailedDeleteSaysWhyAndKeepsTheMovie()
    {
        MainWindowFixture f({movie("Kept")});
        // Another program holds the catalogue locked for writing.
        sqlite3 *raw = nullptr;
        sqlite3_open(f.folder.catalogue().toUtf8().constData(), &raw);
        catalogue::ConnectionPtr lock(raw);
        QCOMPARE(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        MessageBoxAnswerer yes(QMessageBox::Yes);
        MessageBoxAnswerer ok(QMessageBox::Ok);
        f.trigger("Delete");
        QTRY_VERIFY_WITH_TIMEOUT(ok.seen().shown, 10000);
        QVERIFY(ok.seen().text.contains("in use"));
        sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
        QCOMPARE(f.folder.moviesInFile().size(), size_t(1));
        QCOMPARE(f.text("lblTitle"), QString("Kept"));
    }

    void editOpensTheDialogOnTheCurrentMovieOnce()
    {
        MainWindowFixture f(smallCollection());
        f.clickRow(2);
        const QString chosen = f.text("lblTitle");
        f.trigger("Edit");
        QWidget *dialog = topLevel("frmEdit");
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLineEdit *>("Text1")->text(), chosen);
        QVERIFY(!f.tool("Compact")->isEnabled());
        // Asking again brings the same dialog forward, still on its movie.
        f.clickRow(0);
        QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {},
                           f.list()->visualRect(f.list()->model()->index(0, 0)).center());
        QCOMPARE(openWindowCount("frmEdit"), 1);
        QCOMPARE(topLevel("frmEdit"), dialog);
        QCOMPARE(dialog->findChild<QLineEdit *>("Text1")->text(), chosen);
        dialog->close();
        QVERIFY(f.tool("Compact")->isEnabled());
    }

    void doubleClickEditsThatRow()
    {
        MainWindowFixture f(smallCollection());
        f.clickRow(3);
        const QRect cell = f.list()->visualRect(f.list()->model()->index(3, 0));
        QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, {}, cell.center());
        QWidget *dialog = topLevel("frmEdit");
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLineEdit *>("Text1")->text(), f.listedTitles().at(3));
    }

    void printShowsTheReportAndItsEndOpensTheAboutBox()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        QTRY_VERIFY(!topLevel("frmAbout"));
        f.click("cmdCat");
        f.click("cmdCategory_1"); // the report lists every movie whatever is shown
        f.trigger("Print");
        QWidget *report = topLevel("Report");
        QVERIFY(report);
        QTRY_COMPARE(qobject_cast<report::Report *>(report)->pageCount(), 1);
        report->close();
        QTRY_VERIFY(topLevel("frmAbout"));
        f.trigger("About");
        QCOMPARE(openWindowCount("frmAbout"), 1);
    }

    void helpAndCompactOpenTheirWindows()
    {
        MainWindowFixture f(smallCollection());
        f.trigger("Help");
        QVERIFY(topLevel("HelpViewer"));
        f.click("cmdCat");
        f.click("cmdCategory_1");
        f.trigger("Compact");
        f.trigger("Compact");
        QCOMPARE(openWindowCount("frmCompact"), 1);
        topLevel("frmCompact")->close();
        // Closing the compaction window lists every movie again.
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));
    }

    void lookupOptionsOpenOnce()
    {
        MainWindowFixture f(smallCollection());
        f.trigger("Lookup");
        f.trigger("Lookup");
        QCOMPARE(openWindowCount("LookupOptions"), 1);
        topLevel("LookupOptions")->close();
        QTRY_VERIFY(!topLevel("LookupOptions"));
    }

    void compactStaysOffWhileAnyEditorIsLoaded()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.trigger("New");
        f.clickRow(1);
        f.trigger("Edit");
        QWidget *add = topLevel("frmAddNew");
        QPointer<QWidget> edit = topLevel("frmEdit");
        QVERIFY(add && edit);
        QVERIFY(!f.tool("Compact")->isEnabled());
        add->close();
        QVERIFY(!f.tool("Compact")->isEnabled());
        QTest::mouseClick(edit->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
        QVERIFY(f.tool("Compact")->isEnabled());
        QTRY_VERIFY(edit.isNull());

        // An editor deleted without closing is counted out once it is gone.
        f.trigger("Edit");
        QPointer<QWidget> again = topLevel("frmEdit");
        QVERIFY(again);
        QVERIFY(!f.tool("Compact")->isEnabled());
        delete again.data();
        QTRY_VERIFY(f.tool("Compact")->isEnabled());
        // An edit that cannot open (the movie changed behind the list) leaves "Compact" on.
        sqlite3 *raw = nullptr;
        sqlite3_open(f.folder.catalogue().toUtf8().constData(), &raw);
        catalogue::ConnectionPtr other(raw);
        QCOMPARE(sqlite3_exec(raw, "UPDATE Movies SET Title = Title || '!'", nullptr, nullptr, nullptr), SQLITE_OK);
        MessageBoxAnswerer ok(QMessageBox::Ok);
        f.trigger("Edit");
        QVERIFY(ok.seen().shown);
        QVERIFY(!topLevel("frmEdit"));
        QVERIFY(f.tool("Compact")->isEnabled());
    }

    // A window opened before the editor stays open, but will not change the file under it.
    void windowsOpenedBeforeAnEditorWaitForIt()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.trigger("Compact");
        QWidget *compact = topLevel("frmCompact");
        QVERIFY(compact);
        const QByteArray before = testsupport::fileBytes(f.folder.catalogue());
        f.clickRow(1);
        f.trigger("Edit");
        QPointer<QWidget> edit = topLevel("frmEdit");
        QVERIFY(edit);
        {
            MessageBoxAnswerer ok(QMessageBox::Ok);
            QTest::mouseClick(compact->findChild<QPushButton *>("cmdCompact"), Qt::LeftButton);
            QVERIFY(ok.seen().text.contains("being added or edited"));
        }
        QVERIFY(compact->isVisible());
        QCOMPARE(testsupport::fileBytes(f.folder.catalogue()), before);
        QVERIFY(edit->isVisible());
    }

    void theMainWindowGoesWithoutOpeningAnything()
    {
        auto f = std::make_unique<MainWindowFixture>(smallCollection());
        f->closeOtherWindows();
        QTRY_VERIFY(!topLevel("frmAbout"));
        f->trigger("Print");
        f->trigger("New");
        QPointer<QWidget> report = topLevel("Report");
        QPointer<QWidget> add = topLevel("frmAddNew");
        QVERIFY(report && add);
        f->window.reset();
        QVERIFY(report.isNull() && add.isNull());
        QApplication::processEvents();
        // The report was not closed by the user: it has not ended, so no About box.
        QVERIFY(!topLevel("frmAbout"));
    }

    void everyWindowGoesWithTheMainWindow_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("window");
        QTest::newRow("add") << "New"
                             << "frmAddNew";
        QTest::newRow("edit") << "Edit"
                              << "frmEdit";
        QTest::newRow("print") << "Print"
                               << "Report";
        QTest::newRow("import") << "Import"
                                << "frmImport";
        QTest::newRow("export") << "Export"
                                << "frmExport";
        QTest::newRow("compaction") << "Compact"
                                    << "frmCompact";
        QTest::newRow("restore") << "Restore"
                                 << "frmRestore";
        QTest::newRow("about") << "About"
                               << "frmAbout";
        QTest::newRow("fill in") << "FillIn"
                                 << "frmFillIn";
        QTest::newRow("look-up options") << "Lookup"
                                         << "LookupOptions";
        QTest::newRow("help") << "Help"
                              << "HelpViewer";
    }

    void everyWindowGoesWithTheMainWindow()
    {
        QFETCH(QString, tool);
        QFETCH(QString, window);
        auto f = std::make_unique<MainWindowFixture>(smallCollection());
        f->closeOtherWindows();
        QTRY_VERIFY(!topLevel("frmAbout"));
        const QString file = f->folder.path() + "/more.csv";
        testsupport::writeFile(file, "Title\r\nAlien\r\n");
        widgets::setNextChosenFile(file);
        f->trigger(tool);
        QPointer<QWidget> opened = topLevel(window);
        QVERIFY(opened);
        f->window.reset();
        QVERIFY(opened.isNull());
        QApplication::processEvents();
        QVERIFY(!topLevel(window));
    }

    void newOpensOneAddDialog()
    {
        MainWindowFixture f(smallCollection());
        f.trigger("New");
        f.click("cmdAddMovie_0");
        QCOMPARE(openWindowCount("frmAddNew"), 1);
        QVERIFY(!f.tool("Compact")->isEnabled());
        topLevel("frmAddNew")->close();
        QVERIFY(f.tool("Compact")->isEnabled());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
