// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of other programs' files, on small files shaped as those programs write them.
#include "exchange/collectionxml.h"
#include "exchange/importer.h"
#include "exchange/zipfile.h"
#include "tests/common/testfolder.h"

#include <QFile>
#include <QStringEncoder>
#include <QtTest>

using catalogue::Field;
using exchange::ImportPlan;
using exchange::ImportSource;

namespace {

QString writeFile(const testsupport::TestFolder &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.path() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The movies a file gives, as they would be stored, against an empty catalogue.
ImportPlan planFor(const QByteArray &bytes, ImportSource &source, QString *error = nullptr)
{
    if (const platform::Failure why = exchange::readImportBytes(bytes, "sample", source)) {
        if (error)
            *error = why.message;
        else
            qWarning("%s", qPrintable(why.message));
        return {};
    }
    return exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
}

QStringList row(const ImportPlan &plan, size_t i)
{
    QStringList out;
    for (QByteArrayView v : plan.movies.at(i).values)
        out << QString::fromUtf8(v);
    return out;
}

QByteArray tellicoDocument(const QByteArray &entries, const char *type = "3")
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD Tellico V11.0//EN\" "
                      "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">\n"
                      "<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
                      " <collection title=\"My Videos\" type=\"") +
           type + "\">\n  <fields><field name=\"_default\"/></fields>\n" + entries + " </collection>\n</tellico>\n";
}

} // namespace

class TestReaders : public QObject {
    Q_OBJECT
private slots:
    void websiteExportsNeedNoMapping();
    void delimitersEncodingsAndLineEnds();
    void quotingAndRaggedRows();
    void ownLayoutIsStoredExactly();
    void tellicoFilesZippedOrBare();
    void gcstarOldAndNewShapes();
    void duplicatesIgnoreCaseAndAccents();
    void wholeFileFailuresNameTheFile_data();
    void wholeFileFailuresNameTheFile();
    void zipMembersAreCappedWhileInflating();
    void filesOverOneGibibyteAreNotRead();
};

void TestReaders::websiteExportsNeedNoMapping()
{
    ImportSource source;
    // A ratings export of a big movie website.
    ImportPlan plan = planFor("\xEF\xBB\xBF"
                              "Const,Your Rating,Date Rated,Title,URL,Title Type,IMDb Rating,Runtime (mins),Year,"
                              "Genres,Num Votes,Release Date,Directors\r\n"
                              "tt0133093,9,2020-01-02,The Matrix,https://x/tt0133093/,movie,8.7,136,1999,"
                              "\"Action, Sci-Fi\",1900000,1999-03-24,\"Lana Wachowski, Lilly Wachowski\"\r\n"
                              "tt0114369,8,2020-01-03,Se7en,https://x/tt0114369/,movie,8.6,127,1995,"
                              "\"Crime, Drama, Mystery\",1600000,1995-09-15,David Fincher\r\n",
                              source);
    QCOMPARE(plan.movies.size(), size_t(2));
    QCOMPARE(row(plan, 0), (QStringList{"The Matrix", "", "Action", "", "", "", "1999", "136"}));
    QCOMPARE(row(plan, 1), (QStringList{"Se7en", "", "Drama", "", "", "", "1995", "127"}));

    // A diary export: "Name" is the title; its 0.5 to 5 star score is no certification.
    plan = planFor("Date,Name,Year,Letterboxd URI,Rating\n"
                   "2024-05-01,Paris\xC2\xA0Texas,1984,https://boxd.it/1,4.5\n"
                   "2024-05-02,Alien,1979,https://boxd.it/2,5\n",
                   source);
    QCOMPARE(plan.movies.size(), size_t(2));
    QCOMPARE(row(plan, 0), (QStringList{QString::fromUtf8("Paris\xC2\xA0Texas"), "", "", "", "", "", "1984", ""}));
    QCOMPARE(row(plan, 1).at(5), QString());
}

void TestReaders::delimitersEncodingsAndLineEnds()
{
    ImportSource source;
    // Windows-1252 bytes (not UTF-8), semicolons, CR line ends, no end on the last line.
    ImportPlan plan = planFor("Film;Genre;Rated;Released;Length\r"
                              "Am\xE9lie;Comedy;R;25/04/2001;2h 2m\r"
                              "Caf\xE9 \x80 Society;Drama / Romance;PG-13 (USA);July 15, 2016;1:36",
                              source);
    QVERIFY(source.description.contains("semicolon") && source.description.contains("Windows-1252"));
    QCOMPARE(plan.movies.size(), size_t(2));
    QCOMPARE(row(plan, 0), (QStringList{QString::fromUtf8("Am\xC3\xA9lie"), "", "Comedy", "", "", "R", "2001", "122"}));
    QCOMPARE(row(plan, 1), (QStringList{QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC Society"), "", "Drama", "", "",
                                        "PG-13", "2016", "96"}));

    // A byte order mark that lies: the rest is Windows-1252.
    plan = planFor("\xEF\xBB\xBFTitle\nNa\xEFve\n", source);
    QCOMPARE(row(plan, 0).at(0), QString::fromUtf8("Na\xC3\xAFve"));

    // "Unicode text" from a spreadsheet: UTF-16 with a byte order mark, tabs, CRLF.
    const QString text = QString::fromUtf8("Movie\tGenres\tStarring\tRunning Time\tMy Review\r\n"
                                           "\xE5\x8D\x83\xE3\x81\xA8\xE5\x8D\x83\xE5\xB0\x8B\tAnimation, "
                                           "Science Fiction\tRumi Hiiragi\t125 min\tLovely \xF0\x9F\x90\x89\r\n");
    QStringEncoder le(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QStringEncoder be(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
    for (const QByteArray &bytes : {QByteArray(le.encode(text)), QByteArray(be.encode(text))}) {
        plan = planFor(bytes, source);
        QVERIFY(source.description.contains("tab") && source.description.contains("UTF-16"));
        QCOMPARE(plan.movies.size(), size_t(1));
        QCOMPARE(row(plan, 0),
                 (QStringList{QString::fromUtf8("\xE5\x8D\x83\xE3\x81\xA8\xE5\x8D\x83\xE5\xB0\x8B"), "", "Sci-Fi",
                              "Rumi Hiiragi", QString::fromUtf8("Lovely \xF0\x9F\x90\x89"), "", "", "125"}));
    }
}

void TestReaders::quotingAndRaggedRows()
{
    ImportSource source;
    const ImportPlan plan = planFor("Title,Plot,Cast\n"
                                    "\"Say \"\"Cheese\"\", Please\",\"Line one\r\nline two, still \"\"plot\"\"\",A;B\n"
                                    "\n"
                                    "Short\n"
                                    ",no title here,X\n"
                                    "Long,p,c,extra,more\n"
                                    "   ,blank title,Y\n"
                                    "\"Last\",\"no line end\"",
                                    source);
    QCOMPARE(plan.movies.size(), size_t(4));
    QCOMPARE(row(plan, 0).mid(0, 4),
             (QStringList{"Say \"Cheese\", Please", "Line one\r\nline two, still \"plot\"", "", "A, B"}));
    QCOMPARE(row(plan, 1).mid(0, 4), (QStringList{"Short", "", "", ""}));
    QCOMPARE(row(plan, 2).mid(0, 4), (QStringList{"Long", "p", "", "c"}));
    QCOMPARE(row(plan, 3).mid(0, 2), (QStringList{"Last", "no line end"}));
    QCOMPARE(plan.skippedRows, 2);
    QCOMPARE(plan.rowsWithExtraFields, 1);
    // Lines are those of the file: the quoted line break and the blank line count.
    QCOMPARE(plan.skipReasons, (QStringList{"empty title on line 6", "empty title on line 8"}));
    QCOMPARE(exchange::importSummary(4, 0, plan),
             QString("4 movies imported, 0 duplicates skipped, 2 rows skipped (empty title on line 6; empty title on "
                     "line 8). 1 row had more fields than the header; the extra fields were left out."));
}

void TestReaders::ownLayoutIsStoredExactly()
{
    ImportSource source;
    ImportPlan plan = planFor("Title,Description,Category,Actors,Review,Rating,Year,Time\r\n"
                              "\" padded \",d,\"Science Fiction, Drama\",a,r,8,ca. 1994,1h 42m\r\n",
                              source);
    QVERIFY(source.exact);
    QCOMPARE(row(plan, 0),
             (QStringList{" padded ", "d", "Science Fiction, Drama", "a", "r", "8", "ca. 1994", "1h 42m"}));

    // The same columns in another order are someone else's: converted.
    plan = planFor("Title,Year,Time,Category,Rating\r\nX,ca. 1994,1h 42m,\"Science Fiction, Drama\",8\r\n", source);
    QVERIFY(!source.exact);
    QCOMPARE(row(plan, 0), (QStringList{"X", "", "Sci-Fi", "", "", "", "1994", "102"}));
}

void TestReaders::tellicoFilesZippedOrBare()
{
    const QByteArray xml =
        tellicoDocument("  <entry id=\"1\">\n   <title>Blade Runner</title>\n"
                        "   <genres><genre>Film Noir</genre><genre>Science Fiction</genre></genres>\n"
                        "   <casts><cast><column>Harrison Ford</column><column>Deckard</column></cast>"
                        "<cast><column>Sean Young</column><column>Rachael</column></cast></casts>\n"
                        "   <plot>Replicants &amp; rain.</plot><comments>Director's cut only.</comments>\n"
                        "   <certification>R (USA)</certification><year>1982</year><running-time>117</running-time>\n"
                        "   <director>Ridley Scott</director>\n  </entry>\n"
                        "  <entry id=\"2\"><title>Old Style</title><genre>western</genre><cast>Jane Doe::Sheriff</cast>"
                        "<year>1950</year></entry>\n"
                        "  <entry id=\"3\">\n   <year>2001</year>\n  </entry>\n");
    QByteArray zipped;
    QVERIFY(!exchange::writeZip("tellico.xml", xml, zipped));
    for (const QByteArray &bytes : {xml, zipped}) {
        ImportSource source;
        const ImportPlan plan = planFor(bytes, source);
        QCOMPARE(source.format, exchange::SourceFormat::Tellico);
        QVERIFY(!source.mappingChangeable && !source.exact);
        QCOMPARE(plan.movies.size(), size_t(2));
        QCOMPARE(row(plan, 0), (QStringList{"Blade Runner", "Replicants & rain.", "Sci-Fi", "Harrison Ford, Sean Young",
                                            "Director's cut only.", "R", "1982", "117"}));
        QCOMPARE(row(plan, 1), (QStringList{"Old Style", "", "western", "Jane Doe", "", "", "1950", ""}));
        // A skipped entry is named by the line it starts on.
        QCOMPARE(plan.skipReasons, QStringList{"empty title on line 15"});
    }
}

void TestReaders::gcstarOldAndNewShapes()
{
    ImportSource source;
    const ImportPlan plan =
        planFor("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<collection type=\"GCfilms\" items=\"2\" version=\"1.7.0\">\n"
                " <information><maxId>2</maxId></information>\n"
                " <item id=\"1\" title=\"Heat\" date=\"15/12/1995\" time=\"170 min\" age=\"5\" rating=\"8\">\n"
                "  <synopsis>A thief and a detective.</synopsis>\n"
                "  <comment>The bank scene.</comment>\n"
                "  <actors><line><col>Al Pacino</col><col>Vincent Hanna</col></line>"
                "<line><col>Robert De Niro</col><col>Neil McCauley</col></line></actors>\n"
                "  <genre><line><col>Crime</col></line><line><col>Suspense</col></line></genre>\n"
                " </item>\n"
                " <item id=\"2\" title=\"Old\" date=\"1962\" time=\"1h42\" age=\"PG\" genre=\"Drama,War\"\n"
                "       actors=\"Peter O'Toole (Lawrence), Alec Guinness (Feisal)\" synopsis=\"Desert.\" />\n"
                " <item id=\"3\" date=\"2001\">\n  <synopsis>No title.</synopsis>\n </item>\n"
                "</collection>\n",
                source);
    QCOMPARE(source.format, exchange::SourceFormat::Gcstar);
    QCOMPARE(plan.movies.size(), size_t(2));
    QCOMPARE(row(plan, 0), (QStringList{"Heat", "A thief and a detective.", "Suspense", "Al Pacino, Robert De Niro",
                                        "The bank scene.", "PG", "1995", "170"}));
    QCOMPARE(row(plan, 1),
             (QStringList{"Old", "Desert.", "Drama", "Peter O'Toole, Alec Guinness", "", "PG", "1962", "102"}));
    QCOMPARE(plan.skipReasons, QStringList{"empty title on line 12"});

    // The same kind of file saved as UTF-16.
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray wide = utf16.encode(QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
                                                           "<collection type=\"GCfilms\"><item title=\"Caf\xC3\xA9\" "
                                                           "date=\"2001\"/></collection>"));
    ImportSource wideSource;
    QCOMPARE(row(planFor(wide, wideSource), 0).mid(0, 1), QStringList{QString::fromUtf8("Caf\xC3\xA9")});
}

void TestReaders::duplicatesIgnoreCaseAndAccents()
{
    testsupport::TestFolder folder;
    folder.makeCatalogue({testsupport::movie(QString::fromUtf8("Am\xC3\xA9lie"), "Comedy", "2001")});
    exchange::DuplicateIndex present;
    QVERIFY(!exchange::readCatalogueKeys(folder.catalogue(), present));

    ImportSource source;
    QVERIFY(!exchange::readImportBytes("Title,Year\nAMELIE,2001\nAmelie,2002\nZ,1\nz, 1\n", "f", source));
    const ImportPlan plan = exchange::planImport(source, source.mapping, present);
    QCOMPARE(plan.duplicates, 2);
    QCOMPARE(plan.movies[0].duplicate, true);
    QCOMPARE(plan.movies[1].duplicate, false);
    QCOMPARE(plan.movies[3].duplicate, true);
    QCOMPARE(plan.toStore(true), (std::vector<qsizetype>{1, 2}));
    QCOMPARE(plan.toStore(false).size(), size_t(4));
}

void TestReaders::wholeFileFailuresNameTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<platform::ErrorKind>("kind");
    QByteArray notTellico;
    QVERIFY(!exchange::writeZip("readme.txt", "hello", notTellico));
    QByteArray books;
    QVERIFY(!exchange::writeZip("tellico.xml", tellicoDocument("<entry id=\"1\"><title>A book</title></entry>", "2"),
                                books));
    QByteArray random(4096, 0);
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 2654435761u) >> 13);

    QTest::newRow("empty") << QByteArray() << "It is empty." << platform::ErrorKind::Unreadable;
    QTest::newRow("header only") << QByteArray("Title,Year\r\n") << "nothing to import" << platform::ErrorKind::Other;
    QTest::newRow("random bytes") << random << "not a text file" << platform::ErrorKind::WrongFormat;
    QTest::newRow("NUL bytes") << QByteArray("Title\nA\0B\n", 10) << "NUL" << platform::ErrorKind::WrongFormat;
    QTest::newRow("open quote") << QByteArray("Title,Plot\nA,\"never\nclosed\n") << "line 2 is never closed"
                                << platform::ErrorKind::Unreadable;
    QTest::newRow("zip of something else")
        << notTellico << "not a Tellico collection" << platform::ErrorKind::WrongFormat;
    QTest::newRow("damaged zip") << notTellico.left(40) << "zip archive" << platform::ErrorKind::Unreadable;
    QTest::newRow("books") << books << "holds no movies" << platform::ErrorKind::WrongFormat;
    QTest::newRow("invalid xml") << QByteArray("<?xml version=\"1.0\"?><tellico><collection type=\"3\"><entry>")
                                 << "not well-formed XML" << platform::ErrorKind::Unreadable;
    QTest::newRow("other xml") << QByteArray("<?xml version=\"1.0\"?><html><body/></html>")
                               << "neither a Tellico nor a GCstar" << platform::ErrorKind::WrongFormat;
    QTest::newRow("gcstar books") << QByteArray("<?xml version=\"1.0\"?><collection type=\"GCbooks\"/>")
                                  << "holds no movies" << platform::ErrorKind::WrongFormat;
    QTest::newRow("entities") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE tellico [\n"
                                            "<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
                                            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                                            "]>\n<tellico><collection type=\"3\"><entry><title>&b;</title>"
                                            "</entry></collection></tellico>")
                              << "declares entities" << platform::ErrorKind::Unreadable;
    QTest::newRow("external entity") << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE collection [\n"
                                                   "<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n"
                                                   "<collection type=\"GCfilms\"><item title=\"&x;\"/></collection>")
                                     << "declares entities" << platform::ErrorKind::Unreadable;
    QTest::newRow("undeclared entity")
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE tellico SYSTEM \"tellico.dtd\">\n"
                      "<tellico><collection type=\"3\"><entry><title>&x;</title></entry></collection></tellico>")
        << "entity" << platform::ErrorKind::Unreadable;
}

void TestReaders::wholeFileFailuresNameTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    testsupport::TestFolder folder;
    const QString path = writeFile(folder, "collection.dat", bytes);
    ImportSource source;
    QFETCH(platform::ErrorKind, kind);
    const platform::Failure error = exchange::readImportFile(path, source);
    QVERIFY2(error.message.contains(QDir::toNativeSeparators(path)) && error.message.contains(reason),
             qPrintable(error.message));
    // Broken content is Unreadable, content of another kind WrongFormat: callers tell them apart by kind.
    QCOMPARE(error.kind, kind);
    QCOMPARE(source.table.rowCount(), 0);
}

void TestReaders::zipMembersAreCappedWhileInflating()
{
    const QByteArray big(100000, 'x');
    QByteArray zip, out;
    QVERIFY(!exchange::writeZip("tellico.xml", big, zip));
    QVERIFY(!exchange::readZipMember(zip, "tellico.xml", 1000000, out));
    QCOMPARE(out, big);
    // The stated size is past the limit: refused before inflating.
    const platform::Failure tooLarge = exchange::readZipMember(zip, "tellico.xml", 1000, out);
    QCOMPARE(tooLarge.kind, platform::ErrorKind::Other);
    QCOMPARE(tooLarge.message, QString("Its tellico.xml would unpack to more than 1000 bytes."));
    QVERIFY(out.isEmpty());
    QCOMPARE(exchange::readZipMember(zip, "other.xml", 1000000, out).kind, platform::ErrorKind::WrongFormat);

    // An archive that lies about the size: the inflated bytes still never pass the limit.
    QByteArray liar = zip;
    const qsizetype central = liar.indexOf("PK\x01\x02");
    QVERIFY(central > 0);
    const char small[4] = {char(0xE8), 0x03, 0, 0}; // 1000
    liar.replace(18 + 4, 4, small, 4);              // local header: uncompressed size
    liar.replace(central + 24, 4, small, 4);        // central directory: uncompressed size
    const platform::Failure result = exchange::readZipMember(liar, "tellico.xml", 5000, out);
    QVERIFY(result.kind == platform::ErrorKind::Other || result.kind == platform::ErrorKind::Unreadable);
    QVERIFY(out.size() <= 5000);
}

void TestReaders::filesOverOneGibibyteAreNotRead()
{
    testsupport::TestFolder folder;
    const QString path = folder.path() + "/huge.csv";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(exchange::MaxImportFileSize + 1)); // sparse: takes no room on disk
    f.close();
    ImportSource source;
    const platform::Failure error = exchange::readImportFile(path, source);
    QVERIFY(error);
    QVERIFY2(error.message.contains("huge.csv") && error.message.contains("larger than 1 GiB"),
             qPrintable(error.message));
}

QTEST_GUILESS_MAIN(TestReaders)
#include "tst_readers.moc"
