// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import together: exact round trips, all-or-nothing writes, the command line.
#include "catalogue/database.h"
#include "catalogue/recordcursor.h"
#include "catalogue/schema.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "exchange/zipfile.h"
#include "tests/common/testfolder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using catalogue::Field;
using catalogue::Movie;
using testsupport::TestFolder;

namespace {

std::vector<Movie> nastyMovies()
{
    const QString big = QString("0123456789abcdef").repeated(4096); // 64 KiB
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xAC\xF0\x9F\x8D\xBF");
    return {
        catalogue::makeMovie("\"Quoted\", with comma; and semicolon", "line\nbreak", "Drama", "A, B, C", "tab\there",
                             "PG-13", "1994", "102"),
        catalogue::makeMovie("  leading and trailing  ", "crlf\r\nand lone\rcr", "  Comedy ", ", ", "\"\"", "8",
                             "ca. 1994", "1h 42m"),
        catalogue::makeMovie(QString::fromUtf8("Am\xC3\xA9lie ") + emoji, big, "Science Fiction, Drama", big, big,
                             "R (USA)", "", ""),
        catalogue::makeMovie("Empty fields", "", "", "", "", "", "", ""),
        catalogue::makeMovie("=SUM(A1)", "<tag>&amp;</tag>", "Sci-Fi", "Name (Role)", "]]>", "NR", "2001", "0"),
    };
}

// Every movie of the catalogue in title order, as the export writes them.
std::vector<Movie> inTitleOrder(const QString &catalogueFile)
{
    catalogue::RecordCursor cursor;
    cursor.setDatabaseName(catalogueFile);
    cursor.setRecordSource("select * from Movies order by Title");
    std::vector<Movie> out;
    if (cursor.refresh())
        for (int i = 0; i < cursor.result().size(); ++i)
            out.push_back(cursor.result().movie(i));
    return out;
}

// Imports a file into a catalogue the way the dialog and the command line do.
bool import(const QString &file, const QString &catalogueFile, QString &error, bool skipDuplicates = true,
            const std::function<bool(qsizetype)> &progress = {})
{
    exchange::DuplicateIndex present;
    exchange::ImportSource source;
    platform::Failure failure = exchange::readCatalogueKeys(catalogueFile, present);
    if (!failure)
        failure = exchange::readImportFile(file, source);
    if (!failure) {
        const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, present);
        failure = exchange::storeMovies(catalogueFile, source, plan, plan.toStore(skipDuplicates), progress);
    }
    error = failure.message;
    return !failure;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runMaker(const QStringList &args)
{
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + "/moviary-catalogue", args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

class TestImportExport : public QObject {
    Q_OBJECT
private slots:
    void roundTripIsExact_data();
    void roundTripIsExact();
    void csvIsWrittenForSpreadsheets();
    void tellicoFileFollowsTellicosDtd();
    void failedWritesLeaveTheCatalogueAsItWas();
    void exportNeverLeavesHalfAFile();
    void commandLine();
};

void TestImportExport::roundTripIsExact_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("CSV") << "movies.csv";
    QTest::newRow("Tellico") << "movies.tc";
}

void TestImportExport::roundTripIsExact()
{
    QFETCH(QString, fileName);
    TestFolder from, to;
    from.makeCatalogue(nastyMovies());
    to.makeCatalogue({});
    const QString file = from.path() + "/" + fileName;
    QString error;
    int count = 0;
    const platform::Failure exported =
        exchange::exportCatalogue(from.catalogue(), file, exchange::exportFormatFor(file), count);
    QVERIFY2(!exported, qPrintable(exported.message));
    QCOMPARE(count, int(nastyMovies().size()));
    QVERIFY2(import(file, to.catalogue(), error), qPrintable(error));

    const std::vector<Movie> expected = inTitleOrder(from.catalogue());
    const std::vector<Movie> got = to.moviesInFile();
    QCOMPARE(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i)
        for (int f = 0; f < catalogue::FieldCount; ++f)
            QVERIFY2(got[i].values[size_t(f)].toUtf8() == expected[i].values[size_t(f)].toUtf8(),
                     qPrintable(QString("movie %1, %2").arg(i).arg(catalogue::fieldNames()[f])));

    // A second import finds them all there already.
    QVERIFY2(import(file, to.catalogue(), error), qPrintable(error));
    QCOMPARE(to.moviesInFile().size(), expected.size());
}

void TestImportExport::csvIsWrittenForSpreadsheets()
{
    TestFolder folder;
    folder.makeCatalogue({catalogue::makeMovie("B \"x\"", "two\nlines", "Drama", " lead", "", "R", "1999", "90"),
                          catalogue::makeMovie("A", "", "", "", "", "", "", "")});
    int count = 0;
    const QString file = folder.path() + "/out.csv";
    QVERIFY(!exchange::exportCatalogue(folder.catalogue(), file, exchange::ExportFormat::Csv, count));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\xEF\xBB\xBFTitle,Description,Category,Actors,Review,Rating,Year,Time\r\n"
                                     "A,,,,,,,\r\n"
                                     "\"B \"\"x\"\"\",\"two\nlines\",Drama,\" lead\",,R,1999,90\r\n"));
}

void TestImportExport::tellicoFileFollowsTellicosDtd()
{
    // Tellico's own description of its format, where Tellico is installed.
    const QString dtd = "/usr/share/tellico/tellico.dtd";
    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    if (!QFile::exists(dtd) || xmllint.isEmpty())
        QSKIP("Tellico's DTD or xmllint is not installed");
    TestFolder folder;
    folder.makeCatalogue(nastyMovies());
    const QString file = folder.path() + "/movies.tc";
    int count = 0;
    QVERIFY(!exchange::exportCatalogue(folder.catalogue(), file, exchange::ExportFormat::Tellico, count));
    QFile tc(file);
    QVERIFY(tc.open(QIODevice::ReadOnly));
    QByteArray xml;
    QVERIFY(!exchange::readZipMember(tc.readAll(), "tellico.xml", 1 << 24, xml));
    QProcess lint;
    lint.start(xmllint, {"--noout", "--nonet", "--dtdvalid", dtd, "-"});
    lint.write(xml);
    lint.closeWriteChannel();
    QVERIFY(lint.waitForFinished(60000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
}

void TestImportExport::failedWritesLeaveTheCatalogueAsItWas()
{
    TestFolder folder;
    folder.makeCatalogue({testsupport::movie("Kept")});
    const QString file = folder.path() + "/in.csv";
    writeFile(file, "Title,Year\nOne,2001\nTwo,2002\nRefused,2003\nFour,2004\n");
    const auto before = folder.moviesInFile();
    QString error;

    // The engine refuses the third row: the first two are not kept either.
    {
        std::unique_ptr<catalogue::Database> db;
        QVERIFY(!catalogue::Database::open(folder.catalogue(), db));
        QCOMPARE(sqlite3_exec(db->handle(),
                              "CREATE TRIGGER refuse BEFORE INSERT ON Movies WHEN NEW.Title = 'Refused' "
                              "BEGIN SELECT RAISE(ABORT, 'no such title here'); END",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
    }
    QVERIFY(!import(file, folder.catalogue(), error));
    QVERIFY2(error.contains("in.csv") && error.contains("no such title here") &&
                 error.contains("The catalogue was not changed."),
             qPrintable(error));
    QVERIFY(folder.moviesInFile() == before);

    // Cancelled half way: nothing written.
    writeFile(file, "Title\nMovie\nA\nB\nC\n");
    int calls = 0;
    QVERIFY(!import(file, folder.catalogue(), error, true, [&](qsizetype) { return ++calls < 2; }));
    QVERIFY2(error.contains("cancelled"), qPrintable(error));
    QVERIFY(folder.moviesInFile() == before);

    // Another program holds the write lock.
    std::unique_ptr<catalogue::Database> other;
    QVERIFY(!catalogue::Database::open(folder.catalogue(), other));
    QCOMPARE(sqlite3_exec(other->handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    QVERIFY(!import(file, folder.catalogue(), error));
    QVERIFY2(error.contains("in.csv") && error.contains("in use by another program"), qPrintable(error));
    sqlite3_exec(other->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    other.reset();
    QVERIFY(folder.moviesInFile() == before);

    QVERIFY2(import(file, folder.catalogue(), error), qPrintable(error));
    QCOMPARE(folder.moviesInFile().size(), before.size() + 4);
}

void TestImportExport::exportNeverLeavesHalfAFile()
{
    TestFolder folder;
    folder.makeCatalogue({catalogue::makeMovie("Bell\aRinger", "", "", "", "", "", "", "")});
    const QString file = folder.path() + "/old.tc";
    writeFile(file, "previous export");
    int count = 0;
    // XML cannot carry the bell character: refused, and the old file stays.
    platform::Failure error =
        exchange::exportCatalogue(folder.catalogue(), file, exchange::ExportFormat::Tellico, count);
    QVERIFY(error);
    QVERIFY2(error.message.contains("old.tc") && error.message.contains("Bell"), qPrintable(error.message));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("previous export"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);

    // A folder that does not exist.
    error = exchange::exportCatalogue(folder.catalogue(), folder.path() + "/none/x.csv", exchange::ExportFormat::Csv,
                                      count);
    QVERIFY(error);
    QVERIFY2(error.message.contains("x.csv"), qPrintable(error.message));
}

void TestImportExport::commandLine()
{
    TestFolder folder;
    folder.makeCatalogue({testsupport::movie("Alien", "Sci-Fi", "1979")});
    const QString csv = folder.path() + "/in.csv";
    writeFile(csv, "Name,Year,Genres\nALIEN,1979,Horror\nAliens,1986,Action\n,1990,\n");

    Run run = runMaker({"--import", csv, folder.catalogue()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("1 movie imported, 1 duplicate skipped, 1 row skipped (empty title on line 4)"),
             run.out.constData());
    QVERIFY(run.err.isEmpty());
    QCOMPARE(folder.moviesInFile().size(), size_t(2));

    run = runMaker({"--import", csv, "--keep-duplicates", folder.catalogue()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains("2 movies imported, 0 duplicates skipped"), run.out.constData());
    QCOMPARE(folder.moviesInFile().size(), size_t(4));

    writeFile(csv, "Title\n\"open");
    run = runMaker({"--import", csv, folder.catalogue()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("in.csv") && run.err.contains("never closed"), run.err.constData());
    QCOMPARE(folder.moviesInFile().size(), size_t(4));

    const QString tc = folder.path() + "/out.tc";
    run = runMaker({"--export", tc, folder.catalogue()});
    QCOMPARE(run.exitCode, 0);
    QFile exported(tc);
    QVERIFY(exported.open(QIODevice::ReadOnly) && exported.read(4) == "PK\x03\x04");

    QCOMPARE(runMaker({"--export", tc, folder.path() + "/missing.mdb"}).exitCode, 1);
    QCOMPARE(runMaker({"--import", csv}).exitCode, 2);
    QCOMPARE(runMaker({"--import", csv, "--export", tc, folder.catalogue()}).exitCode, 2);
    QCOMPARE(runMaker({"--keep-duplicates", folder.catalogue()}).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestImportExport)
#include "tst_importexport.moc"
