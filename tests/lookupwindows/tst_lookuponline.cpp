// SPDX-License-Identifier: GPL-3.0-or-later
// Looking movies up through the real windows and the real network code, against the suite's
// own server on 127.0.0.1 with the services' recorded answers: the editors' Look Up and the
// main window's Fill In Details.
#include "catalogue/backup.h"
#include "catalogue/schema.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "platform/settings.h"
#include "tests/common/files.h"
#include "tests/common/localserver.h"
#include "tests/common/serverthread.h"
#include "tests/editor/editorfixture.h"
#include "tests/mainwindow/fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

using namespace catalogue;
using namespace editortest;
using editor::FrmAddNew;
using editor::FrmEdit;
using platform::LookupSettings;
using testsupport::control;
using testsupport::flushDeletes;
using testsupport::MessageBoxAnswerer;
using testsupport::shown;
using Answer = LocalServer::Answer;

namespace {

const QString Key = QStringLiteral("0123456789abcdef0123456789abcdef");
const QString Actors = QStringLiteral("Sigourney Weaver, Tom Skerritt, Veronica Cartwright, Harry Dean Stanton, "
                                      "John Hurt, Ian Holm, Yaphet Kotto, Helen Horton");

// Points the saved settings at the server, for the source named.
void lookUpIn(const LocalServer &server, bool tmdb)
{
    LookupSettings s;
    s.source = tmdb ? LookupSettings::Source::Tmdb : LookupSettings::Source::Wikidata;
    s.tmdbKey = tmdb ? Key : QString();
    s.wikidataAddress = server.url("/w/api.php");
    s.wikipediaAddress = server.url("/api/rest_v1");
    s.tmdbAddress = server.url();
    (void)platform::saveLookupSettings(s);
}

QString sourceName(bool tmdb) { return tmdb ? QStringLiteral("The Movie Database") : QStringLiteral("Wikidata"); }

QDialog *lookupWindow(QWidget *dialog) { return dialog->findChild<QDialog *>("frmLookup"); }

bool candidatesShown(QWidget *d)
{
    return QTest::qWaitFor([&] {
        return lookupWindow(d) && lookupWindow(d)->findChild<QTreeWidget *>("lstCandidates")->topLevelItemCount() > 0;
    });
}

Movie bare(const QString &title, const QString &year = {}) { return makeMovie(title, "", "", "", "", "", year, ""); }

} // namespace

class TestLookupOnline : public QObject, public EditorFixture {
    Q_OBJECT

    std::unique_ptr<LocalServer> server;

    void record(bool tmdb)
    {
        if (tmdb)
            testsupport::recordTmdb(*server);
        else
            testsupport::recordWikidata(*server);
        lookUpIn(*server, tmdb);
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init()
    {
        setUpCase();
        testsupport::clearTestSettings();
        server = std::make_unique<LocalServer>();
    }
    void cleanup()
    {
        tearDownCase();
        server.reset();
    }

    void lookUpFillsTheBoxesAndFinishSaves_data()
    {
        QTest::addColumn<bool>("tmdb");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("actors");
        QTest::newRow("Wikidata") << false << "Alien is a 1979 science fiction horror film" << Actors;
        QTest::newRow("The Movie Database") << true << "During its return to the earth"
                                            << "Sigourney Weaver, Tom Skerritt, Veronica Cartwright, Harry Dean "
                                               "Stanton, John Hurt, Ian Holm, Yaphet Kotto, Bolaji Badejo";
    }
    void lookUpFillsTheBoxesAndFinishSaves()
    {
        QFETCH(bool, tmdb);
        QFETCH(QString, description);
        QFETCH(QString, actors);
        record(tmdb);
        makeHost({bare("Heat", "1995")});
        const auto before = folder->moviesInFile();
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        QVERIFY(QTest::qWaitForWindowActive(d));
        control<QLineEdit>(d, "Text1")->setText("Alien");
        control<QLineEdit>(d, "Text5")->setText("1979");
        QTest::keyClick(d, Qt::Key_L, Qt::ControlModifier);
        QVERIFY(candidatesShown(d));
        auto *list = control<QTreeWidget>(lookupWindow(d), "lstCandidates");
        QCOMPARE(list->topLevelItem(0)->text(0), QString("Alien"));
        QCOMPARE(list->topLevelItem(0)->text(1), QString("1979"));
        click(lookupWindow(d), "cmdOK");
        QTRY_VERIFY(lookupWindow(d)->findChild<QCheckBox *>("chkDescription"));
        click(lookupWindow(d), "cmdApply");
        flushDeletes();
        QVERIFY(!lookupWindow(d));

        const Movie now = shown(d);
        QCOMPARE(now[Field::Title], QString("Alien"));
        QVERIFY2(now[Field::Description].startsWith(description), qPrintable(now[Field::Description]));
        QCOMPARE(now[Field::Category], QString("Horror"));
        QCOMPARE(now[Field::Actors], actors);
        QCOMPARE(now[Field::Rating], QString("R"));
        QCOMPARE(now[Field::Year], QString("1979"));
        QCOMPARE(now[Field::Time], QString("117"));
        QCOMPARE(now[Field::Review], QString());
        for (const LocalServer::Received &r : server->requests())
            QVERIFY2(r.header("User-Agent").startsWith("Moviary/"), r.target.constData());
        QCOMPARE(server->mostAtOnce(), 1);
        QVERIFY(folder->moviesInFile() == before);
        click(d, "cmdFinish");
        flushDeletes();
        QCOMPARE(folder->moviesInFile().size(), before.size() + 1);
        QVERIFY(folder->moviesInFile().back() == now);
    }

    void failureNamesTheSourceAndKeepsEveryBox_data()
    {
        QTest::addColumn<bool>("tmdb");
        // The request answered with the failure: each names more items than the recorded answer, so it wins.
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("inDetails");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("message");
        const QString search = "/w/api.php?action=wbsearchentities&search=Alien&format=json";
        // The film itself came with the search: the details read its genres', cast's and rating's labels.
        const QString labels = "/w/api.php?action=wbgetentities&props=labels&format=json";
        QTest::newRow("Wikidata, HTTP error in the search")
            << false << search << false << Answer::error(503) << "Wikidata answered with an error (HTTP 503";
        QTest::newRow("Wikidata, not JSON in the search")
            << false << search << false << Answer::json("<html>busy</html>")
            << "Wikidata gave an answer that is not in the expected form.";
        QTest::newRow("Wikidata, not JSON in the details")
            << false << labels << true << Answer::json("{\"entities\": [")
            << "Wikidata gave an answer that is not in the expected form.";
        QTest::newRow("TMDb, key refused")
            << true << "/3/search/movie?query=Alien&year=1979" << false
            << Answer::error(401, LocalServer::file("tmdb/error-401.json")) << "The Movie Database refused the key.";
        QTest::newRow("TMDb, HTTP error in the details")
            << true << "/3/movie/348?append_to_response=credits,release_dates&api_key=" + Key << true
            << Answer::error(500) << "The Movie Database answered with an error (HTTP 500";
        QTest::newRow("TMDb, not JSON in the search")
            << true << "/3/search/movie?query=Alien&year=1979" << false << Answer::json("Bad Gateway")
            << "The Movie Database gave an answer that is not in the expected form.";
    }
    void failureNamesTheSourceAndKeepsEveryBox()
    {
        QFETCH(bool, tmdb);
        QFETCH(QString, failing);
        QFETCH(bool, inDetails);
        QFETCH(Answer, answer);
        QFETCH(QString, message);
        record(tmdb);
        server->answer(failing, answer);
        makeHost({makeMovie("Alien", "My own words", "Drama", "", "Scary", "PG", "1979", "")});
        QPointer<FrmEdit> d = FrmEdit::create(*host);
        QVERIFY(d);
        d->show();
        const Movie before = shown(d);
        MessageBoxAnswerer answerBox(QMessageBox::Ok);
        click(d, "cmdLookup");
        if (inDetails) {
            QVERIFY(candidatesShown(d));
            click(lookupWindow(d), "cmdOK");
        }
        QTRY_VERIFY(answerBox.seen().shown);
        QVERIFY2(answerBox.seen().text.startsWith(message), qPrintable(answerBox.seen().text));
        QVERIFY(answerBox.seen().text.contains(sourceName(tmdb)));
        QVERIFY(!answerBox.seen().text.contains(Key));
        QCOMPARE(answerBox.seen().icon, QMessageBox::Warning);
        flushDeletes();
        QVERIFY(!lookupWindow(d));
        QVERIFY(shown(d) == before);
        QVERIFY(!d->hasUnsavedEntries());
    }

    void cancelWhileTheServerHangs_data()
    {
        QTest::addColumn<bool>("tmdb");
        QTest::addColumn<QString>("hanging");
        QTest::newRow("Wikidata search") << false << "/w/api.php?action=wbsearchentities&search=Alien&format=json";
        QTest::newRow("TMDb details") << true << "/3/movie/348?append_to_response=credits,release_dates&api_key=" + Key;
    }
    void cancelWhileTheServerHangs()
    {
        QFETCH(bool, tmdb);
        QFETCH(QString, hanging);
        record(tmdb);
        server->answer(hanging, Answer::hang());
        makeHost({makeMovie("Alien", "My own words", "", "", "", "", "", "")});
        QPointer<FrmEdit> d = FrmEdit::create(*host);
        QVERIFY(d);
        d->show();
        const Movie before = shown(d);
        click(d, "cmdLookup");
        if (tmdb) {
            QVERIFY(candidatesShown(d));
            click(lookupWindow(d), "cmdOK");
        }
        QPointer<QDialog> window = lookupWindow(d);
        // The hanging request was sent, and the window waits for it.
        QTRY_VERIFY(!server->requests().isEmpty() &&
                    server->requests().last().target.contains(tmdb ? "/3/movie/348" : "wbsearchentities"));
        QVERIFY(control<QLabel>(window, "lblStatus")->text().contains(sourceName(tmdb)));
        click(window, "cmdCancel");
        flushDeletes();
        QVERIFY(!window);
        QVERIFY(shown(d) == before);
        QVERIFY(d->isEnabled() && !d->hasUnsavedEntries());
    }

    void fillInFromTheMainWindow()
    {
        record(false);
        MainWindowFixture f({bare("Alien", "1979"), bare("Alien"), bare("Zzyzx Road", "2006")});
        f.closeOtherWindows();
        f.trigger("FillIn");
        QWidget *w = testsupport::topLevel("frmFillIn");
        QVERIFY(w);
        QTest::mouseClick(control<QPushButton>(w, "cmdStart"), Qt::LeftButton);
        auto *result = control<QLabel>(w, "lblResult");
        QTRY_VERIFY_WITH_TIMEOUT(!result->text().isEmpty(), 20000);
        QCOMPARE(
            result->text(),
            QString("3 of 3 movies looked up in Wikidata. 1 with details to add, 2 set aside, 0 already complete."));
        auto *setAside = control<QTreeWidget>(w, "tvwSetAside");
        QCOMPARE(setAside->topLevelItemCount(), 2);
        QVERIFY(setAside->topLevelItem(0)->text(1).startsWith("More than one match: Alien (1979); Alien (2023)"));
        QCOMPARE(setAside->topLevelItem(1)->text(0), QString("Zzyzx Road (2006)"));
        QCOMPARE(setAside->topLevelItem(1)->text(1), QString("No match found."));
        QVERIFY(catalogue::listBackups(f.folder.catalogue()).isEmpty());

        QTest::mouseClick(control<QPushButton>(w, "cmdApply"), Qt::LeftButton);
        const auto backups = catalogue::listBackups(f.folder.catalogue());
        QCOMPARE(backups.size(), 1);
        QVERIFY(control<QLabel>(w, "lblSummary")->text().contains(backups.first().path));
        const auto movies = f.folder.moviesInFile();
        QCOMPARE(movies[0][Field::Actors], Actors);
        QCOMPARE(movies[0][Field::Time], QString("117"));
        QVERIFY(movies[0][Field::Description].startsWith("Alien is a 1979"));
        QVERIFY(movies[1] == bare("Alien"));
        QVERIFY(movies[2] == bare("Zzyzx Road", "2006"));
    }

    void fillInReportsAnHttpFailure()
    {
        record(true);
        server->answer("/3/search/movie?query=Alien&year=1979", Answer::error(502));
        MainWindowFixture f({bare("Alien", "1979")});
        const QByteArray before = testsupport::fileBytes(f.folder.catalogue());
        f.closeOtherWindows();
        f.trigger("FillIn");
        QWidget *w = testsupport::topLevel("frmFillIn");
        QTest::mouseClick(control<QPushButton>(w, "cmdStart"), Qt::LeftButton);
        auto *result = control<QLabel>(w, "lblResult");
        QTRY_VERIFY_WITH_TIMEOUT(!result->text().isEmpty(), 20000);
        const QString set = control<QTreeWidget>(w, "tvwSetAside")->topLevelItem(0)->text(1);
        QVERIFY2(set.contains("The Movie Database answered with an error (HTTP 502"), qPrintable(set));
        QVERIFY(!control<QPushButton>(w, "cmdApply")->isEnabled());
        QVERIFY(catalogue::listBackups(f.folder.catalogue()).isEmpty());
        QCOMPARE(testsupport::fileBytes(f.folder.catalogue()), before);
    }
};

QTEST_MAIN(TestLookupOnline)
#include "tst_lookuponline.moc"
