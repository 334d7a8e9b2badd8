// SPDX-License-Identifier: GPL-3.0-or-later
// The editor dialogs themselves: their layout, the order Tab visits the controls, the
// ways of closing them, and their text boxes.

#include "catalogue/categories.h"
#include "catalogue/schema.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "editorfixture.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace catalogue;
using namespace editortest;
using editor::FrmAddNew;
using editor::FrmEdit;
using testsupport::control;
using testsupport::enter;
using testsupport::flushDeletes;
using testsupport::ModalWatch;
using testsupport::movie;
using testsupport::shown;

namespace {

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
    {"cmdLookup", 4680, 4440, 1215, 375, "Look Up..."},
};

} // namespace

class TestEditorDialog : public QObject, public EditorFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSuite(); }
    void init() { setUpCase(); }
    void cleanup() { tearDownCase(); }

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
        QVERIFY(shown(d) == catalogue::makeMovie("", "", "", "", "", "", "", ""));
        QCOMPARE(tabWalk(d, 13), QStringList({"cboCat", "Text1", "Text2", "Text3", "Text4", "cboRating", "Text5",
                                              "Text6", "cmdFinish", "cmdCancel", "cmdLookup", "cmdHelp", "cboCat"}));
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
        QCOMPARE(tabWalk(d, 13), QStringList({"Text6", "cboRating", "Text5", "Text4", "Text3", "Text2", "Text1",
                                              "cboCat", "cmdFinish", "cmdCancel", "cmdLookup", "cmdHelp", "Text6"}));
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
            QCOMPARE(host->listings, 0);
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
};

QTEST_MAIN(TestEditorDialog)
#include "tst_editordialog.moc"
