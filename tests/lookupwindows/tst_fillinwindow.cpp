// SPDX-License-Identifier: GPL-3.0-or-later
// "Fill In Details..." in the real main window, looking movies up in a scripted source.
#include "catalogue/backup.h"
#include "catalogue/schema.h"
#include "lookup/sourcefactory.h"
#include "tests/common/files.h"
#include "tests/common/widgets.h"
#include "tests/lookup/scriptedsource.h"
#include "tests/mainwindow/fixture.h"

#include <QCheckBox>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

using catalogue::Field;
using lookuptest::bare;
using lookuptest::found;
using lookuptest::Script;
using testsupport::control;
using testsupport::topLevel;

namespace {

char mark(const QTreeWidgetItem *item)
{
    const Qt::CheckState s = item->checkState(0);
    return s == Qt::Checked ? '+' : s == Qt::Unchecked ? '-' : '~';
}

// Each movie and field of the review with its check mark: "~Alien (1979)", "+Time=117".
QStringList review(QTreeWidget *tree)
{
    QStringList out;
    for (int t = 0; t < tree->topLevelItemCount(); ++t) {
        const QTreeWidgetItem *top = tree->topLevelItem(t);
        out << mark(top) + top->text(0);
        for (int c = 0; c < top->childCount(); ++c)
            out << mark(top->child(c)) + top->child(c)->text(0) + "=" + top->child(c)->text(2);
    }
    return out;
}

QStringList rows(QTreeWidget *tree)
{
    QStringList out;
    for (int t = 0; t < tree->topLevelItemCount(); ++t)
        out << tree->topLevelItem(t)->text(0) + ": " + tree->topLevelItem(t)->text(1);
    return out;
}

QTreeWidgetItem *child(QTreeWidget *tree, int movie, const QString &field)
{
    QTreeWidgetItem *top = tree->topLevelItem(movie);
    for (int c = 0; c < top->childCount(); ++c)
        if (top->child(c)->text(0) == field)
            return top->child(c);
    qFatal("no field %s", qPrintable(field));
}

} // namespace

class TestFillInWindow : public QObject {
    Q_OBJECT

    std::shared_ptr<Script> script;

    QWidget *openFillIn(const MainWindowFixture &f)
    {
        f.closeOtherWindows();
        f.trigger("FillIn");
        return topLevel("frmFillIn");
    }
    // Starts the run and waits for its result; the window stays responsive meanwhile.
    QString run(QWidget *w)
    {
        QLabel *result = control<QLabel>(w, "lblResult");
        QTest::mouseClick(control<QPushButton>(w, "cmdStart"), Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return !result->text().isEmpty(); }))
            return "no result";
        return result->text();
    }

private slots:
    void init()
    {
        script = std::make_shared<Script>();
        lookup::installSourceFactory(
            [s = script](const platform::LookupSettings &) { return std::make_unique<lookuptest::ScriptedSource>(s); });
    }
    void cleanup() { lookup::installSourceFactory({}); }

    void reviewThenApplyWritesOnlyWhatStaysChecked()
    {
        catalogue::Movie alien = bare("Alien", "1979");
        alien[Field::Actors] = "Tom Skerritt";
        MainWindowFixture f({alien, bare("Heat", "1995"), bare("Ran", "1985"), bare("Nowhere"), bare("Crash")});
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        script->film("Heat", 1995, "Q2", found("Heat", "1995"));
        script->film("Ran", 1985, "Q3", found("Ran", "1985"));
        script->film("Crash", 1996, "Q4", found("Crash", "1996"));
        script->film("Crash", 2004, "Q5", found("Crash", "2004"));
        QWidget *w = openFillIn(f);
        QVERIFY(w);
        QCOMPARE(run(w), QString("5 of 5 movies looked up in Wikidata. 3 with details to add, 2 set aside, 0 "
                                 "already complete."));
        auto *changes = control<QTreeWidget>(w, "tvwChanges");
        // Empty fields checked, the collector's own not: the movie's box shows both.
        QCOMPARE(review(changes).mid(0, 6),
                 QStringList({"~Alien (1979)", "+Description=The story of Alien", "+Category=Horror",
                              "-Actors=Sigourney Weaver", "+Rating=R", "+Time=117"}));
        QCOMPARE(rows(control<QTreeWidget>(w, "tvwSetAside")),
                 QStringList({"Crash: More than one match: Crash (1996); Crash (2004)", "Nowhere: No match found."}));

        // One field unchecked, one opted in; a movie's box unchecks all its fields.
        child(changes, 0, "Time")->setCheckState(0, Qt::Unchecked);
        child(changes, 0, "Actors")->setCheckState(0, Qt::Checked);
        changes->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        QVERIFY(!review(changes).join(' ').contains(QRegularExpression("[+~]Heat|[+]\\w+=The story of Heat")));
        // Another window edits Ran while the user reviews.
        testsupport::execSql(f.folder.catalogue(), "UPDATE Movies SET Review = 'Mine' WHERE Title = 'Ran'");

        QTest::mouseClick(control<QPushButton>(w, "cmdApply"), Qt::LeftButton);
        const QString summary = control<QLabel>(w, "lblSummary")->text();
        QVERIFY2(summary.startsWith("1 movie changed, 4 fields in all.") &&
                     summary.endsWith("Changed elsewhere meanwhile and left as they are: Ran."),
                 qPrintable(summary));
        const auto backups = catalogue::listBackups(f.folder.catalogue());
        QCOMPARE(backups.size(), 1);
        QVERIFY(summary.contains(backups.first().path));
        QVERIFY(!control<QPushButton>(w, "cmdApply")->isEnabled());

        const auto movies = f.folder.moviesInFile();
        catalogue::Movie filled = found("Alien", "1979");
        filled[Field::Time] = "";
        QCOMPARE(movies[0], filled);
        QCOMPARE(movies[1], bare("Heat", "1995"));
        QCOMPARE(movies[2][Field::Review], QString("Mine"));
        QCOMPARE(movies[2][Field::Description], QString());
        // The main window lists the new values.
        const QModelIndex cell =
            f.list()->model()->index(f.listedTitles().indexOf("Alien"), catalogue::index(Field::Description));
        QCOMPARE(cell.data().toString(), QString("The story of Alien"));
    }

    void aRunCutShortKeepsWhatWasFound_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("result");
        QTest::newRow("cancelled") << true << "Cancelled after 1 of 3 movies. 1 with details to add";
        QTest::newRow("no network") << false
                                    << "The look-up in Wikidata stopped after 2 of 3 movies: Wikidata could not be "
                                       "reached: the network is down. 1 with details to add, 1 set aside";
    }
    void aRunCutShortKeepsWhatWasFound()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, result);
        MainWindowFixture f({bare("Alien", "1979"), bare("Heat"), bare("Ran")});
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        script->searches["Heat"].hang = cancel;
        script->searches["Heat"].failure = lookup::Failure::Network;
        QWidget *w = openFillIn(f);
        QTest::mouseClick(control<QPushButton>(w, "cmdStart"), Qt::LeftButton);
        if (cancel) {
            QTRY_COMPARE(control<QLabel>(w, "lblProgress")->text(), QString("Looking up movie 2 of 3: Heat"));
            QVERIFY(!control<QPushButton>(w, "cmdStart")->isEnabled());
            QTest::mouseClick(control<QPushButton>(w, "cmdCancel"), Qt::LeftButton);
            QCOMPARE(script->open, 0);
        }
        QTRY_VERIFY(control<QLabel>(w, "lblResult")->text().startsWith(result));
        QVERIFY(!script->asked.contains("search Ran 0"));
        QCOMPARE(review(control<QTreeWidget>(w, "tvwChanges")).first(), QString("+Alien (1979)"));
        QVERIFY(control<QPushButton>(w, "cmdApply")->isEnabled() && control<QPushButton>(w, "cmdStart")->isEnabled());
        QVERIFY(catalogue::listBackups(f.folder.catalogue()).isEmpty());
    }

    void listedMoviesAndOnlyThoseMissingAField()
    {
        std::vector<catalogue::Movie> movies = smallCollection();
        movies[2][Field::Description] = ""; // Heat, one of the three action movies
        MainWindowFixture f(movies);
        f.click("cmdCat");
        f.click("cmdCategory_1");
        QWidget *w = openFillIn(f);
        control<QRadioButton>(w, "optListed")->setChecked(true);
        run(w);
        QCOMPARE(script->asked, QStringList({"search Die Hard 1988", "search Heat 1995", "search Speed 1994"}));
        script->asked.clear();
        control<QCheckBox>(w, "chkOnlyMissing")->setChecked(true);
        QCOMPARE(run(w).left(35), QString("1 of 1 movies looked up in Wikidata"));
        QCOMPARE(script->asked, QStringList({"search Heat 1995"}));
    }

    void offWhileAnEditorIsOpenAndClosedWithTheMainWindow()
    {
        auto f = std::make_unique<MainWindowFixture>(std::vector<catalogue::Movie>{bare("Alien", "1979")});
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        QPointer<QWidget> w = openFillIn(*f);
        run(w);
        f->trigger("Edit");
        QVERIFY(topLevel("frmEdit"));
        QVERIFY(!f->tool("FillIn")->isEnabled());
        topLevel("frmEdit")->close();
        QVERIFY(f->tool("FillIn")->isEnabled());

        // The main window goes while a look-up is in flight: the window and its request go with it.
        script->searches["Alien"].hang = true;
        QTest::mouseClick(control<QPushButton>(w, "cmdStart"), Qt::LeftButton);
        QCOMPARE(script->open, 1);
        f.reset();
        QVERIFY(w.isNull());
        QCOMPARE(script->open, 0);
    }
};

QTEST_MAIN(TestFillInWindow)
#include "tst_fillinwindow.moc"
