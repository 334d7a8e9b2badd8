#include "catalogue/cataloguehost.h"
#include "catalogue/categories.h"
#include "catalogue/database.h"
#include "catalogue/recordcursor.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "editor/moviedialog.h"
#include "platform/appfolder.h"
#include "platform/windows.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "tools/cataloguemaker.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace catalogue;
using editor::FrmAddNew;
using editor::FrmEdit;
using testsupport::control;
using testsupport::enter;
using testsupport::flushDeletes;
using testsupport::MessageBoxAnswerer;
using testsupport::ModalWatch;
using testsupport::movie;
using testsupport::shown;
using testsupport::TestFolder;

namespace {

const QString AllMovies = "select * from Movies order by Title";

// Stands in for the main window: its own cursor on the catalogue, listed as the main
// window lists all movies.
class FakeHost : public CatalogueHost {
public:
    explicit FakeHost(const QString &folder) : folder_(folder)
    {
        listAllRecords();
        listCalls = 0;
    }
    QString catalogueFile() const override { return platform::catalogueFile(folder_); }
    QString compactionWorkFile() const override { return platform::compactionWorkFile(folder_); }
    QString helpFile() const override { return platform::helpFile(folder_); }
    RecordCursor &mainCursor() override { return cursor; }
    void listAllRecords() override
    {
        cursor.setDatabaseName(platform::catalogueFile(folder_));
        cursor.setRecordSource(AllMovies);
        cursor.refresh();
        ++listCalls;
    }
    // Editor dialogs still loaded: the main window keeps "Compact" off while there are any.
    static int loadedEditors()
    {
        int loaded = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<editor::MovieDialog *>(w))
                loaded += dialog->isLoaded();
        return loaded;
    }
    bool compactEnabled() const { return loadedEditors() == 0; }
    void show(const QString &query, int pos)
    {
        cursor.setRecordSource(query);
        cursor.refresh();
        cursor.setAbsolutePosition(pos);
    }

    RecordCursor cursor;
    int listCalls = 0;

private:
    QString folder_;
};

void click(QWidget *dialog, const char *button) { control<QPushButton>(dialog, button)->click(); }

void exec(const QString &path, const char *sql)
{
    sqlite3 *raw = nullptr;
    sqlite3_open(path.toUtf8().constData(), &raw);
    ConnectionPtr db(raw);
    QCOMPARE(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK);
}

QString controlName(QWidget *w)
{
    if (w && qobject_cast<QComboBox *>(w->parentWidget()))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// The controls the focus visits from the one focused at open, pressing Tab.
QStringList tabWalk(QWidget *dialog, int steps)
{
    dialog->show();
    if (!QTest::qWaitForWindowActive(dialog))
        return {"window not active"};
    QStringList names;
    for (int i = 0; i < steps; ++i) {
        names << controlName(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return names;
}

struct Place {
    const char *name;
    int left, top, width, height;
    QString text;
};

void checkPlaces(QWidget *d, const std::vector<Place> &places)
{
    for (const Place &p : places) {
        auto *w = control<QWidget>(d, p.name);
        QCOMPARE(w->geometry(), QRect(p.left / 15, p.top / 15, p.width / 15, p.height / 15));
        if (auto *label = qobject_cast<QLabel *>(w); label && !p.text.isNull())
            QCOMPARE(label->text(), p.text);
        if (auto *button = qobject_cast<QPushButton *>(w))
            QCOMPARE(button->text(), p.text);
    }
}

void checkWindow(QWidget *d, const QString &caption)
{
    QCOMPARE(d->windowTitle(), caption);
    QCOMPARE(d->size(), QSize(400, 387));
    QCOMPARE(d->minimumSize(), d->maximumSize());
    const Qt::WindowFlags f = d->windowFlags();
    QVERIFY(f & Qt::WindowCloseButtonHint);
    QVERIFY(!(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(f & Qt::WindowStaysOnTopHint);
    QVERIFY(d->autoFillBackground());
    QCOMPARE(d->palette().color(QPalette::Window), QColor(Qt::white));
    auto *header = control<QLabel>(d, "Label8");
    QCOMPARE(header->font().family(), QString("MS Sans Serif"));
    QCOMPARE(header->font().pointSizeF(), 13.5);
    QVERIFY(header->font().bold());
    QVERIFY(!control<QLabel>(d, "Image1")->pixmap().isNull());
    QVERIFY(!d->windowIcon().isNull());
    for (auto *text : {"Text2", "Text3", "Text4"}) {
        auto *box = control<QPlainTextEdit>(d, text);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    auto *cat = control<QComboBox>(d, "cboCat");
    auto *rating = control<QComboBox>(d, "cboRating");
    QVERIFY(cat->isEditable() && rating->isEditable());
    QCOMPARE(cat->currentIndex(), -1);
    QCOMPARE(rating->currentIndex(), -1);
    QStringList cats, ratings;
    for (int i = 0; i < cat->count(); ++i)
        cats << cat->itemText(i);
    for (int i = 0; i < rating->count(); ++i)
        ratings << rating->itemText(i);
    QCOMPARE(cats, categoryNames());
    QCOMPARE(ratings, ratingCodes());
}

const std::vector<Place> commonPlaces = {
    {"Label1", 120, 120, 1455, 255, "Select a Category :"},
    {"cboCat", 120, 360, 1935, 315, {}},
    {"Label2", 120, 840, 1215, 255, "Enter the Title :"},
    {"Text1", 120, 1080, 3735, 285, {}},
    {"Label3", 120, 1560, 1575, 255, "Enter a Description :"},
    {"Text2", 120, 1800, 3735, 975, {}},
    {"Label4", 120, 3000, 2535, 255, "Enter the Actor & Actress Names :"},
    {"Text3", 120, 3240, 3735, 975, {}},
    {"Label5", 120, 4440, 2535, 255, "Enter Your Review of the Movie :"},
    {"Text4", 120, 4680, 3735, 975, {}},
    {"Label6", 4680, 840, 1215, 255, "Select a Rating :"},
    {"cboRating", 4680, 1080, 1215, 315, {}},
    {"Label7", 4680, 1560, 1215, 255, "Enter the Year :"},
    {"Text5", 4680, 1800, 1215, 285, {}},
    {"Label9", 4680, 2280, 1215, 255, "Running Time :"},
    {"Text6", 4680, 2520, 735, 285, {}},
    {"cmdFinish", 4680, 3240, 1215, 375, "Finish"},
    {"cmdCancel", 4680, 3840, 1215, 375, "Cancel"},
    {"cmdHelp", 4680, 5280, 1215, 375, "Help"},
};

} // namespace

class TestEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<FakeHost> host;

    void makeHost(const std::vector<Movie> &movies)
    {
        folder->makeCatalogue(movies);
        host = std::make_unique<FakeHost>(folder->path());
    }

private slots:
    void initTestCase()
    {
        testsupport::useTestSettings();
        moviaryInitResources();
    }
    void init() { folder = std::make_unique<TestFolder>(); }
    void cleanup()
    {
        // A dialog left with typed entries asks before it closes.
        ModalWatch discard([](QWidget *m) {
            if (auto *box = qobject_cast<QMessageBox *>(m); box && box->button(QMessageBox::Yes))
                box->button(QMessageBox::Yes)->click();
        });
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
        flushDeletes();
        host.reset();
    }

    void addDialogLooksAsDesigned()
    {
        makeHost({movie("Alien")});
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        QCOMPARE(d->objectName(), QString("frmAddNew"));
        checkWindow(d, "Add New Movie");
        checkPlaces(d, commonPlaces);
        checkPlaces(d, {{"Image1", 2760, 60, 480, 480, {}},
                        {"Label8", 3360, 120, 2535, 375, "Add a New Movie"},
                        {"Label10", 5475, 2625, 375, 255, "Min."}});
        QVERIFY(shown(d) == tools::makeMovie("", "", "", "", "", "", "", ""));
        QCOMPARE(tabWalk(d, 12), QStringList({"cboCat", "Text1", "Text2", "Text3", "Text4", "cboRating", "Text5",
                                              "Text6", "cmdFinish", "cmdCancel", "cmdHelp", "cboCat"}));
    }

    void editDialogDiffersFromAddDialog()
    {
        makeHost({movie("Alien", "Horror"), movie("Heat", "Action")});
        host->cursor.setAbsolutePosition(1);
        QPointer<FrmEdit> d = FrmEdit::create(*host);
        QVERIFY(d);
        QCOMPARE(d->objectName(), QString("frmEdit"));
        checkWindow(d, "Edit Movie");
        checkPlaces(d, commonPlaces);
        checkPlaces(d, {{"Image1", 3720, 60, 480, 480, {}}, {"Label8", 4320, 120, 1575, 375, "Edit Movie"}});
        QVERIFY(!d->findChild<QWidget *>("Label10"));
        // The lists are there, and the movie's own values stay shown.
        QVERIFY(shown(d) == movie("Heat", "Action"));
        QCOMPARE(tabWalk(d, 12), QStringList({"Text6", "cboRating", "Text5", "Text4", "Text3", "Text2", "Text1",
                                              "cboCat", "cmdFinish", "cmdCancel", "cmdHelp", "Text6"}));
    }

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
        QVERIFY(rows.back() == tools::makeMovie("", "", "", "", "", "", "", ""));
        QCOMPARE(host->listCalls, 1);

        const Movie full = tools::makeMovie(
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
        QCOMPARE(host->listCalls, 2);
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

    void cancelAndCloseBoxWriteNothing()
    {
        makeHost({movie("Alien"), movie("Heat")});
        const auto before = folder->moviesInFile();
        for (const char *road : {"cancel", "close box"}) {
            QPointer<FrmAddNew> add = new FrmAddNew(*host);
            enter(add, movie("Ghost"));
            QPointer<FrmEdit> edit = FrmEdit::create(*host);
            QVERIFY(edit);
            enter(edit, movie("Changed"));
            ModalWatch discard([](QWidget *m) { qobject_cast<QMessageBox *>(m)->button(QMessageBox::Yes)->click(); });
            if (QByteArray(road) == "cancel") {
                click(add, "cmdCancel");
                click(edit, "cmdCancel");
                QCOMPARE(discard.seen(), 0);
            } else {
                add->close();
                edit->close();
                QCOMPARE(discard.seen(), 2);
            }
            flushDeletes();
            QVERIFY2(!add && !edit, road);
            QVERIFY2(folder->moviesInFile() == before, road);
            QCOMPARE(host->listCalls, 0);
            QVERIFY(host->compactEnabled());
        }
    }

    // Escape does what Cancel does, with no question; the close box asks before typed
    // entries are dropped, No being the default.
    void escapeCancelsAndCloseBoxAsksBeforeDroppingEntries()
    {
        makeHost({movie("Alien"), movie("Heat")});
        const auto before = folder->moviesInFile();
        for (int dialog = 0; dialog < 2; ++dialog) {
            QPointer<QWidget> d = dialog ? static_cast<QWidget *>(FrmEdit::create(*host)) : new FrmAddNew(*host);
            d->show();
            QVERIFY(QTest::qWaitForWindowActive(d));
            QTest::keyClicks(QApplication::focusWidget(), "typed");
            ModalWatch none;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            flushDeletes();
            QVERIFY(!d);
            QCOMPARE(none.seen(), 0);
        }
        QVERIFY(folder->moviesInFile() == before);
        QVERIFY(host->compactEnabled());

        // Nothing typed, or typed and taken back: the close box closes at once.
        QPointer<FrmEdit> edit = FrmEdit::create(*host);
        edit->show();
        QVERIFY(QTest::qWaitForWindowActive(edit));
        QTest::keyClicks(QApplication::focusWidget(), "9");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        {
            ModalWatch none;
            edit->close();
            flushDeletes();
            QVERIFY(!edit);
            QCOMPARE(none.seen(), 0);
        }

        // Typed: Enter answers the question with its default, No, and the entries stay.
        for (int dialog = 0; dialog < 2; ++dialog) {
            QPointer<QWidget> d = dialog ? static_cast<QWidget *>(FrmEdit::create(*host)) : new FrmAddNew(*host);
            d->show();
            QVERIFY(QTest::qWaitForWindowActive(d));
            // The control that has the focus when the dialog opens.
            QWidget *typedInto = dialog ? control<QWidget>(d, "Text6") : control<QWidget>(d, "cboCat");
            QTRY_COMPARE(QApplication::focusWidget(), typedInto);
            QTest::keyClicks(typedInto, "95");
            {
                QString question;
                ModalWatch no([&](QWidget *m) {
                    auto *box = qobject_cast<QMessageBox *>(m);
                    question = box->text();
                    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
                    QTRY_COMPARE(QApplication::focusWidget(), box->button(QMessageBox::No));
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                });
                d->close();
                QCOMPARE(no.seen(), 1);
                QCOMPARE(question, QString("Discard the changes to this movie?"));
            }
            flushDeletes();
            QVERIFY(d && d->isVisible());
            QVERIFY((dialog ? control<QLineEdit>(d, "Text6")->text() : control<QComboBox>(d, "cboCat")->currentText())
                        .startsWith("95"));
            QVERIFY(!host->compactEnabled());
            ModalWatch yes([](QWidget *m) { qobject_cast<QMessageBox *>(m)->button(QMessageBox::Yes)->click(); });
            d->close();
            flushDeletes();
            QVERIFY(!d);
            QCOMPARE(yes.seen(), 1);
        }
        QVERIFY(folder->moviesInFile() == before);
        QVERIFY(host->compactEnabled());
    }

    // The multi-line boxes scroll when their text is longer than the box, and every
    // input carries the name of the label beside it for a screen reader.
    void longTextsScrollAndEveryInputIsNamed()
    {
        makeHost({movie("Alien")});
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        for (const char *name : {"Text2", "Text3", "Text4"}) {
            auto *box = control<QPlainTextEdit>(d, name);
            box->setPlainText("One line");
            QTRY_VERIFY(!box->verticalScrollBar()->isVisible());
            box->setPlainText(QString("A line of text\n").repeated(12));
            QTRY_VERIFY2(box->verticalScrollBar()->isVisible(), name);
            QVERIFY(!box->horizontalScrollBar()->isVisible());
        }
        const std::pair<const char *, const char *> names[] = {{"cboCat", "Select a Category"},
                                                               {"Text1", "Enter the Title"},
                                                               {"Text2", "Enter a Description"},
                                                               {"Text3", "Enter the Actor & Actress Names"},
                                                               {"Text4", "Enter Your Review of the Movie"},
                                                               {"cboRating", "Select a Rating"},
                                                               {"Text5", "Enter the Year"},
                                                               {"Text6", "Running Time"}};
        for (auto [name, expected] : names) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control<QWidget>(d, name));
            QVERIFY(a);
            QCOMPARE(a->text(QAccessible::Name), QString(expected));
        }
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
        QCOMPARE(host->listCalls, 1);
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
        QCOMPARE(host->listCalls, 0);
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
        FrmAddNew *add = platform::showSingle(addSlot, make);
        control<QLineEdit>(add, "Text1")->setText("Ghost");
        QCOMPARE(platform::showSingle(addSlot, make), add);
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
