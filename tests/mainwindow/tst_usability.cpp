// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "widgets/elidedlabel.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <cmath>

using testsupport::closeWindowsBut;
using testsupport::ModalWatch;
using testsupport::movie;
using testsupport::topLevel;

namespace {

// The control a user sees as focused: an editable combo box rather than its line edit.
QString focusedName()
{
    QWidget *w = QApplication::focusWidget();
    if (w && qobject_cast<QComboBox *>(w->parentWidget()))
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// The controls Tab visits, in order, in one round from the search text.
QStringList tabRound(const MainWindowFixture &f)
{
    f.find("txtSearch")->setFocus();
    QStringList seen;
    for (int i = 0; i < 80; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        // A control with the focus can be seen where it sits.
        const QPoint centre = w->mapTo(f.window.get(), w->rect().center());
        QWidget *hit = f.window->childAt(centre);
        if (!(hit == w || w->isAncestorOf(hit) || (hit && hit->isAncestorOf(w) && hit->focusProxy() == w)))
            seen << "hidden:" + focusedName();
        else
            seen << focusedName();
        if (seen.last() == "txtSearch")
            break;
    }
    return seen;
}

double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor pixelOf(QWidget *w, QPoint at) { return w->grab().toImage().pixelColor(at * w->devicePixelRatioF()); }

QStringList toolTipLines(const QString &tip)
{
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText().split('\n');
}

} // namespace

class TestUsability : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        ModalWatch discard([](QWidget *m) {
            if (auto *box = qobject_cast<QMessageBox *>(m); box && box->button(QMessageBox::Yes))
                box->button(QMessageBox::Yes)->click();
        });
        closeWindowsBut("frmMain");
        QApplication::processEvents();
    }

    // With the add dialog open on top, Delete asks above it, with the focus; Escape
    // answers No.
    void deleteAsksAboveAnOpenEditor()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.trigger("New");
        QWidget *editor = topLevel("frmAddNew");
        QVERIFY(editor);
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QString asked;
        ModalWatch watch([&](QWidget *m) {
            auto *box = qobject_cast<QMessageBox *>(m);
            QVERIFY(box);
            asked = box->text();
            QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QCOMPARE(box->windowModality(), Qt::ApplicationModal);
            QTRY_COMPARE(QApplication::activeWindow(), box);
            QTRY_COMPARE(QApplication::focusWidget(), box->button(QMessageBox::Yes));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        f.trigger("Delete");
        QCOMPARE(watch.seen(), 1);
        QCOMPARE(asked, QString("Are you sure you want to delete this movie ?"));
        QCOMPARE(f.folder.moviesInFile().size(), size_t(7));
        QVERIFY(editor->isVisible());
    }

    // Tab and Shift+Tab move between controls; the arrow keys move within the list;
    // no control that cannot be seen takes the focus.
    void keyboardFocusMovesOnlyThroughVisibleControls()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.list()->setFocus();
        QTest::keyClick(f.list(), Qt::Key_Down);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 2 of 7"));
        QCOMPARE(focusedName(), QString("fpList1"));
        QTest::keyClick(f.list(), Qt::Key_Tab);
        QVERIFY(focusedName() != "fpList1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(focusedName(), QString("fpList1"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 2 of 7"));

        // List view, categories collapsed: Previous and Next are covered, the grid is out of view.
        QStringList round = tabRound(f);
        QVERIFY2(round.filter("hidden:").isEmpty(), qPrintable(round.join(' ')));
        for (const char *name : {"cmdPrev", "cmdNext", "cmdCategory_1", "cmdCategory_12", "cmdAddMovie_0"})
            QVERIFY2(!round.contains(name), qPrintable(QString(name) + " in " + round.join(' ')));
        QVERIFY(round.contains("cmdCat") && round.contains("fpList1") && round.contains("cboField"));

        // Browse buttons and the grid in view: all of them are reached.
        f.trigger("List");
        f.click("cmdCat");
        round = tabRound(f);
        QVERIFY2(round.filter("hidden:").isEmpty(), qPrintable(round.join(' ')));
        for (const char *name : {"cmdPrev", "cmdNext", "cmdCategory_1", "cmdCategory_12", "cmdAddMovie_0"})
            QVERIFY2(round.contains(name), qPrintable(QString(name) + " not in " + round.join(' ')));
        QVERIFY(!round.contains("fpList1"));
    }

    // The counter shows its whole text at any count, and at the narrowest window every
    // control is in view and can be clicked.
    void narrowWindowKeepsEveryControlUsable()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.trigger("List");
        f.click("cmdCat");
        f.window->resize(1, f.window->height());
        QWidget *panel = f.find("Picture1");
        QTRY_COMPARE(f.window->width(), f.window->minimumWidth());

        // The counter grows to the left: its right edge stays under the other status labels.
        auto *counter = f.find<QLabel>("lblRecordCount");
        const QRect merge = f.find("lblMerge")->geometry();
        counter->setText("Record 9999999 of 9999999");
        f.window->resize(f.window->width() + 1, f.window->height());
        QTRY_COMPARE(f.find("lblMerge")->geometry(), merge.translated(1, 0));
        QCOMPARE(counter->geometry().right(), merge.right() + 1);
        QVERIFY2(counter->fontMetrics().horizontalAdvance(counter->text()) <= counter->contentsRect().width(),
                 qPrintable(QString::number(counter->width())));

        for (QPushButton *b : panel->findChildren<QPushButton *>()) {
            QVERIFY2(panel->rect().contains(b->geometry()), qPrintable(b->objectName()));
            QCOMPARE(panel->childAt(b->geometry().center()), b);
        }
        for (const char *name : {"lblMerge", "lblSort", "lblRecordCount", "Label6", "Label7", "lblCategoryName"}) {
            QWidget *w = f.find(name);
            QVERIFY2(panel->rect().contains(w->geometry()), name);
            for (QPushButton *b : panel->findChildren<QPushButton *>())
                QVERIFY2(!w->geometry().intersects(b->geometry()), qPrintable(QString(name) + " " + b->objectName()));
        }
        QVERIFY(!f.find("lblCategoryName")->geometry().intersects(counter->geometry()));
        QVERIFY(!f.find("lblCategoryName")->geometry().intersects(f.find("lblMerge")->geometry()));
        QWidget *detail = f.find("Picture2");
        for (auto [left, right] : {std::pair{"lblTitle", "lblItem_1"}, std::pair{"lblDescription", "lblItem_5"},
                                   std::pair{"lblActors", "lblItem_6"}}) {
            QVERIFY2(!f.find(left)->geometry().intersects(f.find(right)->geometry()), left);
            QVERIFY2(detail->rect().contains(f.find(right)->geometry()), right);
        }
    }

    void menusAndToolbarShowTheirCommandsAsNamed()
    {
        MainWindowFixture f(smallCollection());
        for (const char *name : {"Merge", "Tips", "Ascending", "Descending"}) {
            QAction *tool = f.tool(name);
            QVERIFY(tool->isCheckable());
            // A menu shows a check mark beside a command without an icon.
            QVERIFY2(!tool->isIconVisibleInMenu(), name);
            QVERIFY(!tool->icon().isNull());
        }
        QCOMPARE(f.tool("Merge")->statusTip(), QString("Show equal values in a column as one merged cell"));
        auto *bar = f.find<QToolBar>("Band1");
        auto captionOf = [&](const char *name) {
            return qobject_cast<QToolButton *>(bar->widgetForAction(f.tool(name)))->text();
        };
        QCOMPARE(captionOf("Help"), QString("Help Using..."));
        QCOMPARE(captionOf("Exit"), QString("&Exit"));
        QCOMPARE(captionOf("New"), QString("Create New"));

        const std::pair<const char *, const char *> keys[] = {
            {"New", "Ctrl+N"},     {"Delete", "Del"}, {"Edit", "F2"},    {"Print", "Ctrl+P"},
            {"ListAll", "Ctrl+L"}, {"Help", "F1"},    {"Exit", "Ctrl+Q"}};
        for (auto [name, key] : keys)
            QCOMPARE(f.tool(name)->shortcut().toString(), QString(key));
    }

    void keyboardShortcutsRunTheirCommands()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.click("cmdCat");
        f.click("cmdCategory_1");
        QTest::keyClick(f.window.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));

        QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(focusedName(), QString("txtSearch"));
        // Delete in the search text deletes a letter, never a movie.
        QTest::keyClicks(QApplication::focusWidget(), "ab");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        {
            ModalWatch none;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
            QCOMPARE(none.seen(), 0);
        }
        QCOMPARE(f.find<QLineEdit>("txtSearch")->text(), QString("b"));

        // Delete on a list row asks first.
        f.clickRow(2);
        {
            ModalWatch no([](QWidget *m) { QTest::keyClick(m, Qt::Key_Escape); });
            QTest::keyClick(f.list(), Qt::Key_Delete);
            QCOMPARE(no.seen(), 1);
        }
        QCOMPARE(f.folder.moviesInFile().size(), size_t(7));

        // Enter and F2 on a row edit that movie.
        for (int key : {int(Qt::Key_Return), int(Qt::Key_F2)}) {
            f.clickRow(3);
            QTest::keyClick(f.list(), Qt::Key(key));
            QWidget *edit = topLevel("frmEdit");
            QVERIFY(edit);
            QCOMPARE(edit->findChild<QLineEdit *>("Text1")->text(), f.listedTitles().at(3));
            edit->close();
            f.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        }
        QTest::keyClick(f.window.get(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(topLevel("frmAddNew"));
    }

    // Exit with typed entries in an editor asks first; No keeps the program and the entries.
    void exitAsksBeforeDroppingTypedEntries()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.trigger("New");
        QWidget *editor = topLevel("frmAddNew");
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClicks(QApplication::focusWidget(), "Typed");
        QString asked;
        ModalWatch no([&](QWidget *m) {
            asked = qobject_cast<QMessageBox *>(m)->text();
            QTRY_COMPARE(QApplication::focusWidget(), qobject_cast<QMessageBox *>(m)->button(QMessageBox::No));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        f.trigger("Exit");
        QCOMPARE(no.seen(), 1);
        QCOMPARE(asked, QString("Discard the changes to this movie?"));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->findChild<QComboBox *>("cboCat")->currentText(), QString("Typed"));
    }

    void panelsAndSearchTextsAreEasyToRead()
    {
        MainWindowFixture f({movie("A")});
        f.closeOtherWindows();
        f.trigger("List");
        const QColor base = f.window->palette().color(QPalette::Base);
        QVERIFY(base != f.window->palette().color(QPalette::Window));
        QCOMPARE(pixelOf(f.find("Picture1"), {f.find("Picture1")->width() - 3, 3}), base);
        QCOMPARE(pixelOf(f.find("Picture2"), {f.find("Picture2")->width() - 3, f.find("Picture2")->height() - 3}),
                 base);
        for (const char *name : {"lblDescription", "lblActors", "lblReview"})
            QCOMPARE(pixelOf(f.find(name), {f.find(name)->width() - 2, f.find(name)->height() - 2}), base);

        QWidget *search = f.find("Picture0");
        const QColor panel = pixelOf(search, {search->width() - 3, search->height() - 3});
        for (const char *name : {"Label2", "Label4"}) {
            auto *label = f.find<QLabel>(name);
            label->ensurePolished();
            const double ratio = contrast(label->palette().color(QPalette::WindowText), panel);
            QVERIFY2(ratio >= 4.5, qPrintable(QString("%1: %2").arg(name).arg(ratio)));
        }
        for (const char *name : {"Label1", "lblFound"}) {
            auto *label = f.find<QLabel>(name);
            label->ensurePolished();
            const QColor back = pixelOf(label, {label->width() - 2, label->height() - 2});
            QVERIFY2(contrast(label->palette().color(QPalette::WindowText), back) >= 4.5, name);
        }
    }

    // A cut text shows an ellipsis and, on hover, the whole text wrapped to a readable
    // width; a text that fits shows no tooltip.
    void cutTextsShowAnEllipsisAndWrappedTooltips()
    {
        const QString longText = QString("A long description of the film. ").repeated(40);
        auto m = movie("Long");
        m[catalogue::Field::Description] = longText;
        m[catalogue::Field::Review] = "Fine.";
        MainWindowFixture f({m});
        f.closeOtherWindows();

        QTableView *list = f.list();
        const QRect cell = list->visualRect(list->model()->index(0, 1));
        QHelpEvent cut(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list->viewport(), &cut);
        QTRY_VERIFY(QToolTip::isVisible());
        const QStringList lines = toolTipLines(QToolTip::text());
        QVERIFY(lines.size() > 5);
        for (const QString &line : lines)
            QVERIFY2(line.size() <= 80, qPrintable(line));
        QCOMPARE(lines.join(' ').simplified(), longText.simplified());
        QToolTip::hideText();
        const QRect fits = list->visualRect(list->model()->index(0, 0));
        QHelpEvent whole(QEvent::ToolTip, fits.center(), list->viewport()->mapToGlobal(fits.center()));
        QApplication::sendEvent(list->viewport(), &whole);
        QTRY_VERIFY(!QToolTip::isVisible());

        f.trigger("List");
        auto *description = qobject_cast<widgets::ElidedLabel *>(f.find("lblDescription"));
        auto *review = qobject_cast<widgets::ElidedLabel *>(f.find("lblReview"));
        QVERIFY(description && review);
        QVERIFY(description->isCut());
        QVERIFY(description->shownLines().last().endsWith(QChar(0x2026)));
        QCOMPARE(toolTipLines(description->cutTextToolTip()).join(' ').simplified(), longText.simplified());
        QVERIFY(!review->isCut());
        QVERIFY(review->cutTextToolTip().isEmpty());
    }
};

QTEST_MAIN(TestUsability)
#include "tst_usability.moc"
