// SPDX-License-Identifier: GPL-3.0-or-later
// Every window read as a screen reader reads it, through Qt's accessibility interface.
#include "fixture.h"

#include "tests/common/accessibility.h"
#include "tests/common/files.h"
#include "tests/common/widgets.h"
#include "widgets/filechooser.h"

#include <QApplication>
#include <QTest>

using testsupport::topLevel;

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyFocusableControlHasAName_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("dialog");
        QTest::newRow("main") << ""
                              << "frmMain" << false;
        QTest::newRow("add") << "New"
                             << "frmAddNew" << true;
        QTest::newRow("edit") << "Edit"
                              << "frmEdit" << true;
        QTest::newRow("print preview") << "Print"
                                       << "Report" << false;
        QTest::newRow("import") << "Import"
                                << "frmImport" << true;
        QTest::newRow("export") << "Export"
                                << "frmExport" << true;
        QTest::newRow("fill in") << "FillIn"
                                 << "frmFillIn" << true;
        QTest::newRow("compaction") << "Compact"
                                    << "frmCompact" << true;
        QTest::newRow("restore") << "Restore"
                                 << "frmRestore" << true;
        QTest::newRow("about") << "About"
                               << "frmAbout" << false;
        QTest::newRow("tip") << ""
                             << "frmTip" << false;
        QTest::newRow("look-up options") << "Lookup"
                                         << "LookupOptions" << true;
        QTest::newRow("help") << "Help"
                              << "HelpViewer" << true;
    }

    void everyFocusableControlHasAName()
    {
        QFETCH(QString, tool);
        QFETCH(QString, window);
        QFETCH(bool, dialog);
        // The tip window shows at start-up only.
        MainWindowFixture f(smallCollection(), window == "frmTip");
        QWidget *atStart = topLevel(window);
        if (window != "frmTip")
            f.closeOtherWindows();
        const QString file = f.folder.path() + "/more.csv";
        testsupport::writeFile(file, "Title,Year\r\nAlien,1979\r\n");
        widgets::setNextChosenFile(file);
        if (!tool.isEmpty())
            f.trigger(tool);
        QWidget *shown = window == "frmMain" ? f.window.get() : tool.isEmpty() ? atStart : topLevel(window);
        QVERIFY2(shown, qPrintable(window));
        const QStringList unnamed = testsupport::unnamedFocusable(shown);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));
        if (dialog)
            QCOMPARE(testsupport::accessibleRole(shown), QAccessible::Dialog);
        f.closeOtherWindows();
        testsupport::flushDeletes();
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
