// SPDX-License-Identifier: GPL-3.0-or-later
// "Import Movies..." and "Export Movies..." in the real main window's File menu.
#include "fixture.h"

#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "widgets/filechooser.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testsupport::control;
using testsupport::MessageBoxAnswerer;
using testsupport::topLevel;

class TestExchangeCommands : public QObject {
    Q_OBJECT

private slots:
    void importIsOffWhileAnEditorIsLoaded()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        QVERIFY(f.tool("Import")->isEnabled() && f.tool("Export")->isEnabled());
        f.trigger("New");
        QVERIFY(!f.tool("Import")->isEnabled());
        QVERIFY(f.tool("Export")->isEnabled());
        topLevel("frmAddNew")->close();
        QVERIFY(f.tool("Import")->isEnabled());
    }

    void importFromTheMenuListsAllMoviesAfterwards()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.click("cmdCat");
        f.click("cmdCategory_2"); // Biography: one movie
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 1"));

        // No file picked: no window.
        widgets::setNextChosenFile(QString());
        f.trigger("Import");
        QVERIFY(!topLevel("frmImport"));

        const QString file = f.folder.path() + "/more.csv";
        testsupport::writeFile(file, "Title,Year,Genre\r\nAlien,1979,Horror\r\nHEAT,1995,Crime\r\nBrazil,1985,\r\n");
        widgets::setNextChosenFile(file);
        f.trigger("Import");
        QPointer<QWidget> dialog = topLevel("frmImport");
        QVERIFY(dialog);
        // A second use brings the open window to the front instead of asking again.
        f.trigger("Import");
        QCOMPARE(topLevel("frmImport"), dialog.data());

        MessageBoxAnswerer summary(QMessageBox::Ok);
        QTest::mouseClick(control<QPushButton>(dialog, "cmdImport"), Qt::LeftButton);
        QCOMPARE(
            summary.seen().text,
            QString("2 movies imported, 1 duplicate skipped, 0 rows skipped. Skipped as duplicates: HEAT (1995)."));
        QCOMPARE(f.text("lblCategoryName"), QString("All DVD Movies"));
        QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 9"));
        QVERIFY(f.listedTitles().contains("Alien") && f.listedTitles().contains("Brazil"));
        QTRY_VERIFY(dialog.isNull());
    }

    void exportOfTheListedMoviesFollowsTheListsOrder()
    {
        MainWindowFixture f(smallCollection());
        f.closeOtherWindows();
        f.click("cmdCat");
        f.click("cmdCategory_1"); // Action, in either letter case: three movies
        f.trigger("Descending");
        QCOMPARE(f.listedTitles(), (QStringList{"Speed", "Heat", "Die Hard"}));

        f.trigger("Export");
        QWidget *dialog = topLevel("frmExport");
        QVERIFY(dialog);
        const QString file = f.folder.path() + "/action.csv";
        control<QLineEdit>(dialog, "txtFile")->setText(file);
        control<QRadioButton>(dialog, "optListed")->setChecked(true);
        MessageBoxAnswerer done(QMessageBox::Ok);
        QTest::mouseClick(control<QPushButton>(dialog, "cmdExport"), Qt::LeftButton);
        QVERIFY2(done.seen().text.startsWith("3 movies exported"), qPrintable(done.seen().text));
        QStringList titles;
        for (const QByteArray &line : testsupport::fileBytes(file).split('\n').mid(1))
            if (!line.isEmpty())
                titles << QString::fromUtf8(line.left(line.indexOf(',')));
        QCOMPARE(titles, (QStringList{"Speed", "Heat", "Die Hard"}));
    }
};

QTEST_MAIN(TestExchangeCommands)
#include "tst_exchangecommands.moc"
