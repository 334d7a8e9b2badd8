// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "catalogue/schema.h"
#include "mainwindow/commandbar.h"
#include "mainwindow/startup.h"
#include "tests/common/messageboxes.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

using testsupport::movie;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void startsWithAllMoviesInTitleOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("firstTitle");
        QTest::newRow("empty") << 0 << "No Movies"
                               << "";
        QTest::newRow("one") << 1 << "Record 1 of 1"
                             << "Casablanca";
        QTest::newRow("three") << 3 << "Record 1 of 3"
                               << "alien";
    }

    void startsWithAllMoviesInTitleOrder()
    {
        QFETCH(int, count);
        QFETCH(QString, counter);
        QFETCH(QString, firstTitle);
        std::vector<catalogue::Movie> movies{movie("Casablanca"), movie("Zorro"), movie("alien")};
        if (count == 1)
            movies = {movie("Casablanca")};
        movies.resize(count);
        MainWindowFixture f(movies);
        QCOMPARE(f.window->windowTitle(), QString("Moviary"));
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
        QCOMPARE(f.text("lblRecordCount"), counter);
        QCOMPARE(f.text("lblTitle"), firstTitle);
        QCOMPARE(f.list()->model()->rowCount(), count);
        QVERIFY(f.find<QLabel>("lblFound")->isHidden());
        QVERIFY(f.tool("Ascending")->isChecked());
        QVERIFY(!f.tool("Descending")->isChecked());
        QCOMPARE(f.text("lblSort"), QString("Sort: Ascending"));
        QCOMPARE(f.text("lblMerge"), QString("Merge: Off"));
        auto *fields = f.find<QComboBox>("cboField");
        QCOMPARE(fields->currentText(), QString("Title"));
        QStringList entries;
        for (int i = 0; i < fields->count(); ++i)
            entries << fields->itemText(i);
        QCOMPARE(entries, QStringList({"Title", "Description", "Category", "Actors", "Review", "Rating", "Year",
                                       "Running Time", "All Fields"}));
        QCOMPARE(f.list()->model()->headerData(0, Qt::Horizontal).toString(), QString("Title"));
        const int charWidth = f.list()->fontMetrics().averageCharWidth();
        QCOMPARE(f.list()->columnWidth(0), 20 * charWidth);
        QCOMPARE(f.list()->columnWidth(1), 24 * charWidth);
        QCOMPARE(f.list()->columnWidth(7), 7 * charWidth);
    }

    void detailPaneShowsTheCurrentMovie()
    {
        MainWindowFixture f(
            {catalogue::makeMovie("Heat", "Cops and robbers", "Action", "Al Pacino", "Great", "R", "1995", "170")});
        QCOMPARE(f.text("lblTitle"), QString("Heat"));
        QCOMPARE(f.text("lblDescription"), QString("Cops and robbers"));
        QCOMPARE(f.text("lblActors"), QString("Al Pacino"));
        QCOMPARE(f.text("lblReview"), QString("Great"));
        QCOMPARE(f.text("lblRating"), QString("R"));
        QCOMPARE(f.text("lblYear"), QString("1995"));
        QCOMPARE(f.text("lblTime"), QString("170"));
        const QStringList captions{"Title", "Rating", "Description", "Actors", "Review", "Year", "Time"};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(f.text(QString("lblItem_%1").arg(i)), captions[i]);
    }

    void previousAndNextStopAtBothEnds()
    {
        MainWindowFixture f({movie("C"), movie("A"), movie("B")});
        f.trigger("List"); // browse buttons in view
        QVERIFY(f.find("cmdNext")->isVisible());
        f.click("cmdPrev");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 3"));
        QCOMPARE(f.text("lblTitle"), QString("A"));
        f.click("cmdNext");
        f.click("cmdNext");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 3 of 3"));
        QCOMPARE(f.text("lblTitle"), QString("C"));
        f.click("cmdNext");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 3 of 3"));
        QCOMPARE(f.text("lblTitle"), QString("C"));
        f.click("cmdPrev");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 2 of 3"));
        QCOMPARE(f.text("lblTitle"), QString("B"));
    }

    void navigationOnEmptyAndSingleResults()
    {
        MainWindowFixture empty({});
        empty.trigger("List");
        empty.click("cmdNext");
        empty.click("cmdPrev");
        QCOMPARE(empty.text("lblRecordCount"), QString("No Movies"));
        QCOMPARE(empty.text("lblTitle"), QString());

        MainWindowFixture one({movie("Solo")});
        one.trigger("List");
        one.click("cmdNext");
        one.click("cmdPrev");
        QCOMPARE(one.text("lblRecordCount"), QString("Record 1 of 1"));
        QCOMPARE(one.text("lblTitle"), QString("Solo"));
    }

    void clickingARowMakesItCurrent()
    {
        std::vector<catalogue::Movie> movies;
        for (const char *t : {"E", "B", "G", "A", "F", "C", "D"})
            movies.push_back(movie(t));
        MainWindowFixture f(movies);
        f.clickRow(4);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 5 of 7"));
        f.trigger("List");
        QCOMPARE(f.text("lblTitle"), QString("E"));
        f.click("cmdNext");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 6 of 7"));
        QCOMPARE(f.text("lblTitle"), QString("F"));
        // The keyboard chooses rows as a click does.
        f.trigger("List");
        f.list()->setFocus();
        QTest::keyClick(f.list(), Qt::Key_Down);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 7 of 7"));
        QTest::keyClick(f.list(), Qt::Key_Up);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 6 of 7"));
        f.trigger("List");
        // Sorted descending, the first row shown counts as record 1.
        f.trigger("List");
        f.trigger("Descending");
        QCOMPARE(f.listedTitles().first(), QString("G"));
        f.clickRow(0);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));
        QCOMPARE(f.text("lblTitle"), QString("G"));
    }

    void resultsBeyondSixteenBitsCountAndNavigate()
    {
        std::vector<catalogue::Movie> movies;
        for (int i = 0; i < 33000; ++i)
            movies.push_back(movie(QString("Movie %1").arg(i, 5, 10, QChar('0'))));
        MainWindowFixture f(movies);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 33000"));
        f.clickRow(32999);
        QCOMPARE(f.text("lblRecordCount"), QString("Record 33000 of 33000"));
        f.trigger("List");
        f.click("cmdNext");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 33000 of 33000"));
        f.click("cmdPrev");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 32999 of 33000"));
        QCOMPARE(f.text("lblTitle"), QString("Movie 32998"));
    }

    void closingTheCursorResetsTheMousePointer()
    {
        MainWindowFixture f({movie("A")});
        QApplication::setOverrideCursor(Qt::WaitCursor);
        f.window->mainCursor().closeDatabase();
        QVERIFY(!QApplication::overrideCursor());
        f.window->listAllRecords();
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 1"));
    }

    void commandBarHasEveryToolInItsBands()
    {
        MainWindowFixture f({movie("A")});
        auto bandItems = [](const QList<QAction *> &actions) {
            QStringList out;
            for (QAction *a : actions)
                out << (a->isSeparator() ? QString("-") : a->objectName() + "=" + a->text());
            return out;
        };
        auto *menuBar = f.find<QMenuBar>("MnuBand1");
        QStringList titles;
        for (QAction *a : menuBar->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({"&File", "&Options", "&Sort Method", "&View", "&Help"}));
        QCOMPARE(bandItems(f.find<QMenu>("mnuFile")->actions()),
                 QStringList({"New=Create New", "-", "Delete=Delete Movie", "Edit=Edit Movie", "-", "ListAll=List All",
                              "Print=Print...", "Import=Import Movies...", "Export=Export Movies...",
                              "FillIn=Fill In Details...", "Restore=Restore from Backup...", "-", "Exit=&Exit"}));
        QCOMPARE(bandItems(f.find<QMenu>("mnuOptions")->actions()),
                 QStringList({"Compact=Compact DB", "-", "Tips=Tip of the Day", "Duplicates=Warn About Duplicates", "-",
                              "Lookup=Online Look-Up..."}));
        QCOMPARE(bandItems(f.find<QMenu>("mnuSort")->actions()),
                 QStringList({"Merge=Merge Data", "-", "Ascending=Ascending", "Descending=Descending"}));
        QCOMPARE(bandItems(f.find<QMenu>("mnuView")->actions()), QStringList({"List=Browse Buttons"}));
        QCOMPARE(bandItems(f.find<QMenu>("mnuHelp")->actions()),
                 QStringList({"Help=Help Using...", "-", "About=About..."}));
        QCOMPARE(bandItems(f.find<QToolBar>("Band1")->actions()),
                 QStringList({"New=Create New", "-", "ListAll=List All", "List=Browse Buttons", "-",
                              "Help=Help Using...", "Exit=&Exit"}));
        // One tool per command, shared by the bands that show it.
        QCOMPARE(f.window->findChildren<QAction *>("New").size(), 1);
        QCOMPARE(f.tool("Exit")->property("description").toString(), QString("Close all documents and exit"));
        QCOMPARE(f.tool("Merge")->property("description").toString(),
                 QString("Show equal values in a column as one merged cell"));
        QCOMPARE(f.tool("New")->property("description").toString(), QString());
        for (const QString &name : f.window->commandBar()->toolNames())
            QVERIFY2(!f.tool(name)->icon().isNull(), qPrintable(name));
        // A click never flips a check mark by itself: Ascending stays checked.
        f.trigger("Ascending");
        QVERIFY(f.tool("Ascending")->isChecked());
    }

    void listAllFromEitherBandRelists()
    {
        MainWindowFixture f(smallCollection());
        f.click("cmdCat");
        f.click("cmdCategory_1");
        QCOMPARE(f.text("lblCategoryName"), QString("Action"));
        f.find<QMenu>("mnuFile")->actions().at(5)->trigger(); // "List All" in the File menu
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));
        f.click("cmdCat");
        f.click("cmdCategory_2");
        f.find<QToolBar>("Band1")->actions().at(2)->trigger(); // the toolbar's "List All"
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
    }

    void keepsItsHeightAndFollowsItsWidth()
    {
        MainWindowFixture f({movie("A")});
        const int height = f.window->height();
        auto *counter = f.find("lblRecordCount");
        auto *rating = f.find("lblRating");
        auto *ratingCaption = f.find("lblItem_1");
        auto *titleCaption = f.find("lblItem_0");
        auto *category = f.find("cmdCategory_1");
        const QPoint counterAt = counter->pos(), ratingAt = rating->pos(), captionAt = ratingCaption->pos();
        const QPoint titleAt = titleCaption->pos(), categoryAt = category->pos();

        f.window->resize(f.window->width() + 150, height + 200);
        QTRY_COMPARE(counter->x(), counterAt.x() + 150);
        QCOMPARE(f.window->height(), height);
        QCOMPARE(rating->x(), ratingAt.x() + 150);
        QCOMPARE(ratingCaption->x(), captionAt.x() + 150);
        QCOMPARE(counter->y(), counterAt.y());
        QCOMPARE(titleCaption->pos(), titleAt);
        QCOMPARE(category->pos(), categoryAt);
        auto *panel = f.find("Picture2");
        QCOMPARE(f.list()->geometry().right(), panel->width() - 1);
        QCOMPARE(f.list()->geometry().bottom(), panel->height() - 1);
        // Right-hand labels sit at a fixed distance from the browse panel's right edge.
        QCOMPARE(counter->x(), widgets::twips(widgets::toTwips(f.find("Picture1")->width()) - 2205));

        f.window->showMinimized();
        QTest::qWait(20);
        QCOMPARE(counter->x(), counterAt.x() + 150);
        f.window->showNormal();
        QCOMPARE(f.window->height(), height);
    }

    void addMovieButtonCollapsesTheBrowsePanel()
    {
        MainWindowFixture f({movie("A")});
        auto *pane = f.find("Picture1");
        QCOMPARE(pane->height(), widgets::twips(1200));
        f.click("cmdCat");
        QCOMPARE(pane->height(), widgets::twips(2800));
        QVERIFY(f.window->categoriesExpanded());
        f.click("cmdAddMovie_0");
        QCOMPARE(pane->height(), widgets::twips(1200));
        QVERIFY(!f.window->categoriesExpanded());
        const auto windows = QApplication::topLevelWidgets();
        QVERIFY(std::any_of(windows.cbegin(), windows.cend(),
                            [](QWidget *w) { return w->objectName() == "frmAddNew" && w->isVisible(); }));
        f.click("cmdCat");
        QCOMPARE(pane->height(), widgets::twips(2800));
    }

    void refusesCataloguesItCannotRead()
    {
        testsupport::TestFolder missing;
        {
            FrmMain w(missing.path());
            QVERIFY(!w.load());
            QVERIFY(w.loadError().contains("DVDs.mdb"));
        }
        testsupport::MessageBoxAnswerer answer(QMessageBox::Ok);
        QCOMPARE(runMoviary(missing.path()), 1);
        QVERIFY(answer.seen().shown);
        QVERIFY(answer.seen().text.contains(missing.catalogue()));

        testsupport::TestFolder garbage;
        {
            QFile f(garbage.catalogue());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(3000, '\x01'));
        }
        FrmMain w(garbage.path());
        QVERIFY(!w.load());
        QVERIFY(w.loadError().contains("not a database file"));
        QFile f(garbage.catalogue());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(3000, '\x01'));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
