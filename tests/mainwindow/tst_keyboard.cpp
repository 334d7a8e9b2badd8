// SPDX-License-Identifier: GPL-3.0-or-later
// Leaving and working every window with the keyboard alone, through the real main window.
#include "fixture.h"

#include "tests/common/files.h"
#include "tests/common/widgets.h"
#include "widgets/filechooser.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolBar>

using testsupport::topLevel;

namespace {

// Opens the window a command shows; import first needs a file picked.
QPointer<QWidget> openWindow(const MainWindowFixture &f, const QString &tool, const QString &window)
{
    if (tool == "Import") {
        const QString file = f.folder.path() + "/more.csv";
        testsupport::writeFile(file, "Title,Year\r\nAlien,1979\r\n");
        widgets::setNextChosenFile(file);
    }
    f.trigger(tool);
    QPointer<QWidget> w = topLevel(window);
    if (w) {
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            return nullptr;
    }
    return w;
}

QWidget *keyTarget(QWidget *window)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && focus->window() == window ? focus : window;
}

// The colour of the pixel, or an invalid colour off the image.
QColor pixel(const QImage &image, QPoint at) { return image.valid(at) ? image.pixelColor(at) : QColor(); }

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void keyClosesTheWindow_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("help, Escape") << "Help"
                                      << "HelpViewer" << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("help, Ctrl+W") << "Help"
                                      << "HelpViewer" << int(Qt::Key_W) << int(Qt::ControlModifier);
        QTest::newRow("print preview") << "Print"
                                       << "Report" << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("restore") << "Restore"
                                 << "frmRestore" << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("import") << "Import"
                                << "frmImport" << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("export") << "Export"
                                << "frmExport" << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("fill in") << "FillIn"
                                 << "frmFillIn" << int(Qt::Key_Escape) << int(Qt::NoModifier);
    }

    void keyClosesTheWindow()
    {
        QFETCH(QString, tool);
        QFETCH(QString, window);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        testsupport::flushDeletes();
        QPointer<QWidget> w = openWindow(f, tool, window);
        QVERIFY2(w, qPrintable(window));
        QTest::keyClick(keyTarget(w), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!w || !w->isVisible());
        QVERIFY(!topLevel(window));
        // The command opens it again afterwards.
        testsupport::flushDeletes();
        QVERIFY(openWindow(f, tool, window));
        topLevel(window)->close();
        testsupport::flushDeletes();
    }

    void returnPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::newRow("restore") << "Restore"
                                 << "frmRestore"
                                 << "cmdCancel";
        QTest::newRow("compaction") << "Compact"
                                    << "frmCompact"
                                    << "cmdCancel";
        QTest::newRow("add dialog") << "New"
                                    << "frmAddNew"
                                    << "cmdCancel";
        QTest::newRow("edit dialog") << "Edit"
                                     << "frmEdit"
                                     << "cmdCancel";
        QTest::newRow("export") << "Export"
                                << "frmExport"
                                << "cmdCancel";
        QTest::newRow("fill in") << "FillIn"
                                 << "frmFillIn"
                                 << "cmdClose";
        QTest::newRow("About box") << "About"
                                   << "frmAbout"
                                   << "cmdOk";
        QTest::newRow("look-up options") << "Lookup"
                                         << "LookupOptions"
                                         << "cmdCancel";
    }

    // Each button here closes its window: a Return that presses it leaves the window gone.
    void returnPressesTheFocusedButton()
    {
        QFETCH(QString, tool);
        QFETCH(QString, window);
        QFETCH(QString, button);
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        testsupport::flushDeletes();
        QPointer<QWidget> w = openWindow(f, tool, window);
        QVERIFY2(w, qPrintable(window));
        auto *pushed = testsupport::control<QPushButton>(w, qPrintable(button));
        pushed->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), pushed);
        QTest::keyClick(pushed, Qt::Key_Return);
        QVERIFY(!w || !w->isVisible());
        testsupport::flushDeletes();
    }

    void returnPressesTheMainWindowsButtons()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        testsupport::flushDeletes();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        auto *category = f.find<QPushButton>("cmdCat");
        const int collapsed = f.find("Picture1")->height();
        category->setFocus(Qt::TabFocusReason);
        QTest::keyClick(category, Qt::Key_Return);
        QVERIFY(f.find("Picture1")->height() > collapsed);

        // The keypad's Enter does the same; another key with Return does nothing.
        auto *action = f.find<QPushButton>("cmdCategory_1");
        action->setFocus(Qt::TabFocusReason);
        QTest::keyClick(action, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
        QTest::keyClick(action, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.text("lblCategoryName"), QString("Action"));

        // Return on a row still opens its movie.
        f.clickRow(0);
        QTest::keyClick(f.list(), Qt::Key_Return);
        QVERIFY(topLevel("frmEdit"));
        topLevel("frmEdit")->close();
        testsupport::flushDeletes();
    }

    void ctrlBAndTheViewMenuSwitchTheView()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        testsupport::flushDeletes();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QAction *view = f.tool("List");
        QCOMPARE(view->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
        auto *menu = f.find<QMenu>("mnuView");
        QCOMPARE(menu->actions(), QList<QAction *>({view}));

        QTest::keyClick(f.window.get(), Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!f.list()->isVisible());
        QVERIFY(f.find("cmdNext")->isVisible());
        QCOMPARE(menu->actions().first()->text(), QString("ListView"));

        // Without the toolbar: the menu's item brings the list back.
        f.find<QToolBar>("Band1")->hide();
        menu->actions().first()->trigger();
        QVERIFY(f.list()->isVisible());
        QCOMPARE(view->text(), QString("Browse Buttons"));
        QTest::keyClick(f.window.get(), Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!f.list()->isVisible());
    }

    void theListFramesTheRowWithTheFocus()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        testsupport::flushDeletes();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QTableView *list = f.list();
        f.clickRow(2);
        QVERIFY(list->hasFocus());
        const QColor frame = list->palette().color(QPalette::WindowText);
        auto rowEdges = [&](int row) {
            const QRect first = list->visualRect(list->model()->index(row, 0));
            return std::pair{QPoint(first.left() + first.width() / 2, first.top()),
                             QPoint(first.left(), first.top() + first.height() / 2)};
        };
        const QImage focused = list->viewport()->grab().toImage();
        const auto [top2, left2] = rowEdges(2);
        const auto [top4, left4] = rowEdges(4);
        QCOMPARE(pixel(focused, top2), frame);
        QCOMPARE(pixel(focused, left2), frame);
        QVERIFY(pixel(focused, top4) != frame);

        // The frame follows the arrow keys.
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        const QImage moved = list->viewport()->grab().toImage();
        QCOMPARE(pixel(moved, top4), frame);
        QVERIFY(pixel(moved, left2) != frame);

        // Gone with the focus; the selected row stays marked as selected.
        f.find<QLineEdit>("txtSearch")->setFocus(Qt::TabFocusReason);
        QVERIFY(!list->hasFocus());
        const QImage away = list->viewport()->grab().toImage();
        QVERIFY(pixel(away, top4) != frame);
        QVERIFY(pixel(away, left4) != frame);
        QVERIFY(list->selectionModel()->isRowSelected(4, {}));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
