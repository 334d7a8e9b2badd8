// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "catalogue/schema.h"
#include "lookup/fillin.h"
#include "tests/common/files.h"
#include "tests/common/testfolder.h"
#include "tests/lookup/scriptedsource.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextStream>

using catalogue::Field;
using lookup::FillIn;
using lookup::SetAside;
using lookuptest::bare;
using lookuptest::found;
using lookuptest::Script;
using lookuptest::ScriptedSource;

namespace {

void runToEnd(FillIn &fillIn)
{
    QSignalSpy done(&fillIn, &FillIn::finished);
    fillIn.start();
    QTRY_COMPARE(done.size(), 1);
    QVERIFY(!fillIn.isRunning());
}

QString changesOf(const lookup::MovieChanges &m)
{
    QStringList out;
    for (const lookup::FieldChange &c : m.changes)
        out << QString("%1%2=%3").arg(c.proposed ? "+" : "-", catalogue::fieldName(c.field), c.newValue);
    return out.join(' ');
}

std::vector<lookup::MovieChanges> proposedOnly(const FillIn &fillIn)
{
    std::vector<lookup::MovieChanges> out = fillIn.proposals();
    for (auto &m : out)
        m.changes.erase(std::remove_if(m.changes.begin(), m.changes.end(), [](auto &c) { return !c.proposed; }),
                        m.changes.end());
    return out;
}

void execute(const QString &file, const char *sql)
{
    sqlite3 *raw = nullptr;
    sqlite3_open(file.toUtf8().constData(), &raw);
    catalogue::ConnectionPtr db(raw);
    char *why = nullptr;
    if (sqlite3_exec(raw, sql, nullptr, nullptr, &why) != SQLITE_OK)
        qFatal("%s", why);
}

// Alien and Heat, both found with a description and a running time, looked up to the end.
struct TwoFilmsLookedUp {
    testsupport::TestFolder folder;
    std::shared_ptr<Script> script = std::make_shared<Script>();
    ScriptedSource source{script};
    FillIn fillIn{source};
    bool lookUp()
    {
        folder.makeCatalogue({bare("Alien", "1979"), bare("Heat", "1995")});
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        script->film("Heat", 1995, "Q2", found("Heat", "1995"));
        if (fillIn.load(folder.catalogue(), {}, false))
            return false;
        runToEnd(fillIn);
        return true;
    }
};

} // namespace

class TestFillIn : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::useTestSettings(); }

    void onlyASingleConfidentMatchIsTaken_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QStringList>("candidates"); // "title|year|id"
        QTest::addColumn<QString>("outcome");
        QTest::newRow("one") << "1979" << QStringList{"Alien|1979|Q1"} << "match Q1";
        QTest::newRow("accents and case") << "" << QStringList{"ALIEN|1979|Q1"} << "match Q1";
        QTest::newRow("one among others") << "1979" << QStringList{"Aliens|1986|Q2", "Alien|1979|Q1"} << "match Q1";
        QTest::newRow("other year") << "1979" << QStringList{"Alien|2019|Q3"} << "not found";
        QTest::newRow("nothing") << "1979" << QStringList{} << "not found";
        QTest::newRow("two without a year")
            << "" << QStringList{"Alien|1979|Q1", "Alien|2019|Q3"} << "more than one: Alien (1979); Alien (2019)";
        QTest::newRow("same film twice") << "1979" << QStringList{"Alien|1979|Q1", "Alien|1979|Q1"} << "match Q1";
    }
    void onlyASingleConfidentMatchIsTaken()
    {
        QFETCH(QString, year);
        QFETCH(QStringList, candidates);
        QFETCH(QString, outcome);
        testsupport::TestFolder folder;
        folder.makeCatalogue({bare("Alien", year)});
        auto script = std::make_shared<Script>();
        for (const QString &c : candidates) {
            const QStringList p = c.split('|');
            script->searches["Alien"].candidates << lookup::Candidate{p[2], p[0], p[1].toInt(), QString()};
            script->details[p[2]].details = found(p[0], p[1]);
        }
        ScriptedSource source(script);
        FillIn fillIn(source);
        QVERIFY(!fillIn.load(folder.catalogue(), {}, false));
        runToEnd(fillIn);
        QCOMPARE(script->asked.first(), QString("search Alien %1").arg(year.isEmpty() ? 0 : year.toInt()));
        QString got;
        if (!fillIn.proposals().empty())
            got = "match " + script->asked.last().section(' ', 1);
        else if (fillIn.setAside().front().reason == SetAside::Reason::NotFound)
            got = "not found";
        else
            got = "more than one: " + fillIn.setAside().front().detail;
        QCOMPARE(got, outcome);
        // Details are fetched only for the one match taken.
        QCOMPARE(script->asked.size(), outcome.startsWith("match") ? 2 : 1);
    }

    void emptyFieldsProposedFilledOnesOnlyWhenAsked()
    {
        testsupport::TestFolder folder;
        catalogue::Movie partly = bare("Alien", "1979");
        partly[Field::Actors] = "Tom Skerritt";
        partly[Field::Review] = "";
        folder.makeCatalogue({partly, testsupport::movie("Heat", "Action", "1995")});
        auto script = std::make_shared<Script>();
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        catalogue::Movie heat = found("Heat", "1995");
        heat[Field::Review] = "From the source";
        heat[Field::Time] = "90";
        script->film("Heat", 1995, "Q2", heat);
        ScriptedSource source(script);

        FillIn all(source);
        QVERIFY(!all.load(folder.catalogue(), {}, false));
        runToEnd(all);
        QCOMPARE(int(all.proposals().size()), 2);
        // Empty fields checked, the collector's own unchecked; equal values and the review never.
        QCOMPARE(changesOf(all.proposals()[0]), QString("+Description=The story of Alien +Category=Horror "
                                                        "-Actors=Sigourney Weaver +Rating=R +Time=117"));
        QCOMPARE(changesOf(all.proposals()[1]), QString("-Description=The story of Heat -Category=Horror "
                                                        "-Actors=Sigourney Weaver -Rating=R"));

        script->asked.clear();
        FillIn missing(source);
        QVERIFY(!missing.load(folder.catalogue(), {}, true));
        QCOMPARE(missing.total(), 1);
        runToEnd(missing);
        QCOMPARE(script->asked, QStringList({"search Alien 1979", "details Q1"}));
        QCOMPARE(changesOf(missing.proposals()[0]),
                 QString("+Description=The story of Alien +Category=Horror +Rating=R +Time=117"));
    }

    void chosenRowsInTheirOrder()
    {
        testsupport::TestFolder folder;
        folder.makeCatalogue({bare("A"), bare("B"), bare("C")});
        auto script = std::make_shared<Script>();
        ScriptedSource source(script);
        FillIn fillIn(source);
        QVERIFY(!fillIn.load(folder.catalogue(), {3, 1, 99}, false));
        QCOMPARE(fillIn.total(), 2);
        runToEnd(fillIn);
        QCOMPARE(script->asked, QStringList({"search C 0", "search A 0"}));
        QCOMPARE(int(fillIn.setAside().size()), 2);
        // Every movie, in the order of the main list.
        FillIn everyMovie(source);
        script->asked.clear();
        execute(folder.catalogue(), "UPDATE Movies SET Title = 'D' WHERE rowid = 1");
        QVERIFY(!everyMovie.load(folder.catalogue(), {}, false));
        runToEnd(everyMovie);
        QCOMPARE(script->asked, QStringList({"search B 0", "search C 0", "search D 0"}));
    }

    void cancelStopsAtOnce()
    {
        testsupport::TestFolder folder;
        folder.makeCatalogue({bare("Alien"), bare("Heat")});
        auto script = std::make_shared<Script>();
        script->searches["Alien"].hang = true;
        ScriptedSource source(script);
        FillIn fillIn(source);
        QVERIFY(!fillIn.load(folder.catalogue(), {}, false));
        QSignalSpy done(&fillIn, &FillIn::finished);
        fillIn.start();
        QVERIFY(fillIn.isRunning());
        QCOMPARE(script->open, 1);
        fillIn.cancel();
        QVERIFY(!fillIn.isRunning());
        QVERIFY(fillIn.wasCancelled());
        QCOMPARE(done.size(), 1);
        QCOMPARE(script->open, 0);
        QTest::qWait(20);
        QCOMPARE(script->asked, QStringList({"search Alien 0"}));
        QCOMPARE(done.size(), 1);
    }

    void failuresSetMoviesAsideAndAnUnreachableSourceStops()
    {
        testsupport::TestFolder folder;
        folder.makeCatalogue({bare("Alien"), bare("Heat"), bare("Ran"), bare("Up")});
        auto script = std::make_shared<Script>();
        script->searches["Alien"].failure = lookup::Failure::BadAnswer;
        script->film("Heat", 1995, "Q2", found("Heat", "1995"));
        script->searches["Ran"].failure = lookup::Failure::Network;
        ScriptedSource source(script);
        FillIn fillIn(source);
        QVERIFY(!fillIn.load(folder.catalogue(), {}, false));
        runToEnd(fillIn);
        // One bad answer is one movie set aside; no network ends the run.
        QCOMPARE(fillIn.done(), 3);
        QCOMPARE(int(fillIn.proposals().size()), 1);
        QCOMPARE(int(fillIn.setAside().size()), 2);
        QCOMPARE(fillIn.setAside()[0].reason, SetAside::Reason::Failed);
        QVERIFY(fillIn.setAside()[0].detail.contains("Wikidata"));
        QVERIFY(fillIn.stopReason().contains("Wikidata could not be reached"));
        QVERIFY(!script->asked.contains("search Up 0"));
    }

    void applyWritesAfterABackupAndSparesRowsChangedMeanwhile()
    {
        TwoFilmsLookedUp run;
        QVERIFY(run.lookUp());
        testsupport::TestFolder &folder = run.folder;
        FillIn &fillIn = run.fillIn;
        // Another window edits Heat while the user reviews.
        execute(folder.catalogue(), "UPDATE Movies SET Review = 'Mine' WHERE Title = 'Heat'");

        const lookup::ApplyResult result = lookup::applyChanges(folder.catalogue(), proposedOnly(fillIn));
        QVERIFY2(!result.error, qPrintable(result.error.message));
        QCOMPARE(result.moviesChanged, 1);
        QCOMPARE(result.fieldsChanged, 5);
        QCOMPARE(result.changedMeanwhile, QStringList{"Heat"});
        const auto movies = folder.moviesInFile();
        QCOMPARE(movies[0][Field::Description], QString("The story of Alien"));
        QCOMPARE(movies[0][Field::Time], QString("117"));
        QCOMPARE(movies[1][Field::Description], QString());
        QCOMPARE(movies[1][Field::Review], QString("Mine"));

        // The backup holds the catalogue as it was before the write.
        const auto backups = catalogue::listBackups(folder.catalogue());
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().path, result.backupFile);
        QCOMPARE(backups.first().reason, catalogue::BackupReason::BeforeFillIn);
        testsupport::TestFolder restored;
        QFile::copy(result.backupFile, restored.catalogue());
        QCOMPARE(restored.moviesInFile()[0][Field::Description], QString());
    }

    void aFailedWriteChangesNothing()
    {
        TwoFilmsLookedUp run;
        QVERIFY(run.lookUp());
        testsupport::TestFolder &folder = run.folder;
        FillIn &fillIn = run.fillIn;
        // The second write fails after the first went through.
        execute(folder.catalogue(), "CREATE TRIGGER refuse BEFORE UPDATE ON Movies WHEN old.Title = 'Heat' "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        const lookup::ApplyResult result = lookup::applyChanges(folder.catalogue(), proposedOnly(fillIn));
        QVERIFY(result.error);
        QVERIFY2(result.error.message.startsWith("Nothing was changed"), qPrintable(result.error.message));
        QCOMPARE(result.moviesChanged, 0);
        const auto movies = folder.moviesInFile();
        QCOMPARE(movies[0], bare("Alien", "1979"));
        QCOMPARE(movies[1], bare("Heat", "1995"));
    }

    void noBackupNoWrite()
    {
        testsupport::TestFolder folder;
        folder.makeCatalogue({bare("Alien", "1979")});
        auto script = std::make_shared<Script>();
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        ScriptedSource source(script);
        FillIn fillIn(source);
        QVERIFY(!fillIn.load(folder.catalogue(), {}, false));
        runToEnd(fillIn);
        // A file where the backup folder should be: no backup can be made.
        testsupport::writeFile(catalogue::backupFolder(folder.catalogue()), "in the way");
        const lookup::ApplyResult result = lookup::applyChanges(folder.catalogue(), proposedOnly(fillIn));
        QVERIFY(result.error);
        QVERIFY(result.error.message.contains("No backup could be made"));
        QCOMPARE(folder.moviesInFile()[0], bare("Alien", "1979"));
    }

    void catalogueMakerFillsInConfidentMatches()
    {
        testsupport::TestFolder folder;
        catalogue::Movie typed = bare("Alien", "1979");
        typed[Field::Actors] = "Tom Skerritt";
        folder.makeCatalogue({typed, bare("Heat"), bare("Nowhere"), testsupport::movie("Full", "Drama", "2000")});
        auto script = std::make_shared<Script>();
        script->film("Alien", 1979, "Q1", found("Alien", "1979"));
        script->film("Heat", 1995, "Q2", found("Heat", "1995"));
        script->film("Heat", 1986, "Q3", found("Heat", "1986"));
        ScriptedSource source(script);
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(lookup::fillInCatalogue(folder.catalogue(), true, &source, out, err), 0);
        out.flush();
        err.flush();
        const QStringList lines = printed.split('\n', Qt::SkipEmptyParts);
        QVERIFY2(
            lines.first().startsWith("Backup taken before the changes: " + catalogue::backupFolder(folder.catalogue())),
            qPrintable(printed));
        QVERIFY(lines.contains("Alien: Description = The story of Alien"));
        QVERIFY(lines.contains("Alien: Time = 117"));
        QVERIFY(lines.contains("No match found: Nowhere"));
        QVERIFY(printed.contains("More than one match, not changed: Heat (Heat (1995); Heat (1986))"));
        QCOMPARE(lines.last(), QString("1 movie changed in DVDs.mdb."));
        QCOMPARE(errors, QString());
        // Only the empty fields were written; the movie with every field was not looked up.
        const auto movies = folder.moviesInFile();
        QCOMPARE(movies[0][Field::Actors], QString("Tom Skerritt"));
        QCOMPARE(movies[0][Field::Category], QString("Horror"));
        QCOMPARE(movies[1], bare("Heat"));
        QVERIFY(!script->asked.contains("search Full 2000"));
    }

    void catalogueMakerFailsWhenNothingCouldBeDone_data()
    {
        QTest::addColumn<bool>("catalogueThere");
        QTest::addColumn<QString>("error");
        QTest::newRow("no catalogue") << false << "DVDs.mdb";
        QTest::newRow("no network") << true << "Wikidata gave no answer for any movie: nothing was changed.";
    }
    void catalogueMakerFailsWhenNothingCouldBeDone()
    {
        QFETCH(bool, catalogueThere);
        QFETCH(QString, error);
        testsupport::TestFolder folder;
        if (catalogueThere)
            folder.makeCatalogue({bare("Alien"), bare("Heat")});
        auto script = std::make_shared<Script>();
        script->searches["Alien"].failure = lookup::Failure::TimedOut;
        script->searches["Heat"].failure = lookup::Failure::Network;
        ScriptedSource source(script);
        QString printed, errors;
        QTextStream out(&printed), err(&errors);
        QCOMPARE(lookup::fillInCatalogue(folder.catalogue(), false, &source, out, err), 1);
        err.flush();
        QVERIFY2(errors.contains(error), qPrintable(errors));
        QVERIFY(catalogue::listBackups(folder.catalogue()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFillIn)
#include "tst_fillin.moc"
