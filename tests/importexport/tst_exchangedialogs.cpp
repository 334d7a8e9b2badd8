// SPDX-License-Identifier: GPL-3.0-or-later
// The import and export dialogs, driven through their controls as a user would.
#include "catalogue/recordcursor.h"
#include "exchange/collectionxml.h"
#include "exchange/zipfile.h"
#include "importexport/frmexport.h"
#include "importexport/frmimport.h"
#include "platform/appfolder.h"
#include "tests/common/fakehost.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "widgets/cataloguehost.h"
#include "widgets/filechooser.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using catalogue::Field;
using catalogue::RecordCursor;
using importexport::FrmExport;
using importexport::FrmImport;
using testsupport::MessageBoxAnswerer;
using testsupport::TestFolder;

namespace {

using testsupport::FakeHost;

template <class T>
T *control(QWidget *window, const QString &name)
{
    T *w = window->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

QString writeFile(const TestFolder &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.path() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList titlesIn(const TestFolder &folder)
{
    QStringList titles;
    for (const auto &m : folder.moviesInFile())
        titles << m[Field::Title];
    return titles;
}

} // namespace

class TestExchangeDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::useTestSettings(); }
    void importShowsWhatWillBeStoredThenStoresIt();
    void duplicatesAreKeptWhenAsked();
    void cancelWritesNothing();
    void unreadableFileIsExplained();
    void collectionsHaveAFixedMapping();
    void listsWithoutNamesAreMappedByHand();
    void onlyMoviesLeavesOutSeries();
    void exportWritesAllOrTheListedMovies();
    void outsideValuesComeInClean_data();
    void outsideValuesComeInClean();
};

void TestExchangeDialogs::importShowsWhatWillBeStoredThenStoresIt()
{
    TestFolder folder;
    folder.makeCatalogue({testsupport::movie("Alien", "Sci-Fi", "1979")});
    FakeHost host(folder.path());
    const QString file = writeFile(folder, "list.csv",
                                   "Film;Year;Genre;Runtime;Director\r\n"
                                   "ALIEN;1979;Horror;117;Scott\r\n"
                                   "Heat;1995-12-15;Crime, Suspense;2h 50m;Mann\r\n"
                                   ";2000;Drama;;\r\n"
                                   "Zodiac;2007;Mystery;157;Fincher\r\n");
    FrmImport dialog(host);
    widgets::setNextChosenFile(file);
    QVERIFY(dialog.chooseFile());
    dialog.show();

    QVERIFY(control<QLabel>(&dialog, "lblFile")->text().contains("list.csv"));
    QVERIFY(control<QLabel>(&dialog, "lblFormat")->text().contains("semicolon"));
    QCOMPARE(control<QComboBox>(&dialog, "cboField_0")->currentText(), QString("Title"));
    QCOMPARE(control<QComboBox>(&dialog, "cboField_3")->currentText(), QString("Time"));
    QCOMPARE(control<QComboBox>(&dialog, "cboField_4")->currentText(), QString("(not imported)"));
    auto *preview = control<QTableWidget>(&dialog, "tblPreview");
    QCOMPARE(preview->rowCount(), 3);
    QCOMPARE(preview->item(1, 0)->text(), QString("Heat"));
    QCOMPARE(preview->item(1, 2)->text(), QString("Suspense"));
    QCOMPARE(preview->item(1, 6)->text(), QString("1995"));
    QCOMPARE(preview->item(1, 7)->text(), QString("170"));
    const QString counts = control<QLabel>(&dialog, "lblCount")->text();
    QVERIFY2(counts.startsWith("3 movies found; 1 of them already") && counts.contains(" 1 row will be skipped"),
             qPrintable(counts));
    QVERIFY(control<QCheckBox>(&dialog, "chkSkipDuplicates")->isChecked());

    // The user maps the director to Actors instead of nothing; the preview follows.
    control<QComboBox>(&dialog, "cboField_4")->setCurrentText("Actors");
    QCOMPARE(preview->item(2, 3)->text(), QString("Fincher"));
    QCOMPARE(titlesIn(folder), QStringList{"Alien"}); // nothing written so far

    MessageBoxAnswerer summary(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
    QVERIFY(summary.seen().shown);
    QCOMPARE(summary.seen().text,
             QString("2 movies imported, 1 duplicate skipped, 1 row skipped (empty title on line 4). Skipped as "
                     "duplicates: ALIEN (1979)."));
    QCOMPARE(titlesIn(folder), (QStringList{"Alien", "Heat", "Zodiac"}));
    QCOMPARE(folder.moviesInFile()[2][Field::Actors], QString("Fincher"));
    QCOMPARE(host.listings, 1);
    QCOMPARE(host.cursor.result().size(), 3);
    QVERIFY(!dialog.isVisible());
}

void TestExchangeDialogs::duplicatesAreKeptWhenAsked()
{
    TestFolder folder;
    folder.makeCatalogue({testsupport::movie(QString::fromUtf8("Am\xC3\xA9lie"), "Comedy", "2001")});
    FakeHost host(folder.path());
    const QString file = writeFile(folder, "list.csv", "Title,Year\nAMELIE,2001\nAmelie,2001\n");
    FrmImport dialog(host);
    QVERIFY(dialog.openFile(file));
    QVERIFY(control<QLabel>(&dialog, "lblCount")->text().startsWith("2 movies found; 2 of them"));
    auto *import = control<QPushButton>(&dialog, "cmdImport");
    QVERIFY(!import->isEnabled()); // nothing left to store
    control<QCheckBox>(&dialog, "chkSkipDuplicates")->setChecked(false);
    QVERIFY(import->isEnabled());
    MessageBoxAnswerer summary(QMessageBox::Ok);
    QTest::mouseClick(import, Qt::LeftButton);
    QCOMPARE(summary.seen().text, QString("2 movies imported, 0 duplicates skipped, 0 rows skipped."));
    QCOMPARE(folder.moviesInFile().size(), size_t(3));
}

void TestExchangeDialogs::cancelWritesNothing()
{
    TestFolder folder;
    folder.makeCatalogue({testsupport::movie("Kept")});
    FakeHost host(folder.path());
    QByteArray csv = "Title\n";
    for (int i = 0; i < 5000; ++i)
        csv += "Movie " + QByteArray::number(i) + "\n";
    const QString file = writeFile(folder, "many.csv", csv);
    const QByteArray before = readFile(folder.catalogue());

    {
        FrmImport dialog(host);
        QVERIFY(dialog.openFile(file));
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdCancel"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    QCOMPARE(host.listings, 0);

    // Cancel in the progress dialog of a large import.
    FrmImport dialog(host);
    dialog.setProgressThreshold(100);
    QVERIFY(dialog.openFile(file));
    dialog.show();
    bool sawProgress = false;
    QTimer cancelProgress;
    connect(&cancelProgress, &QTimer::timeout, [&] {
        if (auto *p = dialog.findChild<QProgressDialog *>("dlgImportProgress")) {
            sawProgress = true;
            p->cancel();
        }
    });
    cancelProgress.start(0);
    MessageBoxAnswerer warning(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
    cancelProgress.stop();
    QVERIFY(sawProgress);
    QVERIFY2(warning.seen().text.contains("many.csv") && warning.seen().text.contains("cancelled"),
             qPrintable(warning.seen().text));
    QCOMPARE(titlesIn(folder), QStringList{"Kept"});
    QVERIFY(dialog.isVisible());
}

void TestExchangeDialogs::unreadableFileIsExplained()
{
    TestFolder folder;
    folder.makeCatalogue({});
    FakeHost host(folder.path());
    FrmImport dialog(host);
    MessageBoxAnswerer warning(QMessageBox::Ok);
    QVERIFY(!dialog.openFile(writeFile(folder, "header.csv", "Title,Year\n")));
    QVERIFY2(warning.seen().text.contains("header.csv") && warning.seen().text.contains("nothing to import"),
             qPrintable(warning.seen().text));
    // No file picked: nothing happens.
    widgets::setNextChosenFile(QString());
    QVERIFY(!dialog.chooseFile());
}

void TestExchangeDialogs::collectionsHaveAFixedMapping()
{
    TestFolder folder;
    folder.makeCatalogue({});
    FakeHost host(folder.path());
    const QString file = writeFile(folder, "films.gcs",
                                   "<?xml version=\"1.0\"?><collection type=\"GCfilms\">"
                                   "<item title=\"Heat\" date=\"1995\" time=\"170 min\"/></collection>");
    FrmImport dialog(host);
    QVERIFY(dialog.openFile(file));
    QVERIFY(control<QLabel>(&dialog, "lblFormat")->text().contains("GCstar"));
    auto *combo = control<QComboBox>(&dialog, "cboField_6");
    QCOMPARE(combo->currentText(), QString("Year"));
    QVERIFY(!combo->isEnabled());
    QCOMPARE(control<QTableWidget>(&dialog, "tblMapping")->item(6, 0)->text(), QString("date"));
    QCOMPARE(control<QTableWidget>(&dialog, "tblPreview")->item(0, 7)->text(), QString("170"));
}

void TestExchangeDialogs::listsWithoutNamesAreMappedByHand()
{
    TestFolder folder;
    folder.makeCatalogue({});
    FakeHost host(folder.path());
    FrmImport dialog(host);
    QVERIFY(
        dialog.openFile(writeFile(folder, "dvds.csv", "Heat,1995,Mann\r\nAlien,1979,Scott\r\nZodiac,,Fincher\r\n")));
    dialog.show();
    auto *header = control<QCheckBox>(&dialog, "chkHeader");
    QVERIFY(header->isVisible() && !header->isChecked());
    for (const char *combo : {"cboField_0", "cboField_1", "cboField_2"})
        QCOMPARE(control<QComboBox>(&dialog, combo)->currentText(), QString("(not imported)"));
    QCOMPARE(control<QTableWidget>(&dialog, "tblMapping")->item(0, 0)->text(), QString("Column 1: Heat"));
    QVERIFY(control<QLabel>(&dialog, "lblCount")->text().contains("3 rows in the file. Choose the column"));
    QVERIFY(!control<QPushButton>(&dialog, "cmdImport")->isEnabled());

    control<QComboBox>(&dialog, "cboField_0")->setCurrentText("Title");
    control<QComboBox>(&dialog, "cboField_1")->setCurrentText("Year");
    auto *preview = control<QTableWidget>(&dialog, "tblPreview");
    QCOMPARE(preview->rowCount(), 3);
    QCOMPARE(preview->item(0, 0)->text(), QString("Heat"));
    QCOMPARE(preview->item(0, 6)->text(), QString("1995"));

    // The first row taken as names: the columns are named by it, and it is no movie any more.
    header->setChecked(true);
    QCOMPARE(control<QTableWidget>(&dialog, "tblMapping")->item(0, 0)->text(), QString("Heat"));
    QCOMPARE(control<QComboBox>(&dialog, "cboField_0")->currentText(), QString("(not imported)"));
    control<QComboBox>(&dialog, "cboField_0")->setCurrentText("Title");
    QCOMPARE(preview->rowCount(), 2);
    QCOMPARE(preview->item(0, 0)->text(), QString("Alien"));
    header->setChecked(false);
    control<QComboBox>(&dialog, "cboField_0")->setCurrentText("Title");
    QCOMPARE(preview->rowCount(), 3);

    MessageBoxAnswerer summary(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
    QCOMPARE(summary.seen().text, QString("3 movies imported, 0 duplicates skipped, 0 rows skipped."));
    QCOMPARE(titlesIn(folder), (QStringList{"Heat", "Alien", "Zodiac"}));

    // One title a line, commas in some: every line is a movie, the first one too.
    FrmImport list(host);
    QVERIFY(list.openFile(writeFile(folder, "laserdiscs.txt", "Planes, Trains and Automobiles\nBrazil\nRan\n")));
    QVERIFY(control<QLabel>(&list, "lblFormat")->text().contains("one column"));
    QVERIFY(control<QLabel>(&list, "lblCount")->text().startsWith("3 movies found"));
    QCOMPARE(control<QTableWidget>(&list, "tblPreview")->item(0, 0)->text(), QString("Planes, Trains and Automobiles"));
}

void TestExchangeDialogs::onlyMoviesLeavesOutSeries()
{
    TestFolder folder;
    folder.makeCatalogue({});
    FakeHost host(folder.path());
    FrmImport dialog(host);
    QVERIFY(dialog.openFile(writeFile(folder, "watchlist.csv",
                                      "Position,Const,Created,Title,Title Type,Year\n"
                                      "1,tt1,2023-05-01,Heat,Movie,1995\n"
                                      "2,tt2,2023-05-02,The Wire,TV Series,2002\n"
                                      "3,tt3,2023-05-03,The Target,TV Episode,2002\n"
                                      "4,tt4,2023-05-04,Cemetery Man,Video,1994\n")));
    dialog.show();
    auto *only = control<QCheckBox>(&dialog, "chkOnlyMovies");
    QVERIFY(only->isVisible() && only->isChecked());
    QCOMPARE(only->text(), QString("Only movies"));
    const QString counts = control<QLabel>(&dialog, "lblCount")->text();
    QVERIFY2(counts.startsWith("2 movies found") && counts.contains("2 titles left out as not movies"),
             qPrintable(counts));
    only->setChecked(false);
    QVERIFY(control<QLabel>(&dialog, "lblCount")->text().startsWith("4 movies found"));
    only->setChecked(true);
    MessageBoxAnswerer summary(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
    QCOMPARE(summary.seen().text, QString("2 movies imported, 0 duplicates skipped, 0 rows skipped, 2 titles left "
                                          "out as not movies (TV series, episodes, games)."));
    QCOMPARE(titlesIn(folder), (QStringList{"Heat", "Cemetery Man"}));

    // A list without the column shows no such choice.
    FrmImport plain(host);
    QVERIFY(plain.openFile(writeFile(folder, "plain.csv", "Title,Year\nRan,1985\n")));
    QVERIFY(control<QCheckBox>(&plain, "chkOnlyMovies")->isHidden());
}

void TestExchangeDialogs::exportWritesAllOrTheListedMovies()
{
    TestFolder folder;
    folder.makeCatalogue({testsupport::movie("Zulu", "Drama"), testsupport::movie("Alpha", "Comedy"),
                          testsupport::movie("Mid", "Drama")});
    FakeHost host(folder.path());
    host.list("select * from Movies where Category = 'Drama' order by Title");

    const QString listed = folder.path() + "/listed.csv";
    {
        FrmExport dialog(host);
        widgets::setNextChosenFile(listed);
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdBrowse"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(&dialog, "txtFile")->text(), QDir::toNativeSeparators(listed));
        control<QRadioButton>(&dialog, "optListed")->setChecked(true);
        MessageBoxAnswerer done(QMessageBox::Ok);
        QTest::mouseClick(control<QPushButton>(&dialog, "cmdExport"), Qt::LeftButton);
        QVERIFY2(done.seen().text.startsWith("2 movies exported to"), qPrintable(done.seen().text));
    }
    const QList<QByteArray> lines = readFile(listed).split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[1].startsWith("Mid,") && lines[2].startsWith("Zulu,"));

    // All movies in title order, as Tellico: choosing the format changes the name.
    FrmExport dialog(host);
    auto *name = control<QLineEdit>(&dialog, "txtFile");
    name->setText(folder.path() + "/all.csv");
    control<QComboBox>(&dialog, "cboFormat")->setCurrentIndex(1);
    QCOMPARE(name->text(), folder.path() + "/all.tc");
    QVERIFY(control<QRadioButton>(&dialog, "optAll")->isChecked());
    MessageBoxAnswerer done(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdExport"), Qt::LeftButton);
    QVERIFY2(done.seen().text.startsWith("3 movies exported to"), qPrintable(done.seen().text));
    QByteArray xml;
    QVERIFY(!exchange::readZipMember(readFile(folder.path() + "/all.tc"), "tellico.xml", 1 << 20, xml));
    QVERIFY(xml.indexOf("<title>Alpha</title>") < xml.indexOf("<title>Mid</title>"));
    QVERIFY(xml.indexOf("<title>Mid</title>") < xml.indexOf("<title>Zulu</title>"));
}

void TestExchangeDialogs::outsideValuesComeInClean_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("stored"); // in field order

    QTest::newRow("Tellico year that allows several values")
        << "films.xml"
        << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tellico xmlns=\"http://periapsis.org/tellico/\" "
                      "syntaxVersion=\"11\"><collection title=\"Films\" type=\"3\"><fields><field name=\"_default\"/>"
                      "<field name=\"year\" title=\"Year\" type=\"6\" flags=\"3\"/></fields><entry id=\"1\">"
                      "<title>Heat</title><years><year>1995</year></years></entry></collection></tellico>\n")
        << "Tellico" << QStringList{"Heat", "", "", "", "", "", "1995", ""};
    QTest::newRow("blanks around values, a row of blanks")
        << "list.csv" << QByteArray("Title,Year,Genre\r\n\xC2\xA0Heat\t, 1995 ,\r\n , \t,\xC2\xA0\r\n") << "comma"
        << QStringList{"Heat", "", "", "", "", "", "1995", ""};
    QTest::newRow("category spelt otherwise, names with other separators")
        << "list.csv" << QByteArray("Title,Genre,Cast\nAlien,sci fi,Sigourney Weaver;John Hurt | Ian Holm\n") << "comma"
        << QStringList{"Alien", "", "Sci-Fi", "Sigourney Weaver, John Hurt, Ian Holm", "", "", "", ""};
    QTest::newRow("markup in the plot, a comparison in the review")
        << "list.csv" << QByteArray("Title,Plot,Review\nAmelie,\"<p>Paris &amp; a caf&#233;</p><p>Two.</p>\",x < y\n")
        << "comma"
        << QStringList{"Amelie", QString::fromUtf8("Paris & a caf\xC3\xA9\n\nTwo."), "", "", "x < y", "", "", ""};
    QTest::newRow("GCstar age")
        << "films.gcs"
        << QByteArray("<?xml version=\"1.0\"?><collection type=\"GCfilms\"><item title=\"Heat\" age=\"11\" "
                      "rating=\"8\"/></collection>")
        << "GCstar" << QStringList{"Heat", "", "", "", "", "PG-13", "", ""};
    QTest::newRow("Collectorz")
        << "movies.xml"
        << QByteArray("<?xml version=\"1.0\"?><movieinfo><movielist><movie><title>Alien</title><cast><star>"
                      "<roleid>dfActor</roleid><person><displayname>Ian Holm</displayname></person></star></cast>"
                      "</movie></movielist></movieinfo>")
        << "Collectorz" << QStringList{"Alien", "", "", "Ian Holm", "", "", "", ""};
    QTest::newRow("Data Crow") << "movies.xml"
                               << QByteArray(
                                      "<?xml version=\"1.0\"?><data-crow-objects><movie><title>Alien</title>"
                                      "<genres><genre><name>horror</name></genre></genres></movie></data-crow-objects>")
                               << "Data Crow" << QStringList{"Alien", "", "Horror", "", "", "", "", ""};
    QTest::newRow("Griffith") << "movies.xml"
                              << QByteArray("<?xml version='1.0' encoding='UTF-8'?><root><movie><title>Alien</title>"
                                            "<runtime>117</runtime><rating>8</rating></movie></root>")
                              << "Griffith" << QStringList{"Alien", "", "", "", "", "", "", "117"};
}

void TestExchangeDialogs::outsideValuesComeInClean()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, format);
    QFETCH(QStringList, stored);
    TestFolder folder;
    folder.makeCatalogue({});
    FakeHost host(folder.path());
    FrmImport dialog(host);
    QVERIFY(dialog.openFile(writeFile(folder, name, bytes)));
    QVERIFY2(control<QLabel>(&dialog, "lblFormat")->text().contains(format),
             qPrintable(control<QLabel>(&dialog, "lblFormat")->text()));
    auto *preview = control<QTableWidget>(&dialog, "tblPreview");
    QCOMPARE(preview->rowCount(), 1);
    QStringList shown;
    for (int c = 0; c < preview->columnCount(); ++c)
        shown << (preview->item(0, c) ? preview->item(0, c)->text() : QString());
    QStringList marked = stored; // the preview shows a line break as a sign
    marked.replaceInStrings("\n", QString(QChar(0x21B5)));
    QCOMPARE(shown, marked);

    MessageBoxAnswerer summary(QMessageBox::Ok);
    QTest::mouseClick(control<QPushButton>(&dialog, "cmdImport"), Qt::LeftButton);
    QCOMPARE(summary.seen().text, QString("1 movie imported, 0 duplicates skipped, 0 rows skipped."));
    const auto movies = folder.moviesInFile();
    QCOMPARE(movies.size(), size_t(1));
    QCOMPARE(QStringList(movies[0].values.begin(), movies[0].values.end()), stored);
}

QTEST_MAIN(TestExchangeDialogs)
#include "tst_exchangedialogs.moc"
