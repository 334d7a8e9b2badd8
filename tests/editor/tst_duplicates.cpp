// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/recordcursor.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "exchange/importer.h"
#include "platform/appfolder.h"
#include "platform/settings.h"
#include "tests/common/fakehost.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "widgets/cataloguehost.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace catalogue;
using editor::FrmAddNew;
using editor::FrmEdit;
using testsupport::control;
using testsupport::flushDeletes;
using testsupport::movie;
using testsupport::TestFolder;

namespace {

const QString AllMovies = "select * from Movies order by Title";

using testsupport::FakeHost;

QStringList titlesInFile(const TestFolder &folder)
{
    QStringList titles;
    for (const Movie &m : folder.moviesInFile())
        titles << m[Field::Title];
    return titles;
}

} // namespace

class TestDuplicates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        moviaryInitResources();
        testsupport::useTestSettings();
    }
    void init() { testsupport::clearTestSettings(); }
    void addAsksBeforeSavingASecondCopy();
    void editAsksOnlyAboutAnotherMovie();
    void optionTurnsTheQuestionOff();
    void addAndImportFollowOneRule_data();
    void addAndImportFollowOneRule();
};

void TestDuplicates::addAsksBeforeSavingASecondCopy()
{
    TestFolder folder;
    folder.makeCatalogue({movie("Amélie", "Comedy", "2001"), movie("Heat", "Action", "1995")});
    FakeHost host(folder.path());

    QPointer<QWidget> dialog = new FrmAddNew(host);
    dialog->show();
    control<QLineEdit>(dialog, "Text1")->setText("  AMELIE ");
    control<QLineEdit>(dialog, "Text5")->setText("2001");
    control<QPlainTextEdit>(dialog, "Text4")->setPlainText("A second look");
    const testsupport::SeenMessage no = testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No);
    QVERIFY(no.shown);
    QCOMPARE(no.text, QString("A movie with this title is already in the catalogue: Amélie (2001). Save it anyway?"));
    QCOMPARE(no.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(no.defaultButton, QMessageBox::No);
    // No: the dialog stays open with every entry, nothing is saved or listed.
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(control<QLineEdit>(dialog, "Text1")->text(), QString("  AMELIE "));
    QCOMPARE(control<QPlainTextEdit>(dialog, "Text4")->toPlainText(), QString("A second look"));
    QCOMPARE(titlesInFile(folder), QStringList({"Amélie", "Heat"}));
    QCOMPARE(host.listings, 0);

    // Yes: saved as typed, and the main window lists again.
    const testsupport::SeenMessage yes = testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::Yes);
    QVERIFY(yes.shown);
    QVERIFY(!dialog);
    QCOMPARE(titlesInFile(folder), QStringList({"Amélie", "Heat", "  AMELIE "}));
    QCOMPARE(host.listings, 1);

    // Another year is another movie; an empty year may be either.
    dialog = new FrmAddNew(host);
    control<QLineEdit>(dialog, "Text1")->setText("Heat");
    control<QLineEdit>(dialog, "Text5")->setText("1986");
    QVERIFY(!testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No).shown);
    QVERIFY(!dialog);
    dialog = new FrmAddNew(host);
    control<QLineEdit>(dialog, "Text1")->setText("heat");
    const testsupport::SeenMessage either = testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No);
    QVERIFY(either.shown);
    QVERIFY(either.text.contains("Heat ("));
    control<QPushButton>(dialog, "cmdCancel")->click();
    flushDeletes();
    QCOMPARE(titlesInFile(folder).size(), 4);
}

void TestDuplicates::editAsksOnlyAboutAnotherMovie()
{
    TestFolder folder;
    folder.makeCatalogue({movie("Alien", "Sci-Fi", "1979"), movie("Heat", "Action", "")});
    FakeHost host(folder.path());

    // The movie itself, its review changed: no question.
    host.cursor.setAbsolutePosition(0);
    QPointer<FrmEdit> dialog = FrmEdit::create(host);
    QVERIFY(dialog);
    control<QPlainTextEdit>(dialog, "Text4")->setPlainText("Still frightening");
    QVERIFY(!testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No).shown);
    QVERIFY(!dialog);
    QCOMPARE(folder.moviesInFile()[0][Field::Review], QString("Still frightening"));

    // Heat renamed to another movie's title: asked, and No keeps the edit open.
    host.cursor.setAbsolutePosition(1);
    dialog = FrmEdit::create(host);
    QVERIFY(dialog);
    dialog->show();
    control<QLineEdit>(dialog, "Text1")->setText("ALIEN");
    const testsupport::SeenMessage no = testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No);
    QCOMPARE(no.text, QString("A movie with this title is already in the catalogue: Alien (1979). Save it anyway?"));
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(folder.moviesInFile()[1][Field::Title], QString("Heat"));
    QVERIFY(testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::Yes).shown);
    QVERIFY(!dialog);
    QCOMPARE(folder.moviesInFile()[1][Field::Title], QString("ALIEN"));
}

void TestDuplicates::optionTurnsTheQuestionOff()
{
    QCOMPARE(platform::warnAboutDuplicates(), true);
    QVERIFY(!platform::saveWarnAboutDuplicates(false));
    QSettings stored(QSettings::NativeFormat, QSettings::UserScope, "moviary", "moviary");
    QCOMPARE(stored.value("Options/Warn About Duplicates").toString(), QString("0"));
    QCOMPARE(platform::warnAboutDuplicates(), false);

    TestFolder folder;
    folder.makeCatalogue({movie("Alien", "Sci-Fi", "1979")});
    FakeHost host(folder.path());
    QPointer<QWidget> dialog = new FrmAddNew(host);
    control<QLineEdit>(dialog, "Text1")->setText("Alien");
    QVERIFY(!testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No).shown);
    QCOMPARE(titlesInFile(folder), QStringList({"Alien", "Alien"}));

    QVERIFY(!platform::saveWarnAboutDuplicates(true));
    stored.sync();
    QCOMPARE(stored.value("Options/Warn About Duplicates").toString(), QString("1"));
    // The tips option beside it is left as it was.
    QVERIFY(!stored.contains("Options/Show Tips at Startup"));
}

void TestDuplicates::addAndImportFollowOneRule_data()
{
    QTest::addColumn<QString>("storedTitle");
    QTest::addColumn<QString>("storedYear");
    QTest::addColumn<QString>("newTitle");
    QTest::addColumn<QString>("newYear");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("case, accents, blanks") << "Amélie"
                                           << "2001"
                                           << "  AMELIE "
                                           << "2001" << true;
    QTest::newRow("new year empty") << "Amélie"
                                    << "2001"
                                    << "amelie"
                                    << "" << true;
    QTest::newRow("stored year empty") << "Heat"
                                       << ""
                                       << "HEAT"
                                       << "1995" << true;
    QTest::newRow("blanks around the year") << "Heat"
                                            << " 1995 "
                                            << "Heat"
                                            << "1995" << true;
    QTest::newRow("Greek capitals and accents") << "Σοφία"
                                                << "1990"
                                                << "ΣΟΦΙΑ"
                                                << "" << true;
    QTest::newRow("another year") << "Heat"
                                  << "1995"
                                  << "Heat"
                                  << "1986" << false;
    QTest::newRow("another title") << "Alien"
                                   << "1979"
                                   << "Aliens"
                                   << "1979" << false;
    QTest::newRow("ligatures") << "Æon Straße"
                               << "2005"
                               << "aeon strasse"
                               << "2005" << true;
    QTest::newRow("full-width letters") << "Ｈｅａｔ"
                                        << "1995"
                                        << "heat"
                                        << "1995" << true;
    QTest::newRow("accents, another letter") << "Amélie"
                                             << "2001"
                                             << "Amelia"
                                             << "2001" << false;
    QTest::newRow("blank inside the title") << "Le Mépris"
                                            << "1963"
                                            << "LeMepris"
                                            << "1963" << false;
}

void TestDuplicates::addAndImportFollowOneRule()
{
    QFETCH(QString, storedTitle);
    QFETCH(QString, storedYear);
    QFETCH(QString, newTitle);
    QFETCH(QString, newYear);
    QFETCH(bool, duplicate);
    TestFolder folder;
    folder.makeCatalogue({movie(storedTitle, "Drama", storedYear)});
    FakeHost host(folder.path());

    // The import, against the catalogue and against an earlier row of the same file.
    const QByteArray csv =
        ("Title,Year\n\"" + storedTitle + "\",\"" + storedYear + "\"\n\"" + newTitle + "\",\"" + newYear + "\"\n")
            .toUtf8();
    for (const bool inFile : {false, true}) {
        exchange::DuplicateIndex present;
        platform::Failure error;
        if (!inFile) {
            error = exchange::readCatalogueKeys(folder.catalogue(), present);
            QVERIFY2(!error, qPrintable(error.message));
        }
        exchange::ImportSource source;
        error = exchange::readImportBytes(csv, "list.csv", source);
        QVERIFY2(!error, qPrintable(error.message));
        const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, present);
        QCOMPARE(plan.movies.size(), size_t(2));
        QCOMPARE(plan.movies[1].duplicate, duplicate);
        QCOMPARE(plan.movies[0].duplicate, !inFile);
    }

    // The add dialog asks under the same rule.
    QPointer<QWidget> dialog = new FrmAddNew(host);
    control<QLineEdit>(dialog, "Text1")->setText(newTitle);
    control<QLineEdit>(dialog, "Text5")->setText(newYear);
    QCOMPARE(testsupport::clickAnswering(dialog, "cmdFinish", QMessageBox::No).shown, duplicate);
    if (dialog)
        control<QPushButton>(dialog, "cmdCancel")->click();
    flushDeletes();
}

QTEST_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
