// SPDX-License-Identifier: GPL-3.0-or-later
// The XML exports of Collectorz Movie Collector, Data Crow and Griffith, on small files
// shaped as those programs write them.
#include "exchange/importer.h"

#include <QtTest>

using exchange::ImportPlan;
using exchange::ImportSource;
using exchange::SourceFormat;

Q_DECLARE_METATYPE(exchange::SourceFormat)

namespace {

QStringList row(const ImportPlan &plan, size_t i)
{
    QStringList out;
    for (QByteArrayView v : plan.movies.at(i).values)
        out << QString::fromUtf8(v);
    return out;
}

} // namespace

class TestPeerXml : public QObject {
    Q_OBJECT
private slots:
    void exportsGiveTheirMovies_data();
    void exportsGiveTheirMovies();
    void otherDocumentsAreRefused_data();
    void otherDocumentsAreRefused();
};

void TestPeerXml::exportsGiveTheirMovies_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<SourceFormat>("format");
    QTest::addColumn<QList<QStringList>>("movies"); // as stored, in field order
    QTest::addColumn<QStringList>("skipped");

    QTest::newRow("Collectorz, fields at the movie and in its main section")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<movieinfo>\n"
                      " <movielist>\n"
                      "  <movie>\n"
                      "   <id>17</id><title>Blade Runner</title>\n"
                      "   <releasedate><date>25/06/1982</date><year><displayname>1982</displayname></year>"
                      "</releasedate>\n"
                      "   <plot>&lt;p&gt;Replicants &amp;amp; rain.&lt;/p&gt;&lt;p&gt;Los Angeles.&lt;/p&gt;</plot>\n"
                      "   <genres><genre><id>5</id><displayname>Science Fiction</displayname></genre>"
                      "<genre><displayname>Thriller</displayname></genre></genres>\n"
                      "   <cast><star><roleid>dfActor</roleid><person><displayname>Harrison Ford</displayname>"
                      "</person><character>Deckard</character></star>\n"
                      "    <star><roleid>dfDivider</roleid><displayname>Uncredited</displayname></star>\n"
                      "    <star><roleid>dfActor</roleid><person><displayname>Sean Young</displayname></person>"
                      "</star></cast>\n"
                      "   <crew><crewmember><roleid>dfDirector</roleid><person><displayname>Ridley Scott"
                      "</displayname></person></crewmember></crew>\n"
                      "   <notes>Director's cut only.</notes><myrating>9</myrating>\n"
                      "   <mpaarating><displayname>R</displayname></mpaarating><runtime>117</runtime>\n"
                      "  </movie>\n"
                      "  <movie><mainsection><title>Heat</title><plot>Crime.</plot>"
                      "<runtimeminutes>170 mins</runtimeminutes><releasedate><date>1995-12-15</date></releasedate>"
                      "</mainsection></movie>\n"
                      " </movielist>\n"
                      "</movieinfo>\n")
        << SourceFormat::Collectorz
        << QList<QStringList>{{"Blade Runner", "Replicants & rain.\n\nLos Angeles.", "Sci-Fi",
                               "Harrison Ford, Sean Young", "Director's cut only.", "R", "1982", "117"},
                              {"Heat", "Crime.", "", "", "", "", "1995", "170"}}
        << QStringList();

    QTest::newRow("Data Crow, references and their lists")
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                      "<data-crow-objects xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                      "xsi:noNamespaceSchemaLocation=\"movies.xsd\">\n"
                      "    <movie>\n"
                      "        <title>Heat</title>\n"
                      "        <description>A thief &amp; a detective.</description>\n"
                      "        <year>1995</year><playlength>2:50:00</playlength><rating>8</rating>\n"
                      "        <certification>PG-13</certification>\n"
                      "        <genres>\n"
                      "                <genre>\n"
                      "                    <name>crime</name>\n"
                      "                </genre>\n"
                      "                <genre><name>suspense</name></genre>\n"
                      "        </genres>\n"
                      "<genres-list>crime, suspense</genres-list>\n"
                      "        <actors><actor><name>Al Pacino</name></actor><actor><name>Robert De Niro</name>"
                      "</actor></actors>\n"
                      "<actors-list>Al Pacino, Robert De Niro</actors-list>\n"
                      "        <comment>The bank scene.</comment>\n"
                      "    </movie>\n"
                      "</data-crow-objects>\n")
        << SourceFormat::DataCrow
        << QList<QStringList>{{"Heat", "A thief & a detective.", "Suspense", "Al Pacino, Robert De Niro",
                               "The bank scene.", "PG-13", "1995", "170"}}
        << QStringList();

    QTest::newRow("Data Crow 5 without a declaration, play length in seconds")
        << QByteArray("\xEF\xBB\xBF<data-crow-objects>\n <movie-items>\n"
                      "  <movie><title>Alien</title><playlength>7020</playlength><year>1979</year>"
                      "<certification>R</certification></movie>\n"
                      " </movie-items>\n</data-crow-objects>\n")
        << SourceFormat::DataCrow << QList<QStringList>{{"Alien", "", "", "", "", "R", "1979", "117"}} << QStringList();

    QTest::newRow("Griffith, the original title when there is no other")
        << QByteArray("<?xml version='1.0' encoding='UTF-8'?>\n"
                      "<root>\n"
                      "  <movie>\n"
                      "    <number>1</number>\n"
                      "    <o_title>L\xC3\xA9on</o_title>\n"
                      "    <title></title>\n"
                      "    <director>Luc Besson</director>\n"
                      "    <year>1994</year>\n"
                      "    <classification>R</classification>\n"
                      "    <genre>Crime, Drama</genre>\n"
                      "    <rating>9</rating>\n"
                      "    <runtime>110</runtime>\n"
                      "    <plot>A hitman.</plot>\n"
                      "    <cast>Jean Reno as L\xC3\xA9on\nNatalie Portman as Mathilda</cast>\n"
                      "    <notes>Seen twice.</notes>\n"
                      "  </movie>\n"
                      "  <movie>\n"
                      "    <year>2001</year>\n"
                      "  </movie>\n"
                      "</root>\n")
        << SourceFormat::Griffith
        << QList<QStringList>{{QString::fromUtf8("L\xC3\xA9on"), "A hitman.", "Drama", "Jean Reno, Natalie Portman",
                               "Seen twice.", "R", "1994", "110"}}
        << QStringList{"empty title on line 18"};
}

void TestPeerXml::exportsGiveTheirMovies()
{
    QFETCH(QByteArray, xml);
    QFETCH(SourceFormat, format);
    QFETCH(QList<QStringList>, movies);
    QFETCH(QStringList, skipped);
    ImportSource source;
    const platform::Failure error = exchange::readImportBytes(xml, "export.xml", source);
    QVERIFY2(!error, qPrintable(error.message));
    QCOMPARE(source.format, format);
    QVERIFY(!source.mappingChangeable);
    const ImportPlan plan = exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
    QCOMPARE(plan.movies.size(), size_t(movies.size()));
    for (qsizetype i = 0; i < movies.size(); ++i)
        QCOMPARE(row(plan, size_t(i)), movies[i]);
    QCOMPARE(plan.skipReasons, skipped);
}

void TestPeerXml::otherDocumentsAreRefused_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<platform::ErrorKind>("kind");
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    QTest::newRow("Data Crow export of another module")
        << head + "<data-crow-objects><software-item><title>Office</title></software-item></data-crow-objects>"
        << "It holds no movies: it is a Data Crow export of another module." << platform::ErrorKind::WrongFormat;
    QTest::newRow("Collectorz file of books")
        << head + "<movieinfo><booklist><book><title>Dune</title></book></booklist></movieinfo>"
        << "It holds no movies: it is a Collectorz file without a <movielist>." << platform::ErrorKind::WrongFormat;
    QTest::newRow("Collectorz list without movies") << head + "<movieinfo><movielist/></movieinfo>"
                                                    << "It holds no movies." << platform::ErrorKind::Other;
    QTest::newRow("a root of other things")
        << head + "<root><item>1</item></root>"
        << "It is XML, but not a Griffith export: its <root> holds no <movie>." << platform::ErrorKind::WrongFormat;
    QTest::newRow("entities of its own")
        << head + "<!DOCTYPE root [<!ENTITY a \"aaaaaaaa\">]><root><movie><title>&a;&a;</title></movie></root>"
        << "It declares entities in its DOCTYPE, which this program does not read." << platform::ErrorKind::Unreadable;
    QTest::newRow("broken inside a movie") << head + "<data-crow-objects><movie><title>Heat</movie></data-crow-objects>"
                                           << "It is not well-formed XML (line 2: " << platform::ErrorKind::Unreadable;
    QTest::newRow("text after the root") << head + "<root><movie><title>Heat</title></movie></root>junk"
                                         << "It is not well-formed XML (line 2: " << platform::ErrorKind::Unreadable;
}

void TestPeerXml::otherDocumentsAreRefused()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, reason);
    ImportSource source;
    QFETCH(platform::ErrorKind, kind);
    const platform::Failure error = exchange::readImportBytes(xml, "/tmp/export.xml", source);
    QVERIFY2(
        error.message.startsWith(QDir::toNativeSeparators("/tmp/export.xml") + " could not be imported. " + reason),
        qPrintable(error.message));
    QCOMPARE(error.kind, kind);
    QCOMPARE(source.table.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestPeerXml)
#include "tst_peerxml.moc"
