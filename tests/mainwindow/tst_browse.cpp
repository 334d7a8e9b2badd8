// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "catalogue/schema.h"
#include "platform/settings.h"
#include "widgets/twips.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

using testsupport::movie;

class TestBrowse : public QObject {
    Q_OBJECT

    static void search(const MainWindowFixture &f, const QString &field, const QString &text)
    {
        auto *combo = f.find<QComboBox>("cboField");
        combo->setEditText(field);
        auto *box = f.find<QLineEdit>("txtSearch");
        box->setText(text);
        f.click("cmdSearch");
    }

    static QStringList column(const MainWindowFixture &f, int c)
    {
        QStringList out;
        for (int r = 0; r < f.list()->model()->rowCount(); ++r)
            out << f.list()->model()->index(r, c).data().toString();
        return out;
    }

private slots:
    void categoriesListTheirMoviesByTitle()
    {
        MainWindowFixture f(smallCollection());
        auto *pane = f.find("Picture1");
        f.click("cmdCat");
        QCOMPARE(pane->height(), widgets::twips(2800));
        QVERIFY(f.find("cmdCategory_12")->isVisible());
        f.click("cmdCategory_1");
        QCOMPARE(f.text("lblCategoryName"), QString("Action"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 3"));
        QCOMPARE(f.listedTitles(), QStringList({"Die Hard", "Heat", "Speed"})); // "action" too
        QCOMPARE(f.text("lblTitle"), QString("Die Hard"));
        QCOMPARE(pane->height(), widgets::twips(1200));
        QVERIFY(!f.window->categoriesExpanded());

        f.click("cmdCat");
        f.click("cmdCategory_2");
        QCOMPARE(f.text("lblCategoryName"), QString("Biography"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 1"));

        f.click("cmdCat");
        f.click("cmdCategory_8");
        QCOMPARE(f.text("lblCategoryName"), QString("Musical"));
        QCOMPARE(f.text("lblRecordCount"), QString("No Movies"));
        QCOMPARE(f.list()->model()->rowCount(), 0);
        QCOMPARE(f.text("lblTitle"), QString());
        f.click("cmdNext");
        QCOMPARE(f.text("lblRecordCount"), QString("No Movies"));
    }

    void categoryButtonsAndToggle()
    {
        MainWindowFixture f(smallCollection());
        const QStringList captions{"Action",          "Biography", "Comedy",  "Documentary ", "Drama",  "Horror",
                                   "Instructional  ", "Musical",   "Mystery", "Sci-Fi",       "Sports", "Suspense"};
        for (int i = 1; i <= 12; ++i) {
            auto *b = f.find<QPushButton>(QString("cmdCategory_%1").arg(i));
            QCOMPARE(b->text(), captions[i - 1]);
            QCOMPARE(b->x(), widgets::twips(QList<int>{120, 1560, 3000, 4440}[(i - 1) % 4]));
            QCOMPARE(b->y(), widgets::twips(QList<int>{1320, 1800, 2280}[(i - 1) / 4]));
        }
        search(f, "Title", "star");
        QVERIFY(f.find("lblFound")->isVisible());
        f.click("cmdCat");
        QVERIFY(f.find("lblFound")->isHidden());
        QVERIFY(f.window->categoriesExpanded());
        f.click("cmdCat");
        QVERIFY(!f.window->categoriesExpanded());
        QCOMPARE(f.find("Picture1")->height(), widgets::twips(1200));
        // A category after a search replaces "Browse Results".
        search(f, "Title", "star");
        f.click("cmdCategory_10");
        QCOMPARE(f.text("lblCategoryName"), QString("Sci-Fi"));
        QVERIFY(f.find("lblFound")->isHidden());
    }

    void searchFindsSubstringsInTheChosenField()
    {
        MainWindowFixture f(smallCollection());
        search(f, "Title", "star");
        QCOMPARE(f.text("lblCategoryName"), QString("Browse Results"));
        QCOMPARE(f.text("lblFound"), QString("Movies Found : 2"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 2"));
        QCOMPARE(f.listedTitles(), QStringList({"Lone Star", "Star Wars"}));
        search(f, "Title", "STAR WARS");
        QCOMPARE(f.listedTitles(), QStringList({"Star Wars"}));
        search(f, "Title", "AMÉLIE");
        QCOMPARE(f.listedTitles(), QStringList({"Amélie"}));
        search(f, "Title", "amelie");
        QCOMPARE(f.listedTitles(), QStringList({"Amélie"}));
        search(f, "All Fields", "AMELIE");
        QCOMPARE(f.listedTitles(), QStringList({"Amélie"}));

        search(f, "Title", "zzz");
        QCOMPARE(f.text("lblFound"), QString("Movies Found : 0"));
        QVERIFY(f.find("lblFound")->isVisible());
        QCOMPARE(f.text("lblRecordCount"), QString("No Matches"));
        QCOMPARE(f.list()->model()->rowCount(), 0);
        QCOMPARE(f.text("lblTitle"), QString());

        f.trigger("ListAll");
        QVERIFY(f.find("lblFound")->isHidden());
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
    }

    void searchOrdersByTheSearchedField()
    {
        MainWindowFixture f({catalogue::makeMovie("B", "", "", "", "", "", "2001", "190"),
                             catalogue::makeMovie("A", "", "", "", "", "", "1999", "90"),
                             catalogue::makeMovie("C", "", "", "", "", "", "1990", "95"),
                             catalogue::makeMovie("D", "", "", "", "", "", "1999", "100")});
        search(f, "Running Time", "90");
        QCOMPARE(column(f, 7), QStringList({"190", "90"}));
        search(f, "Year", "19");
        QCOMPARE(column(f, 6), QStringList({"1990", "1999", "1999"}));
        QCOMPARE(f.listedTitles(), QStringList({"C", "A", "D"})); // equal years in table order
        f.trigger("List");
        f.click("cmdNext");
        QCOMPARE(f.text("lblTitle"), QString("A"));
        f.click("cmdNext");
        QCOMPARE(f.text("lblTitle"), QString("D"));
        // A search from browse-buttons view comes back to the list.
        search(f, "Year", "20");
        QVERIFY(!f.window->listHidden());
        QVERIFY(f.list()->isVisible());
        QCOMPARE(f.tool("List")->text(), QString("Browse Buttons"));
        f.trigger("List");
        QVERIFY(f.window->listHidden());
    }

    void awkwardSearchTextIsMatchedAsTyped()
    {
        MainWindowFixture f({movie("Schindler's List"), movie("100% Pure"), movie("a_b"), movie("The [Cut"),
                             movie("back\\slash"), movie("Plain"), movie("Zoë's Day")});
        auto found = [&](const QString &text) {
            search(f, "Title", text);
            return f.listedTitles();
        };
        QCOMPARE(found("'"), QStringList({"Schindler's List", "Zoë's Day"}));
        QCOMPARE(found("r's L"), QStringList({"Schindler's List"}));
        QCOMPARE(found("["), QStringList({"The [Cut"}));
        QCOMPARE(found("%"), QStringList({"100% Pure"}));
        QCOMPARE(found("_"), QStringList({"a_b"}));
        QCOMPARE(found("\\"), QStringList({"back\\slash"}));
        QCOMPARE(found("ZOË"), QStringList({"Zoë's Day"}));
        QCOMPARE(found("p?re"), QStringList({"100% Pure"}));
        QCOMPARE(found("#%"), QStringList({"100% Pure"}));
        QCOMPARE(found("[a-c]_b"), QStringList({"a_b"}));
        QCOMPARE(found("[!a-z]_"), QStringList());
        QCOMPARE(found(QString(5000, 'x')), QStringList());
        QCOMPARE(f.text("lblRecordCount"), QString("No Matches"));
        QCOMPARE(found("").size(), 7);
    }

    void emptyTextListsMoviesWhoseFieldHoldsAValue()
    {
        catalogue::Movie bare = movie("Bare");
        bare.isNull[catalogue::index(catalogue::Field::Review)] = true;
        MainWindowFixture f({movie("Full"), bare});
        search(f, "Review", "");
        QCOMPARE(f.listedTitles(), QStringList({"Full"}));
    }

    void fieldSelectorNeverNamesAnythingButAField()
    {
        MainWindowFixture f(smallCollection());
        auto *combo = f.find<QComboBox>("cboField");
        combo->setEditText("");
        QCOMPARE(combo->currentText(), QString("Title"));
        search(f, "year", "199");
        QCOMPARE(f.text("lblFound"), QString("Movies Found : 3"));
        search(f, "Title; drop table Movies", "a");
        QCOMPARE(f.text("lblRecordCount"), QString("No Matches"));
        QCOMPARE(f.text("lblFound"), QString("Movies Found : 0"));
        f.trigger("ListAll");
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 7"));
    }

    void enterInTheSearchBoxSearches()
    {
        MainWindowFixture f(smallCollection());
        auto *box = f.find<QLineEdit>("txtSearch");
        box->setFocus();
        QTest::keyClicks(box, "hard");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f.text("lblFound"), QString("Movies Found : 1"));
        QCOMPARE(f.listedTitles(), QStringList({"Die Hard"}));
        QCOMPARE(box->text(), QString("hard"));
    }

    void lettersWithMarksAndLigaturesSortBesideTheirBase()
    {
        std::vector<catalogue::Movie> movies;
        for (const char *t : {"Zorro", "Œdipe", "Straße", "Amistad", "Æon Flux", "Être", "Strasse", "Adam", "Zoë"})
            movies.push_back(movie(QString::fromUtf8(t), "Drama", "2000"));
        MainWindowFixture f(movies);
        f.trigger("ListAll");
        QCOMPARE(f.listedTitles(),
                 QStringList({"Adam", "Æon Flux", "Amistad", "Être", "Œdipe", "Strasse", "Straße", "Zoë", "Zorro"}));
        search(f, "Title", "etre");
        QCOMPARE(f.listedTitles(), QStringList({"Être"}));
        search(f, "All Fields", "zoe");
        QCOMPARE(f.listedTitles(), QStringList({"Zoë"}));
        search(f, "All Fields", "aeon");
        QCOMPARE(f.listedTitles(), QStringList({"Æon Flux"}));
        search(f, "Title", "oedipe");
        QCOMPARE(f.listedTitles(), QStringList({"Œdipe"}));
        search(f, "Title", "strasse");
        QCOMPARE(f.listedTitles(), QStringList({"Strasse", "Straße"}));
        search(f, "All Fields", "stra?e");
        QCOMPARE(f.listedTitles(), QStringList({"Straße"}));
    }

    void sortOrderIsKeptAcrossListings()
    {
        MainWindowFixture f(smallCollection());
        f.trigger("Descending");
        QVERIFY(f.tool("Descending")->isChecked());
        QVERIFY(!f.tool("Ascending")->isChecked());
        QCOMPARE(f.text("lblSort"), QString("Sort: Descending"));
        QCOMPARE(f.listedTitles().first(), QString("Star Wars"));
        f.trigger("ListAll");
        QCOMPARE(f.listedTitles().first(), QString("Star Wars"));
        QCOMPARE(f.text("lblSort"), QString("Sort: Descending"));
        f.click("cmdCat");
        f.click("cmdCategory_1");
        QCOMPARE(f.listedTitles(), QStringList({"Speed", "Heat", "Die Hard"}));
        f.trigger("Ascending");
        f.trigger("Ascending");
        QVERIFY(f.tool("Ascending")->isChecked());
        QCOMPARE(f.listedTitles(), QStringList({"Die Hard", "Heat", "Speed"}));
        QCOMPARE(f.text("lblSort"), QString("Sort: Ascending"));
    }

    void mergeTogglesEveryColumn()
    {
        MainWindowFixture f(smallCollection());
        auto *model = f.window->listModel();
        f.click("cmdCat");
        f.click("cmdCategory_1"); // Die Hard, Heat, Speed: two "Action", one "action"
        f.trigger("Merge");
        QVERIFY(f.tool("Merge")->isChecked());
        QCOMPARE(f.text("lblMerge"), QString("Merge: On"));
        QVERIFY(!model->sameAsAbove(1, 2)); // "action" under "Action": different text
        QVERIFY(model->sameAsAbove(1, 5));  // ratings
        QVERIFY(!model->sameAsAbove(1, 0));
        f.trigger("Merge");
        QVERIFY(!f.tool("Merge")->isChecked());
        QCOMPARE(f.text("lblMerge"), QString("Merge: Off"));
        QVERIFY(!model->sameAsAbove(1, 5));
    }

    void viewToggleSwapsListAndBrowseButtons()
    {
        MainWindowFixture f(smallCollection());
        QVERIFY(f.find("picHideButtons")->isVisible());
        QCOMPARE(f.tool("List")->text(), QString("Browse Buttons"));
        f.trigger("List");
        QCOMPARE(f.tool("List")->text(), QString("ListView"));
        QVERIFY(f.find("picHideButtons")->isHidden());
        QVERIFY(f.list()->isHidden());
        QVERIFY(f.find("cmdPrev")->isVisible());
        QVERIFY(f.find("lblTitle")->isVisible());
        f.trigger("List");
        QCOMPARE(f.tool("List")->text(), QString("Browse Buttons"));
        QVERIFY(f.list()->isVisible());
        QVERIFY(!f.window->listHidden());
    }

    void tipsToolWritesTheSettingAtOnce()
    {
        MainWindowFixture f(smallCollection());
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "moviary", "moviary");
        QVERIFY(!f.tool("Tips")->isChecked()); // started with "0"
        f.trigger("Tips");
        QVERIFY(f.tool("Tips")->isChecked());
        store.sync();
        QCOMPARE(store.value("Options/Show Tips at Startup").toString(), QString("1"));
        f.trigger("Tips");
        store.sync();
        QCOMPARE(store.value("Options/Show Tips at Startup").toString(), QString("0"));
        QVERIFY(!f.tool("Tips")->isChecked());
    }
};

QTEST_MAIN(TestBrowse)
#include "tst_browse.moc"
