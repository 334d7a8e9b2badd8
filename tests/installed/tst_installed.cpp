// SPDX-License-Identifier: GPL-3.0-or-later
// Runs against an installed Moviary: its prefix is the first argument, and the home folder
// is the one the caller gave this process (a fresh, empty one). It plays the user's first
// start through the windows, then checks that the main window reads the installed tips and
// help, compacts in the data folder, and that nothing was written under the installation.
#include "catalogue/schema.h"
#include "help/helpviewer.h"
#include "mainwindow/frmmain.h"
#include "platform/locations.h"
#include "platform/settings.h"
#include "startup/frmfirststart.h"
#include "tests/common/widgets.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <memory>

void moviaryInitResources();

namespace {

QString prefix;

// Every file and folder under the installation, with its size and time of change.
QStringList installedTree()
{
    QStringList found;
    QDirIterator it(prefix, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        found << QString("%1 %2 %3").arg(info.filePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    }
    found.sort();
    return found;
}

platform::LocationChoice chooseAsInstalled()
{
    return platform::chooseLocations(
        {prefix + "/bin", {}, platform::rememberedCatalogue(), platform::userDataFolder()});
}

} // namespace

class TstInstalled : public QObject {
    Q_OBJECT
    QStringList before_;

private slots:
    void initTestCase()
    {
        moviaryInitResources();
        QVERIFY2(QFileInfo(prefix + "/bin/moviary").isExecutable(), qPrintable(prefix));
        QVERIFY2(!QFileInfo::exists(QDir::homePath() + "/.local/share/moviary/DVDs.mdb"),
                 "the home folder must be a fresh one");
        before_ = installedTree();
    }

    void commandLineOfTheInstalledProgram()
    {
        QProcess p;
        p.start(prefix + "/bin/moviary", {"--version"});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardOutput().startsWith("moviary "));

        const QString missing = QDir::homePath() + "/no such/DVDs.mdb";
        p.start(prefix + "/bin/moviary", {"-c", missing});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(missing));

        p.start(prefix + "/bin/moviary", {"--no-such-option"});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("no-such-option"));
    }

    void firstStartMakesTheSampleCatalogueInTheDataFolder()
    {
        const auto choice = chooseAsInstalled();
        QVERIFY(choice.firstStart);
        QCOMPARE(choice.locations.dataFolder(), QDir::homePath() + "/.local/share/moviary");

        startup::FrmFirstStart window(choice.locations);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton *>("cmdSample"), Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(QFileInfo(QDir::homePath() + "/.local/share/moviary/DVDs.mdb").isFile());

        const auto next = chooseAsInstalled();
        QVERIFY(!next.firstStart);
        QCOMPARE(next.locations.catalogueFile(), QDir::homePath() + "/.local/share/moviary/DVDs.mdb");
    }

    void mainWindowReadsTheInstalledTipsAndHelp()
    {
        const auto choice = chooseAsInstalled();
        QFile tipsFile(prefix + "/share/moviary/TIPOFDAY.TXT");
        QVERIFY(tipsFile.open(QIODevice::ReadOnly));
        const QStringList installedTips = QString::fromUtf8(tipsFile.readAll()).remove('\r').split('\n');

        auto window = std::make_unique<FrmMain>(choice.locations);
        QVERIFY2(window->load(), qPrintable(window->loadError()));
        window->show();
        QCOMPARE(window->findChild<QLabel *>("lblRecordCount")->text(),
                 QString("Record 1 of %1").arg(catalogue::sampleMovies().size()));

        // The tip window opens at the first start and shows a line of the installed tips.
        QWidget *tip = testsupport::topLevel("frmTip");
        QVERIFY(tip);
        const QString shown = tip->findChild<QLabel *>("lblTipText")->text();
        QVERIFY2(!shown.isEmpty() && installedTips.contains(shown), qPrintable(shown));

        window->findChild<QAction *>("Help")->trigger();
        auto *help = qobject_cast<help::HelpViewer *>(testsupport::topLevel("HelpViewer"));
        QVERIFY(help);
        QCOMPARE(help->filePath(), prefix + "/share/moviary/Moviary.chm");
        QVERIFY(help->isFileOpen());

        // Compaction works beside the catalogue, in the data folder.
        window->findChild<QAction *>("Compact")->trigger();
        QWidget *compact = testsupport::topLevel("frmCompact");
        QVERIFY(compact);
        QTest::mouseClick(compact->findChild<QPushButton *>("cmdCompact"), Qt::LeftButton);
        QCOMPARE(compact->findChild<QLabel *>("lblStatus")->text(), QString("Database Compacted !"));
        QCOMPARE(window->findChild<QLabel *>("lblRecordCount")->text(),
                 QString("Record 1 of %1").arg(catalogue::sampleMovies().size()));
        testsupport::closeWindowsBut("frmMain");
    }

    void nothingWasWrittenUnderTheInstallation() { QCOMPARE(installedTree(), before_); }
};

int main(int argc, char **argv)
{
    // The prefix comes first; QtTest reads the rest.
    std::vector<char *> rest{argv[0]};
    if (argc > 1 && argv[1][0] != '-')
        prefix = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    for (int i = prefix.isEmpty() ? 1 : 2; i < argc; ++i)
        rest.push_back(argv[i]);
    if (prefix.isEmpty()) {
        std::fprintf(stderr, "usage: tst_installed PREFIX [QtTest options]\n");
        return 2;
    }
    // The settings and data folders of this run are those of its home folder.
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    QApplication app(argc, argv);
    QApplication::setApplicationName("moviary");
    TstInstalled test;
    return QTest::qExec(&test, int(rest.size()), rest.data());
}

#include "tst_installed.moc"
