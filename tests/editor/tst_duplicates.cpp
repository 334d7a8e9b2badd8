// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/recordcursor.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
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
    platform::saveWarnAboutDuplicates(false);
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

    platform::saveWarnAboutDuplicates(true);
    stored.sync();
    QCOMPARE(stored.value("Options/Warn About Duplicates").toString(), QString("1"));
    // The tips option beside it is left as it was.
    QVERIFY(!stored.contains("Options/Show Tips at Startup"));
}

QTEST_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
