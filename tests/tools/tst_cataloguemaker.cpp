// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "catalogue/categories.h"
#include "catalogue/database.h"
#include "catalogue/recordcursor.h"
#include "catalogue/schema.h"
#include "tests/common/files.h"
#include "tests/common/serverthread.h"
#include "tests/common/testfolder.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

using catalogue::Field;
using catalogue::Movie;
using testsupport::fileBytes;
using testsupport::TestFolder;

namespace {

// "Name TYPE" for each column of Movies, in table order.
QStringList columns(const QString &path)
{
    std::unique_ptr<catalogue::Database> db;
    if (const platform::Failure error = catalogue::Database::open(path, db))
        return {error.message};
    catalogue::StatementPtr st;
    (void)db->prepare("PRAGMA table_info(Movies)", st); // a statement that did not prepare lists no columns
    QStringList out;
    while (st && sqlite3_step(st.get()) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1))) + ' ' +
                   QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 2)));
    return out;
}

// Every movie of the catalogue, as the program's own cursor lists them.
std::vector<Movie> listAll(const QString &path)
{
    catalogue::RecordCursor cursor;
    cursor.setDatabaseName(path);
    cursor.setRecordSource("select * from Movies order by Title");
    std::vector<Movie> out;
    if (!cursor.refresh()) {
        qWarning("%s", qPrintable(cursor.lastError().message));
        return out;
    }
    for (; !cursor.eof(); cursor.moveNext())
        out.push_back(cursor.currentMovie());
    return out;
}

// A run of the catalogue maker: its exit status, each output channel, and both together.
struct Run {
    int exitCode = -1;
    QByteArray output;
    QString out, err;
};

Run runMaker(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + "/moviary-catalogue", args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
    return {p.exitCode(), out + err, QString::fromUtf8(out), QString::fromUtf8(err)};
}

// An import by the catalogue maker of a file of that content.
Run importWithMaker(const TestFolder &folder, const QByteArray &file, const QStringList &options = {})
{
    const QString path = folder.path() + "/list.csv";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size())
        return {};
    f.close();
    return runMaker(QStringList{"--import", path} + options + QStringList{folder.catalogue()});
}

// The environment of a maker whose saved settings, in the folder's own configuration, look movies up
// in the source named at the local server.
QProcessEnvironment lookingUpAt(const TestFolder &folder, const LocalServer &server, const QString &source)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", folder.path() + "/config");
    QSettings settings(folder.path() + "/config/moviary/moviary.conf", QSettings::IniFormat);
    settings.setValue("Lookup/Source", source);
    settings.setValue("Lookup/TMDb Key", "0123456789abcdef0123456789abcdef");
    settings.setValue("Lookup/Wikidata Address", server.url("/w/api.php").toString());
    settings.setValue("Lookup/Wikipedia Address", server.url("/api/rest_v1").toString());
    settings.setValue("Lookup/TMDb Address", server.url().toString());
    return env;
}

QStringList titlesIn(const TestFolder &folder)
{
    QStringList titles;
    for (const Movie &m : folder.moviesInFile())
        titles << m[Field::Title];
    return titles;
}

} // namespace

class TestCatalogueMaker : public QObject {
    Q_OBJECT
private slots:
    void emptyAndSampleCataloguesOpenAndList();
    void sampleCoversTheCasesTheProgramMustHandle();
    void existingFileIsKeptUnlessOverwriteIsAsked();
    void commandLineExitCodes();
    void forcedRebuildKeepsTheOldCatalogueUntilTheNewOneIsDone();
    void fillInWithoutAReachableSourceChangesNothing();
    void fillInWritesOnlyConfidentMatchesAfterABackup();
    void fillInWithoutAnswersChangesNothing_data();
    void fillInWithoutAnswersChangesNothing();
    void importReadsListsWithAndWithoutNames_data();
    void importReadsListsWithAndWithoutNames();
    void importLeavesOutWhatIsNotAMovie();
    void importNamesDuplicatesAndBacksUpFirst();
};

void TestCatalogueMaker::emptyAndSampleCataloguesOpenAndList()
{
    const QStringList expected{"Title TEXT",  "Description TEXT", "Category TEXT", "Actors TEXT",
                               "Review TEXT", "Rating TEXT",      "Year TEXT",     "Time TEXT"};
    testsupport::TestFolder folder;

    QVERIFY(!catalogue::createCatalogue(folder.catalogue(), catalogue::Contents::Empty, false));
    QCOMPARE(columns(folder.catalogue()), expected);
    QVERIFY(listAll(folder.catalogue()).empty());

    QVERIFY(!catalogue::createCatalogue(folder.catalogue(), catalogue::Contents::Sample, true));
    QCOMPARE(columns(folder.catalogue()), expected);
    // Table order and every field exactly as given, none stored as NULL.
    QVERIFY(folder.moviesInFile() == catalogue::sampleMovies());
    const auto listed = listAll(folder.catalogue());
    QCOMPARE(listed.size(), catalogue::sampleMovies().size());
    for (const Movie &m : catalogue::sampleMovies())
        QVERIFY2(std::count(listed.begin(), listed.end(), m) == 1, qPrintable(m[Field::Title]));
    QVERIFY(!QFile::exists(folder.catalogue() + ".new"));
}

void TestCatalogueMaker::sampleCoversTheCasesTheProgramMustHandle()
{
    testsupport::TestFolder folder;
    folder.makeSampleCatalogue();
    const auto movies = listAll(folder.catalogue());
    QVERIFY(movies.size() >= 36);

    QMap<QString, int> perCategory;
    QStringList titles, outside;
    for (const Movie &m : movies) {
        const QString title = m[Field::Title];
        titles << title;
        ++perCategory[m[Field::Category]];
        if (!catalogue::categoryNames().contains(m[Field::Category], Qt::CaseInsensitive))
            outside << m[Field::Category];
        for (const QString &value : m.values)
            QVERIFY2(!value.trimmed().isEmpty(), qPrintable(title));
        QVERIFY2(catalogue::ratingCodes().contains(m[Field::Rating]), qPrintable(title));
        QVERIFY2(QRegularExpression("^(19|20)\\d\\d$").match(m[Field::Year]).hasMatch(), qPrintable(title));
        QVERIFY2(QRegularExpression("^[1-9]\\d{0,2}$").match(m[Field::Time]).hasMatch(), qPrintable(title));
    }

    for (const QString &name : catalogue::categoryNames())
        QVERIFY2(perCategory.value(name) >= 2, qPrintable(name));
    QCOMPARE(perCategory.value("Action"), 3);
    QCOMPARE(outside, QStringList{"Western"});

    QVERIFY(titles.contains("Schindler's List"));
    QVERIFY(titles.contains("Heat") && titles.contains("HEAT"));
    QCOMPARE(titles.filter(QRegularExpression("^heat$", QRegularExpression::CaseInsensitiveOption)).size(), 2);
    // Read back from the file, so this also proves the UTF-8 round trip.
    QVERIFY(titles.contains(QString::fromUtf8("Am\xC3\xA9lie")));
}

void TestCatalogueMaker::existingFileIsKeptUnlessOverwriteIsAsked()
{
    testsupport::TestFolder folder;
    const QString path = folder.catalogue();
    folder.makeSampleCatalogue();
    const QByteArray before = fileBytes(path);
    QVERIFY(!before.isEmpty());

    platform::Failure error = catalogue::createCatalogue(path, catalogue::Contents::Empty, false);
    QVERIFY(error);
    QVERIFY(error.message.contains(path));
    QCOMPARE(fileBytes(path), before);

    // Not even a file that is no catalogue at all is touched.
    const QString notes = folder.path() + "/notes.mdb";
    QFile f(notes);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("my own notes\n");
    f.close();
    QVERIFY(catalogue::createCatalogue(notes, catalogue::Contents::Sample, false));
    QCOMPARE(fileBytes(notes), QByteArray("my own notes\n"));

    error = catalogue::createCatalogue(path, catalogue::Contents::Empty, true);
    QVERIFY2(!error, qPrintable(error.message));
    QVERIFY(listAll(path).empty());
    QVERIFY(!catalogue::createCatalogue(notes, catalogue::Contents::Sample, true));
    QCOMPARE(listAll(notes).size(), catalogue::sampleMovies().size());

    // A folder that does not exist: failure, said as such, and nothing left behind.
    const QString nowhere = folder.path() + "/missing/DVDs.mdb";
    error = catalogue::createCatalogue(nowhere, catalogue::Contents::Sample, false);
    QVERIFY(error);
    QVERIFY(!error.message.isEmpty());
    QVERIFY(!QFile::exists(nowhere) && !QFile::exists(nowhere + ".new"));
}

void TestCatalogueMaker::commandLineExitCodes()
{
    testsupport::TestFolder folder;
    const QString path = folder.catalogue();

    QCOMPARE(runMaker({}).exitCode, 2);
    QCOMPARE(runMaker({"--bogus"}).exitCode, 2);
    QCOMPARE(runMaker({path, folder.path() + "/other.mdb"}).exitCode, 2);
    QVERIFY(!QFile::exists(path));

    const Run made = runMaker({"--sample", path});
    QCOMPARE(made.exitCode, 0);
    QVERIFY(made.output.contains(QByteArray::number(int(catalogue::sampleMovies().size()))));
    QCOMPARE(listAll(path).size(), catalogue::sampleMovies().size());

    const QByteArray before = fileBytes(path);
    const Run refused = runMaker({path});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY(refused.output.contains("already exists"));
    QCOMPARE(fileBytes(path), before);

    QCOMPARE(runMaker({"--force", path}).exitCode, 0);
    QVERIFY(listAll(path).empty());

    QCOMPARE(runMaker({"--sample", folder.path() + "/missing/DVDs.mdb"}).exitCode, 1);
    QVERIFY(!QDir(folder.path() + "/missing").exists());
}

void TestCatalogueMaker::forcedRebuildKeepsTheOldCatalogueUntilTheNewOneIsDone()
{
    testsupport::TestFolder folder;
    const QString path = folder.catalogue();
    folder.makeSampleCatalogue();
    const QByteArray before = fileBytes(path);

    // The new file cannot be built (its work name is taken by a folder): the old one stays.
    QVERIFY(QDir(folder.path()).mkdir("DVDs.mdb.new"));
    const Run failed = runMaker({"--force", path});
    QCOMPARE(failed.exitCode, 1);
    QVERIFY2(failed.output.contains("could not be created"), failed.output.constData());
    QCOMPARE(fileBytes(path), before);
    QVERIFY(QDir(folder.path()).rmdir("DVDs.mdb.new"));

    // Not while another program (here, this test) has it open.
    {
        std::unique_ptr<catalogue::Database> open;
        QVERIFY(!catalogue::Database::open(path, open));
        const Run refused = runMaker({"--force", path});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.output.contains("open in another program"), refused.output.constData());
    }
    QCOMPARE(fileBytes(path), before);

    // A finished rebuild replaces it in one step, and leaves no work file behind.
    const platform::Failure error = catalogue::createCatalogue(path, {testsupport::movie("Only")}, true);
    QVERIFY2(!error, qPrintable(error.message));
    QCOMPARE(folder.moviesInFile().size(), size_t(1));
    QVERIFY(!QFile::exists(path + ".new"));
}

void TestCatalogueMaker::fillInWithoutAReachableSourceChangesNothing()
{
    testsupport::TestFolder folder;
    const QString path = folder.catalogue();
    folder.makeCatalogue(
        {testsupport::movie("Alien", "Horror", "1979"), catalogue::makeMovie("Heat", "", "", "", "", "", "1995", "")});
    const QByteArray before = fileBytes(path);
    // Settings of its own whose every service address refuses: nothing reaches the internet.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", folder.path() + "/config");
    {
        QSettings settings(folder.path() + "/config/moviary/moviary.conf", QSettings::IniFormat);
        for (const char *key : {"Lookup/Wikidata Address", "Lookup/Wikipedia Address", "Lookup/TMDb Address"})
            settings.setValue(key, "http://127.0.0.1:9");
    }

    for (const QStringList &args : {QStringList{"--fill-in", path}, QStringList{"--fill-in", "--only-missing", path}}) {
        const Run run = runMaker(args, env);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.output.contains("nothing was changed"), run.output.constData());
        QCOMPARE(fileBytes(path), before);
        QVERIFY(catalogue::listBackups(path).isEmpty());
    }

    for (const QStringList &args :
         {QStringList{"--fill-in"}, QStringList{"--only-missing", path}, QStringList{"--fill-in", "--sample", path},
          QStringList{"--fill-in", "--import", "more.csv", path}, QStringList{"--fill-in", "--keep-duplicates", path},
          QStringList{"--fill-in", path, path + "2"}}) {
        const Run refused = runMaker(args, env);
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.output.contains("--fill-in [--only-missing] PATH/DVDs.mdb"), qPrintable(args.join(' ')));
    }
    QCOMPARE(fileBytes(path), before);
}

void TestCatalogueMaker::fillInWritesOnlyConfidentMatchesAfterABackup()
{
    TestFolder folder;
    const QString path = folder.catalogue();
    const Movie unsure = catalogue::makeMovie("Alien", "", "", "", "", "", "", "");
    const Movie unknown = catalogue::makeMovie("Zzyzx Road", "", "", "", "", "", "2006", "");
    Movie mine = catalogue::makeMovie("Alien", "", "Drama", "", "My review", "", "1979", "");
    folder.makeCatalogue({mine, unsure, unknown});
    testsupport::ServerThread server;
    server.inThread([&] { testsupport::recordWikidata(server.local()); });

    const Run run = runMaker({"--fill-in", path}, lookingUpAt(folder, server.local(), "wikidata"));
    QCOMPARE(run.exitCode, 0);
    const auto backups = catalogue::listBackups(path);
    QCOMPARE(backups.size(), 1);
    QVERIFY2(run.out.startsWith("Backup taken before the changes: " + backups.first().path + "\n"), run.output);
    for (const char *line : {"Alien: Actors = Sigourney Weaver, Tom Skerritt, Veronica Cartwright, Harry Dean Stanton, "
                             "John Hurt, Ian Holm, Yaphet Kotto, Helen Horton\n",
                             "Alien: Rating = R\n", "Alien: Time = 117\n",
                             "More than one match, not changed: Alien (Alien (1979); Alien (2023))\n",
                             "No match found: Zzyzx Road (2006)\n", "1 movie changed in DVDs.mdb.\n"})
        QVERIFY2(run.out.contains(line), qPrintable(line + ("\nnot in:\n" + run.out)));
    // The collector's own category stays: only empty fields are written.
    QVERIFY2(!run.out.contains("Category"), run.output);
    QVERIFY(run.err.isEmpty());

    const auto movies = folder.moviesInFile();
    QCOMPARE(movies.size(), size_t(3));
    mine[Field::Actors] = "Sigourney Weaver, Tom Skerritt, Veronica Cartwright, Harry Dean Stanton, John Hurt, Ian "
                          "Holm, Yaphet Kotto, Helen Horton";
    mine[Field::Rating] = "R";
    mine[Field::Time] = "117";
    QVERIFY(movies[0][Field::Description].startsWith("Alien is a 1979 science fiction horror film"));
    mine[Field::Description] = movies[0][Field::Description];
    QCOMPARE(movies[0], mine);
    QCOMPARE(movies[1], unsure);
    QCOMPARE(movies[2], unknown);
    int asked = 0;
    server.inThread([&] { asked = int(server.local().requests().size()); });
    // Each Alien's search and its films, Zzyzx Road's search, and the film's labels and summary.
    QCOMPARE(asked, 2 * 2 + 1 + 2);
}

void TestCatalogueMaker::fillInWithoutAnswersChangesNothing_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<LocalServer::Answer>("answer");
    QTest::addColumn<QString>("words");
    QTest::newRow("key refused") << "tmdb"
                                 << "/3/search/movie?query=Alien"
                                 << LocalServer::Answer::error(401, LocalServer::file("tmdb/error-401.json"))
                                 << "The Movie Database refused the key.";
    QTest::newRow("HTTP error") << "wikidata"
                                << "/w/api.php?action=wbsearchentities&search=Alien" << LocalServer::Answer::error(503)
                                << "Wikidata answered with an error (HTTP 503";
    QTest::newRow("not JSON") << "wikidata"
                              << "/w/api.php?action=wbgetentities&props=labels|descriptions|claims|sitelinks"
                              << LocalServer::Answer::json("<html>") << "not in the expected form";
}

void TestCatalogueMaker::fillInWithoutAnswersChangesNothing()
{
    QFETCH(QString, source);
    QFETCH(QString, failing);
    QFETCH(LocalServer::Answer, answer);
    QFETCH(QString, words);
    TestFolder folder;
    const QString path = folder.catalogue();
    folder.makeCatalogue({catalogue::makeMovie("Alien", "", "", "", "", "", "1979", "")});
    const QByteArray before = fileBytes(path);
    testsupport::ServerThread server;
    server.inThread([&] {
        testsupport::recordWikidata(server.local());
        testsupport::recordTmdb(server.local());
        server.local().answer(failing, answer);
    });
    const Run run = runMaker({"--fill-in", path}, lookingUpAt(folder, server.local(), source));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(words) && run.err.contains("nothing was changed"), run.output);
    QVERIFY2(!run.err.contains("0123456789abcdef"), run.output);
    QCOMPARE(fileBytes(path), before);
    QVERIFY(catalogue::listBackups(path).isEmpty());
}

void TestCatalogueMaker::importReadsListsWithAndWithoutNames_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("said"); // on standard output when it worked, standard error when not

    QTest::newRow("titles, a comma in some")
        << QByteArray("Planes, Trains and Automobiles\r\nAlien\r\nHeat\r\n") << 0
        << QStringList{"Planes, Trains and Automobiles", "Alien", "Heat"} << "3 movies imported, 0 duplicates skipped";
    QTest::newRow("titles under a name") << QByteArray("Title\nZodiac\nSe7en, the cut\n") << 0
                                         << QStringList{"Zodiac", "Se7en, the cut"} << "2 movies imported";
    QTest::newRow("semicolons, named") << QByteArray("Film;Year\nHeat;1995\nAlien;1979\n") << 0
                                       << QStringList{"Heat", "Alien"} << "2 movies imported";
    QTest::newRow("tabs, missing fields") << QByteArray("Name\tYear\tNotes\nHeat\t1995\nAlien\t1979\tgood\n") << 0
                                          << QStringList{"Heat", "Alien"} << "2 movies imported";
    QTest::newRow("columns without names")
        << QByteArray("Heat,1995,Mann\nAlien,1979,Scott\n") << 1 << QStringList{} << "No column is named Title";
    QTest::newRow("names, none a title") << QByteArray("Year,Genre\n1995,Crime\n") << 1 << QStringList{}
                                         << "No column is named Title";
    QTest::newRow("no titles in the rows")
        << QByteArray("Title,Year\n,1995\n ,1979\n") << 1 << QStringList{} << "No row in it has a title";
}

void TestCatalogueMaker::importReadsListsWithAndWithoutNames()
{
    QFETCH(QByteArray, file);
    QFETCH(int, exitCode);
    QFETCH(QStringList, titles);
    QFETCH(QString, said);
    TestFolder folder;
    folder.makeCatalogue({});
    const Run run = importWithMaker(folder, file);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
    QVERIFY2((exitCode == 0 ? run.err : run.out).isEmpty(), qPrintable(run.out + run.err));
    QCOMPARE(titlesIn(folder), titles);
}

void TestCatalogueMaker::importLeavesOutWhatIsNotAMovie()
{
    TestFolder folder;
    folder.makeCatalogue({});
    const QByteArray ratings = "Const,Your Rating,Date Rated,Title,URL,Title Type,IMDb Rating,Runtime (mins),Year\r\n"
                               "tt0113277,9,2024-01-02,Heat,https://example.org/1,Movie,8.3,170,1995\r\n"
                               "tt0903747,10,2024-01-03,Breaking Bad,https://example.org/2,TV Series,9.5,49,2008\r\n"
                               "tt0959621,9,2024-01-04,Pilot,https://example.org/3,TV Episode,9.0,58,2008\r\n"
                               "tt0108052,8,2024-01-05,Duel,https://example.org/4,TV Movie,7.6,90,1971\r\n"
                               "tt1234567,7,2024-01-06,Zelda,https://example.org/5,Video Game,8.0,,1998\r\n"
                               "tt0000001,6,2024-01-07,Shorts,https://example.org/6,Short,5.0,9,2001\r\n";
    Run run = importWithMaker(folder, ratings);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(
        run.out.contains("3 movies imported, 0 duplicates skipped, 0 rows skipped, 3 titles left out as not movies"),
        qPrintable(run.out));
    QCOMPARE(titlesIn(folder), (QStringList{"Heat", "Duel", "Shorts"}));

    // Every type with --all-types; the three movies are there already.
    run = importWithMaker(folder, ratings, {"--all-types"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("3 movies imported, 3 duplicates skipped"), qPrintable(run.out));
    QCOMPARE(titlesIn(folder).size(), 6);

    // A file of nothing but series holds nothing to import.
    TestFolder other;
    other.makeCatalogue({});
    run = importWithMaker(other, "Title,Title Type\nLost,TV Series\nPilot,TV Episode\n");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("--all-types"), qPrintable(run.err));
    QVERIFY(titlesIn(other).isEmpty());
}

void TestCatalogueMaker::importNamesDuplicatesAndBacksUpFirst()
{
    TestFolder folder;
    folder.makeCatalogue({});
    // Into an empty catalogue: nothing to back up, and it says so.
    Run run = importWithMaker(folder, "Title,Year\nAlien,1979\nHeat,\nSolaris,1972\n");
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("No backup taken"), qPrintable(run.out));
    QVERIFY(catalogue::listBackups(folder.catalogue()).isEmpty());

    // Seven duplicates by the one rule (case, accents, blanks; an empty year matches any), one new movie.
    run = importWithMaker(folder, "Title,Year\nALIEN,1979\n  alien ,\nHeat,1995\nHEAT,1986\nSolaris,2002\n"
                                  "Sol\xC3\xA1ris,1972\nheat,\nAlien,1979\nAliens,1986\n");
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("2 movies imported, 7 duplicates skipped, 0 rows skipped. Skipped as duplicates: "
                              "ALIEN (1979), alien, Heat (1995), HEAT (1986), Sol\u00e1ris (1972) and 2 more."),
             qPrintable(run.out));
    QCOMPARE(titlesIn(folder), (QStringList{"Alien", "Heat", "Solaris", "Solaris", "Aliens"}));
    // The backup was taken before the import, and the path printed is that backup.
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(folder.catalogue());
    QCOMPARE(backups.size(), 1);
    QCOMPARE(backups.first().reason, catalogue::BackupReason::BeforeImport);
    QVERIFY2(run.out.contains("Backup taken: " + QDir::toNativeSeparators(backups.first().path)), qPrintable(run.out));
    QCOMPARE(catalogue::inspectBackup(backups.first().path).movies, qint64(3));

    // Every movie there already: read all right, so exit 0, and nothing written or backed up.
    const QByteArray before = fileBytes(folder.catalogue());
    run = importWithMaker(folder, "Title\nalien\n");
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("0 movies imported, 1 duplicate skipped"), qPrintable(run.out));
    QCOMPARE(fileBytes(folder.catalogue()), before);
    QCOMPARE(catalogue::listBackups(folder.catalogue()).size(), 1);

    // No backup can be written (a file stands where the folder of backups goes): nothing is imported.
    QDir(folder.path() + "/Backups").removeRecursively();
    QFile blocker(folder.path() + "/Backups");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    run = importWithMaker(folder, "Title\nRan\n");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("Nothing was imported."), qPrintable(run.err));
    QCOMPARE(fileBytes(folder.catalogue()), before);
}

QTEST_GUILESS_MAIN(TestCatalogueMaker)
#include "tst_cataloguemaker.moc"
