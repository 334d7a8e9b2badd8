// SPDX-License-Identifier: GPL-3.0-or-later
// The add and edit flow: what Finish stores, which movie an edit changes, and how a
// refused or overtaken save keeps the user's entries.

#include "catalogue/schema.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "editorfixture.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "widgets/windows.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace catalogue;
using namespace editortest;
using editor::FrmAddNew;
using editor::FrmEdit;
using testsupport::control;
using testsupport::enter;
using testsupport::flushDeletes;
using testsupport::MessageBoxAnswerer;
using testsupport::movie;
using testsupport::shown;

class TestEditor : public QObject, public EditorFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUpCase(); }
    void cleanup() { tearDownCase(); }

    void finishStoresEveryFieldExactly()
    {
        makeHost({movie("Zulu"), movie("Alien")});
        const auto before = folder->moviesInFile();

        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        click(d, "cmdFinish");
        flushDeletes();
        QVERIFY(!d);
        auto rows = folder->moviesInFile();
        QCOMPARE(rows.size(), before.size() + 1);
        QVERIFY(rows.back() == catalogue::makeMovie("", "", "", "", "", "", "", ""));
        QCOMPARE(host->listings, 1);

        const Movie full = catalogue::makeMovie(
            "It's \"Amélie\" " + QString(40000, QChar(0x6771)), "Line one\nLine two\u00a0with no-break space\n\n", "",
            QString(10000, 'a') + "\nO'Brien & \"Łódź\"", "Tab\there; emoji \U0001F3AC", "", "c. '99", "1 h 30\"");
        d = new FrmAddNew(*host);
        enter(d, full);
        // Typed by hand, and not completed from the list: stored exactly as typed.
        d->show();
        QVERIFY(QTest::qWaitForWindowActive(d));
        for (auto [combo, typed] : {std::pair{"cboCat", "Dram"}, std::pair{"cboRating", "P"}}) {
            control<QComboBox>(d, combo)->setFocus();
            QTest::keyClicks(QApplication::focusWidget(), typed);
        }
        click(d, "cmdFinish");
        flushDeletes();
        QVERIFY(!d);
        rows = folder->moviesInFile();
        Movie expected = full;
        expected[Field::Category] = "Dram";
        expected[Field::Rating] = "P";
        QVERIFY(rows.back() == expected);
        QCOMPARE(host->listings, 2);
        QCOMPARE(host->cursor.recordSource(), AllMovies);
        QCOMPARE(host->cursor.result().size(), 4);
        QVERIFY(host->compactEnabled());

        // Editing only the category keeps every other field as stored, even text a box
        // shows differently ("\r\n", no-break spaces).
        exec(folder->catalogue(),
             "UPDATE Movies SET Review = 'a' || char(13, 10) || 'b' || char(160) WHERE Title = 'Zulu'");
        host->listAllRecords();
        host->cursor.moveLast();
        QPointer<FrmEdit> e = FrmEdit::create(*host);
        QVERIFY(e);
        const Movie zulu = host->cursor.currentMovie();
        control<QComboBox>(e, "cboCat")->setEditText("Action");
        click(e, "cmdFinish");
        flushDeletes();
        QVERIFY(!e);
        Movie changed = zulu;
        changed[Field::Category] = "Action";
        QVERIFY(folder->moviesInFile().front() == changed);
    }

    void compactStaysOffWhileAnEditorIsLoaded()
    {
        makeHost({movie("Alien"), movie("Heat")});
        QPointer<FrmAddNew> add = new FrmAddNew(*host);
        QSignalSpy addUnloaded(add.data(), &editor::MovieDialog::unloaded);
        QVERIFY(!host->compactEnabled());
        QPointer<FrmEdit> edit = FrmEdit::create(*host);
        QSignalSpy editUnloaded(edit.data(), &editor::MovieDialog::unloaded);
        add->close();
        add->close();
        QCOMPARE(addUnloaded.count(), 1);
        QVERIFY(!host->compactEnabled());
        // A refused save keeps the dialog loaded; the Finish that succeeds unloads it once.
        {
            sqlite3 *raw = nullptr;
            sqlite3_open(folder->catalogue().toUtf8().constData(), &raw);
            ConnectionPtr locker(raw);
            QCOMPARE(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
            MessageBoxAnswerer ok(QMessageBox::Ok);
            click(edit, "cmdFinish");
            QVERIFY(ok.seen().shown);
            QCOMPARE(editUnloaded.count(), 0);
            QVERIFY(edit->isLoaded());
            sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        click(edit, "cmdFinish");
        QCOMPARE(editUnloaded.count(), 1);
        QVERIFY(host->compactEnabled());

        // An edit dialog that cannot open gives "Compact" back too.
        exec(folder->catalogue(), "DELETE FROM Movies");
        MessageBoxAnswerer ok(QMessageBox::Ok);
        QVERIFY(!FrmEdit::create(*host));
        QVERIFY(ok.seen().shown);
        QVERIFY(host->compactEnabled());
    }

    void editsTheChosenMovieOfAnyResult_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("title");
        QTest::newRow("first of all") << AllMovies << 0 << "Alien";
        QTest::newRow("last of all") << AllMovies << 5 << "Zulu";
        QTest::newRow("category") << "select * from Movies where Category = 'Action' order by Title" << 1 << "Ronin";
        QTest::newRow("search, first of equal years")
            << "select * from Movies where Year Like '*199*' Order by Year" << 0 << "Heat";
        QTest::newRow("search, second of equal years")
            << "select * from Movies where Year Like '*199*' Order by Year" << 1 << "Casino";
    }

    void editsTheChosenMovieOfAnyResult()
    {
        QFETCH(QString, query);
        QFETCH(int, position);
        QFETCH(QString, title);
        makeHost({movie("Zulu", "Action", "1964"), movie("Ronin", "Action", "1998"), movie("Alien", "Horror", "1979"),
                  movie("Fargo", "Drama", "1996"), movie("Heat", "Action", "1995"), movie("Casino", "Drama", "1995")});
        host->show(query, position);
        const auto before = folder->moviesInFile();

        QPointer<FrmEdit> d = FrmEdit::create(*host);
        QVERIFY(d);
        QCOMPARE(control<QLineEdit>(d, "Text1")->text(), title);
        control<QLineEdit>(d, "Text5")->setText("2024");
        click(d, "cmdFinish");
        flushDeletes();
        QVERIFY(!d);

        const auto after = folder->moviesInFile();
        for (size_t i = 0; i < before.size(); ++i) {
            Movie expected = before[i];
            if (expected[Field::Title] == title)
                expected[Field::Year] = "2024";
            QVERIFY2(after[i] == expected, qPrintable(before[i][Field::Title]));
        }
        QCOMPARE(host->listings, 1);
        QCOMPARE(host->cursor.recordSource(), AllMovies);
        QCOMPARE(host->cursor.absolutePosition(), 0);
        // The save went through the host's connection, which kept its rows in step: the
        // new listing is that of a fresh read without reading the file again.
        QVERIFY(host->cursor.rowsAreCurrent());
        RecordCursor fresh;
        fresh.setDatabaseName(folder->catalogue());
        fresh.setRecordSource(AllMovies);
        QVERIFY(fresh.refresh());
        QCOMPARE(host->cursor.result().size(), fresh.result().size());
        for (int pos = 0; pos < fresh.result().size(); ++pos)
            QVERIFY(host->cursor.result().movie(pos) == fresh.result().movie(pos));
    }

    void editWritesNothingOverAMovieChangedElsewhere()
    {
        makeHost({movie("Alien"), movie("Heat"), movie("Ronin")});
        const QString db = folder->catalogue();

        // Changed between the listing and the opening: the dialog does not open.
        host->cursor.setAbsolutePosition(1);
        exec(db, "UPDATE Movies SET Review = 'Another copy was here' WHERE Title = 'Heat'");
        auto before = folder->moviesInFile();
        {
            MessageBoxAnswerer ok(QMessageBox::Ok);
            QVERIFY(!FrmEdit::create(*host));
            QVERIFY(ok.seen().text.contains("changed or deleted"));
            QCOMPARE(ok.seen().title, QString("Edit Movie"));
        }
        QVERIFY(folder->moviesInFile() == before);

        // The last movie deleted elsewhere: its place is past the end of the result.
        host->listAllRecords();
        host->cursor.moveLast();
        exec(db, "DELETE FROM Movies WHERE Title = 'Ronin'");
        {
            MessageBoxAnswerer ok(QMessageBox::Ok);
            QVERIFY(!FrmEdit::create(*host));
            QVERIFY(ok.seen().shown);
        }

        // Changed, then deleted, while the dialog is open: Finish says so and keeps the entries.
        host->listAllRecords();
        for (const char *meanwhile :
             {"UPDATE Movies SET Year = '1900' WHERE Title = 'Alien'", "DELETE FROM Movies WHERE Title = 'Alien'"}) {
            host->listAllRecords();
            QPointer<FrmEdit> d = FrmEdit::create(*host);
            QVERIFY(d);
            d->show();
            enter(d, movie("Mine"));
            exec(db, meanwhile);
            before = folder->moviesInFile();
            MessageBoxAnswerer ok(QMessageBox::Ok);
            click(d, "cmdFinish");
            QVERIFY(ok.seen().shown);
            QVERIFY(ok.seen().text.contains("changed or deleted elsewhere"));
            flushDeletes();
            QVERIFY(d && d->isVisible());
            QVERIFY(shown(d) == movie("Mine"));
            QVERIFY(folder->moviesInFile() == before);
            click(d, "cmdCancel");
        }
    }

    void refusedSaveKeepsTheDialogAndItsEntries()
    {
        makeHost({movie("Alien"), movie("Heat")});
        const auto before = folder->moviesInFile();
        QPointer<FrmAddNew> add = new FrmAddNew(*host);
        QPointer<FrmEdit> edit = FrmEdit::create(*host);
        add->show();
        edit->show();
        enter(add, movie("Ghost"));
        enter(edit, movie("Alien 2"));

        // Another program holds the catalogue locked; the cursor gives up after its busy timeout.
        sqlite3 *raw = nullptr;
        sqlite3_open(folder->catalogue().toUtf8().constData(), &raw);
        ConnectionPtr locker(raw);
        QCOMPARE(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        for (QWidget *d : {static_cast<QWidget *>(add), static_cast<QWidget *>(edit)}) {
            MessageBoxAnswerer ok(QMessageBox::Ok);
            click(d, "cmdFinish");
            QVERIFY(ok.seen().text.contains("in use"));
            flushDeletes();
        }
        QVERIFY(add && add->isVisible() && edit && edit->isVisible());
        QVERIFY(shown(add) == movie("Ghost"));
        QVERIFY(shown(edit) == movie("Alien 2"));
        QCOMPARE(host->listings, 0);
        QVERIFY(!host->compactEnabled());
        QCOMPARE(sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
        QVERIFY(folder->moviesInFile() == before);

        // Once the lock is gone, Finish stores the very entries, once.
        click(add, "cmdFinish");
        click(edit, "cmdFinish");
        flushDeletes();
        QVERIFY(!add && !edit);
        const auto after = folder->moviesInFile();
        QCOMPARE(after.size(), 3u);
        QVERIFY(after[0] == movie("Alien 2"));
        QVERIFY(after[2] == movie("Ghost"));
        QVERIFY(host->compactEnabled());
    }

    void openingAgainBringsTheSameDialogForward()
    {
        makeHost({movie("Alien"), movie("Heat")});
        QPointer<FrmAddNew> addSlot;
        auto make = [this] { return new FrmAddNew(*host); };
        FrmAddNew *add = widgets::showSingle(addSlot, make);
        control<QLineEdit>(add, "Text1")->setText("Ghost");
        QCOMPARE(widgets::showSingle(addSlot, make), add);
        click(add, "cmdHelp");
        QVERIFY(add->isVisible());
        QCOMPARE(control<QLineEdit>(add, "Text1")->text(), QString("Ghost"));

        QPointer<FrmEdit> editSlot;
        FrmEdit *edit = FrmEdit::open(*host, editSlot);
        QVERIFY(edit && edit->isVisible());
        host->cursor.moveLast();
        QCOMPARE(FrmEdit::open(*host, editSlot), edit);
        QCOMPARE(control<QLineEdit>(edit, "Text1")->text(), QString("Alien"));
        QCOMPARE(FakeHost::loadedEditors(), 2);

        click(add, "cmdFinish");
        flushDeletes();
        QCOMPARE(folder->moviesInFile().size(), 3u);
        QVERIFY(!addSlot);
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
