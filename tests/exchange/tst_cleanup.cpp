// SPDX-License-Identifier: GPL-3.0-or-later
// What an outside file's values become when stored: blanks, categories, lists of
// names, markup, ages, and every form of a Tellico field.
#include "exchange/importer.h"
#include "exchange/markup.h"

#include <QtTest>

using catalogue::Field;
using exchange::ImportPlan;
using exchange::ImportSource;

namespace {

ImportPlan planFor(const QByteArray &bytes, ImportSource &source)
{
    if (const platform::Failure why = exchange::readImportBytes(bytes, "sample", source))
        qWarning("%s", qPrintable(why.message));
    return exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
}

QString stored(const ImportPlan &plan, Field field, size_t movie = 0)
{
    if (movie >= plan.movies.size())
        return QStringLiteral("(no movie)");
    return QString::fromUtf8(plan.movies[movie].values[size_t(catalogue::index(field))]);
}

QByteArray quoted(QByteArray value) { return '"' + value.replace('"', "\"\"") + '"'; }

QByteArray tellico(const QByteArray &fields, const QByteArray &entry)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
           " <collection title=\"Films\" type=\"3\">\n  <fields>" +
           fields + "</fields>\n  <entry id=\"1\">" + entry + "</entry>\n </collection>\n</tellico>\n";
}

} // namespace

class TestCleanup : public QObject {
    Q_OBJECT
private slots:
    void spreadsheetValues_data();
    void spreadsheetValues();
    void blankRowsAreNoRows();
    void markupNeedsAKnownTagOrEntity_data();
    void markupNeedsAKnownTagOrEntity();
    void tellicoFieldsInEitherForm_data();
    void tellicoFieldsInEitherForm();
    void gcstarAgesBecomeCertifications_data();
    void gcstarAgesBecomeCertifications();
};

void TestCleanup::spreadsheetValues_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("field");
    const int title = int(Field::Title), category = int(Field::Category), actors = int(Field::Actors),
              review = int(Field::Review), year = int(Field::Year), plot = int(Field::Description);

    QTest::newRow("spaces and tabs") << QByteArray("Title") << QByteArray(" \t Heat \t") << "Heat" << title;
    QTest::newRow("no-break spaces") << QByteArray("Year")
                                     << QByteArray("\xC2\xA0"
                                                   "1995\xE2\x80\xAF")
                                     << "1995" << year;
    QTest::newRow("inner blanks kept") << QByteArray("Title") << QByteArray(" Paris,\xC2\xA0Texas ")
                                       << QString::fromUtf8("Paris,\xC2\xA0Texas") << title;
    QTest::newRow("blanks only") << QByteArray("Plot") << QByteArray(" \t\xC2\xA0 ") << "" << plot;

    QTest::newRow("lower case") << QByteArray("Genre") << QByteArray("action") << "Action" << category;
    QTest::newRow("hyphen and case") << QByteArray("Genre") << QByteArray("Sci-fi") << "Sci-Fi" << category;
    QTest::newRow("blank for hyphen") << QByteArray("Genre") << QByteArray("sci fi") << "Sci-Fi" << category;
    QTest::newRow("spelt out") << QByteArray("Genre") << QByteArray("Science Fiction") << "Sci-Fi" << category;
    QTest::newRow("plural") << QByteArray("Genre") << QByteArray("Documentaries") << "Documentary" << category;
    QTest::newRow("padded, after a genre that is none")
        << QByteArray("Genre") << QByteArray("Film Noir |  horror ") << "Horror" << category;
    QTest::newRow("no category") << QByteArray("Genre") << QByteArray(" Western ") << "Western" << category;

    QTest::newRow("semicolons") << QByteArray("Cast") << QByteArray("Al Pacino;Robert De Niro")
                                << "Al Pacino, Robert De Niro" << actors;
    QTest::newRow("bars and blanks") << QByteArray("Cast") << QByteArray("Al Pacino | Robert De Niro |")
                                     << "Al Pacino, Robert De Niro" << actors;
    QTest::newRow("tight commas") << QByteArray("Actors") << QByteArray("A,B ,  C") << "A, B, C" << actors;
    QTest::newRow("one name") << QByteArray("Actors") << QByteArray(" Jane Doe ") << "Jane Doe" << actors;

    QTest::newRow("diary review") << QByteArray("Review")
                                  << QByteArray("<p>It&#8217;s <i>gorgeous</i> &amp; <b>long</b>.</p>\n"
                                                "<p><blockquote>Quoted</blockquote>See <a href=\"https://x/y\">"
                                                "this</a>.<br />Next line&#x2019;s&nbsp;end</p>")
                                  << QString::fromUtf8("It\xE2\x80\x99s gorgeous & long.\n\nQuoted\n\nSee this.\n"
                                                       "Next line\xE2\x80\x99s\xC2\xA0"
                                                       "end")
                                  << review;
    QTest::newRow("plot in markup") << QByteArray("Plot") << QByteArray("One<br>two<BR/>three") << "One\ntwo\nthree"
                                    << plot;
    QTest::newRow("two breaks make a blank line, no more")
        << QByteArray("Review") << QByteArray("a<br><br><br><br>b") << "a\n\nb" << review;
    QTest::newRow("plain lines kept") << QByteArray("Review") << QByteArray("Line one\r\nline two")
                                      << "Line one\r\nline two" << review;
    QTest::newRow("lone less-than") << QByteArray("Review") << QByteArray("x < y & y > z") << "x < y & y > z" << review;
    QTest::newRow("less-than beside markup") << QByteArray("Review") << QByteArray("<b>x</b> < y") << "x < y" << review;
}

void TestCleanup::spreadsheetValues()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);
    QFETCH(int, field);
    ImportSource source;
    const QByteArray file =
        (header == "Title" ? QByteArray("Title\n") : "Title," + header + "\nX,") + quoted(value) + "\n";
    const ImportPlan plan = planFor(file, source);
    QVERIFY(!source.exact);
    QCOMPARE(stored(plan, catalogue::fieldAt(field)), expected);
}

void TestCleanup::blankRowsAreNoRows()
{
    ImportSource source;
    ImportPlan plan = planFor("Title;Year;Genre\r\n"
                              " Heat ; 1995 ;crime\r\n"
                              ";;\r\n"
                              "  ;\t; \xC2\xA0\r\n"
                              ";1999;Drama\r\n"
                              "Alien;1979;sci-fi\r\n"
                              " ; ; \r\n",
                              source);
    QCOMPARE(plan.movies.size(), size_t(2));
    QCOMPARE(stored(plan, Field::Title, 0), QString("Heat"));
    QCOMPARE(stored(plan, Field::Category, 1), QString("Sci-Fi"));
    // Only the row with a year and no title was a movie without a title.
    QCOMPARE(plan.skippedRows, 1);
    QCOMPARE(plan.skipReasons, QStringList{"empty title on line 5"});

    // This program's own export is stored as it stands: blanks, markup, names and all.
    plan = planFor("\xEF\xBB\xBFTitle,Description,Category,Actors,Review,Rating,Year,Time\r\n"
                   "\" Heat \",<i>x</i> &amp; y,action,A;B,\" r \",PG,1995,170\r\n"
                   ",,,,,,,\r\n",
                   source);
    QVERIFY(source.exact);
    QCOMPARE(plan.movies.size(), size_t(1));
    QCOMPARE(plan.skippedRows, 0);
    QStringList values;
    for (QByteArrayView v : plan.movies[0].values)
        values << QString::fromUtf8(v);
    QCOMPARE(values, (QStringList{" Heat ", "<i>x</i> &amp; y", "action", "A;B", " r ", "PG", "1995", "170"}));
}

void TestCleanup::markupNeedsAKnownTagOrEntity_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("markup");
    QTest::newRow("tag") << QByteArray("a <i>b</i>") << true;
    QTest::newRow("closing tag alone") << QByteArray("end</p>") << true;
    QTest::newRow("tag with attributes") << QByteArray("<a href=\"x\" title='y'>z</a>") << true;
    QTest::newRow("named entity") << QByteArray("Tom &amp; Jerry") << true;
    QTest::newRow("decimal entity") << QByteArray("it&#8217;s") << true;
    QTest::newRow("hex entity") << QByteArray("it&#X2019;s") << true;
    QTest::newRow("comparison") << QByteArray("x < y and y > z") << false;
    QTest::newRow("heart") << QByteArray("<3 this film") << false;
    QTest::newRow("unknown tag") << QByteArray("<blink>no</blink>") << false;
    QTest::newRow("tag never closed") << QByteArray("<i and more text") << false;
    QTest::newRow("tag broken by another") << QByteArray("<i x <b") << false;
    QTest::newRow("ampersand") << QByteArray("AT&T; Q&A") << false;
    QTest::newRow("entity without semicolon") << QByteArray("Tom &amp Jerry") << false;
    QTest::newRow("unknown entity") << QByteArray("&bogus;") << false;
    QTest::newRow("no character") << QByteArray("&#0; &#xD800; &#1114112;") << false;
}

void TestCleanup::markupNeedsAKnownTagOrEntity()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, markup);
    QCOMPARE(exchange::holdsMarkup(text), markup);
    if (!markup)
        QCOMPARE(exchange::textFromMarkup(text), text);

    // Many openings without an end are read once, and kept as they are.
    const QByteArray many = QByteArray("<a ").repeated(200000) + text;
    QCOMPARE(exchange::holdsMarkup(many), markup);
    if (!markup)
        QCOMPARE(exchange::textFromMarkup(many), many);
}

void TestCleanup::tellicoFieldsInEitherForm_data()
{
    QTest::addColumn<QByteArray>("fields");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QStringList>("expected"); // title, genre, actors, rating, year, time

    const QByteArray severalYears = "<field name=\"year\" title=\"Year\" type=\"6\" flags=\"3\"/>";
    QTest::newRow("year that allows several values")
        << severalYears << QByteArray("<title>Heat</title><years><year>1995</year></years>")
        << QStringList{"Heat", "", "", "", "1995", ""};
    QTest::newRow("several years: the first")
        << severalYears
        << QByteArray("<title>Heat</title><years><year> </year><year>1995</year><year>2005</year></years>")
        << QStringList{"Heat", "", "", "", "1995", ""};
    QTest::newRow("declared plural, written plain")
        << severalYears << QByteArray("<title>Heat</title><year>1995</year>")
        << QStringList{"Heat", "", "", "", "1995", ""};
    QTest::newRow("every field plural")
        << QByteArray()
        << QByteArray("<titles><title>Heat</title></titles><genres><genre>crime</genre><genre>thriller</genre></genres>"
                      "<casts><cast><column>Al Pacino</column><column>Hanna</column></cast>"
                      "<cast><column>Robert De Niro</column></cast></casts>"
                      "<certifications><certification>R (USA)</certification></certifications>"
                      "<running-times><running-time>170</running-time></running-times>")
        << QStringList{"Heat", "Suspense", "Al Pacino, Robert De Niro", "R", "", "170"};
    QTest::newRow("every field plain, repeated")
        << QByteArray()
        << QByteArray("<title>Heat</title><genre>Crime</genre><genre>Drama</genre><cast>Al Pacino::Hanna</cast>"
                      "<cast><column>Val Kilmer</column><column>Chris</column></cast>"
                      "<certification>R</certification><running-time> 170 </running-time>")
        << QStringList{"Heat", "Drama", "Al Pacino, Val Kilmer", "R", "", "170"};
    QTest::newRow("table rows with an empty name")
        << QByteArray()
        << QByteArray("<title>Heat</title><casts><cast><column/><column>Extra</column></cast>"
                      "<cast><column>Al Pacino</column></cast></casts>")
        << QStringList{"Heat", "", "Al Pacino", "", "", ""};
    QTest::newRow("fields of other names")
        << QByteArray()
        << QByteArray("<title>Heat</title><directors><director>Michael Mann</director></directors>"
                      "<yearss><year>1</year></yearss><medium>DVD</medium>")
        << QStringList{"Heat", "", "", "", "", ""};
}

void TestCleanup::tellicoFieldsInEitherForm()
{
    QFETCH(QByteArray, fields);
    QFETCH(QByteArray, entry);
    QFETCH(QStringList, expected);
    ImportSource source;
    const ImportPlan plan = planFor(tellico(fields, entry), source);
    QCOMPARE(source.format, exchange::SourceFormat::Tellico);
    const QStringList got{stored(plan, Field::Title),  stored(plan, Field::Category), stored(plan, Field::Actors),
                          stored(plan, Field::Rating), stored(plan, Field::Year),     stored(plan, Field::Time)};
    QCOMPARE(got, expected);
}

void TestCleanup::gcstarAgesBecomeCertifications_data()
{
    QTest::addColumn<QByteArray>("age");
    QTest::addColumn<QString>("rating");
    const struct {
        const char *age, *rating;
    } table[] = {{"", ""},    {"0", ""},     {"1", "G"},   {"2", "PG"},        {"3", "G"},
                 {"4", "G"},  {"5", "PG"},   {"10", "PG"}, {"11", "PG-13"},    {"16", "PG-13"},
                 {"17", "R"}, {" 18 ", "R"}, {"-1", ""},   {"PG-13", "PG-13"}, {"8.5", ""}};
    for (const auto &row : table)
        QTest::newRow(row.age[0] ? row.age : "empty") << QByteArray(row.age) << QString(row.rating);
}

void TestCleanup::gcstarAgesBecomeCertifications()
{
    QFETCH(QByteArray, age);
    QFETCH(QString, rating);
    ImportSource source;
    const ImportPlan plan = planFor("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<collection type=\"GCfilms\">"
                                    "<item title=\"Heat\" age=\"" +
                                        age + "\" rating=\"7\"/></collection>\n",
                                    source);
    QCOMPARE(stored(plan, Field::Rating), rating);
}

QTEST_GUILESS_MAIN(TestCleanup)
#include "tst_cleanup.moc"
