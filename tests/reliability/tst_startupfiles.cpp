// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "catalogue/database.h"
#include "catalogue/schema.h"
#include "mainwindow/startup.h"
#include "platform/settings.h"
#include "tests/common/files.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using testsupport::fileBytes;
using testsupport::MessageBoxAnswerer;
using testsupport::TestFolder;
using testsupport::writeFile;

namespace {

// A real catalogue of a few hundred movies, as bytes.
QByteArray realCatalogue()
{
    TestFolder scratch;
    std::vector<catalogue::Movie> movies = catalogue::sampleMovies();
    for (int i = 0; i < 300; ++i)
        movies.push_back(testsupport::movie(QString("Film %1").arg(i)));
    scratch.makeCatalogue(movies);
    return fileBytes(scratch.catalogue());
}

QByteArray sqliteFile(const char *sql)
{
    TestFolder scratch;
    testsupport::execSql(scratch.catalogue(), sql);
    return fileBytes(scratch.catalogue());
}

QByteArray padded(QByteArray bytes, int size)
{
    QRandomGenerator random(7);
    while (bytes.size() < size)
        bytes.append(char(random.bounded(256)));
    return bytes;
}

// The files beside the catalogue, other than the catalogue itself.
QStringList otherFiles(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeAll("DVDs.mdb");
    return names;
}

} // namespace

class TestStartupFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        moviaryInitResources();
        testsupport::useTestSettings();
        QVERIFY(!platform::saveShowTipsAtStartup(false));
    }

    void garbageIsNamedAndLeftUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const QByteArray real = realCatalogue();
        QTest::newRow("empty file") << QByteArray() << "no table named Movies";
        QTest::newRow("first half of a catalogue") << real.left(real.size() / 2) << "damaged";
        QTest::newRow("header of a catalogue only") << real.left(100) << "damaged";
        QByteArray overwritten = real;
        overwritten.replace(real.size() / 2, 8192, padded({}, 8192));
        QTest::newRow("catalogue with damaged pages") << overwritten << "damaged";
        QTest::newRow("random bytes") << padded({}, 65536) << "not a database file";
        QTest::newRow("PNG picture") << padded(QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"), 4096)
                                     << "not a database file";
        QTest::newRow("ZIP archive") << padded(QByteArray("PK\x03\x04\x14\x00\x00\x00", 8), 4096)
                                     << "not a database file";
        QTest::newRow("Jet database header")
            << padded(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20), 4096) << "not a database file";
        QTest::newRow("text file") << QByteArray("Title;Year\nHeat;1995\n") << "not a database file";
        QTest::newRow("no Movies table") << sqliteFile("CREATE TABLE Films (Title TEXT)") << "no table named Movies";
        QTest::newRow("Movies with other columns")
            << sqliteFile("CREATE TABLE Movies (Name TEXT, Plot TEXT, Genre TEXT, Cast TEXT, Review TEXT, "
                          "Rating TEXT, Year TEXT, Time TEXT)")
            << "column 1 of the table Movies should be Title";
        QTest::newRow("Movies with too few columns")
            << sqliteFile("CREATE TABLE Movies (Title TEXT, Description TEXT); INSERT INTO Movies VALUES ('a', 'b')")
            << "column 3 of the table Movies should be Category, but it is missing";
        QTest::newRow("Movies is a view")
            << sqliteFile("CREATE TABLE t (x); CREATE VIEW Movies AS SELECT x AS Title FROM t") << "should be";
    }

    // Start-up on a file that is no catalogue names the problem, ends with a non-zero
    // status and changes nothing on disk.
    void garbageIsNamedAndLeftUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TestFolder folder;
        writeFile(folder.catalogue(), content);
        // Were the program to start after all, closing its windows ends the run.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QApplication::closeAllWindows(); });
        watchdog.start(20000);

        MessageBoxAnswerer ok(QMessageBox::Ok);
        const int status = runMoviary(folder.path());
        QVERIFY(status != 0);
        QVERIFY(ok.seen().shown);
        QCOMPARE(ok.seen().icon, QMessageBox::Critical);
        QVERIFY2(ok.seen().text.contains(expected), qPrintable(ok.seen().text));
        QVERIFY2(ok.seen().text.contains("DVDs.mdb"), qPrintable(ok.seen().text));
        QCOMPARE(fileBytes(folder.catalogue()), content);
        QCOMPARE(otherFiles(folder.path()), QStringList());
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // The whole start through the program's own entry: a catalogue that is no longer a
    // database, with a good backup beside it, starts on the backup and keeps the damaged file.
    void aDamagedCatalogueStartsOnItsNewestGoodBackup()
    {
        TestFolder folder;
        folder.makeCatalogue({testsupport::movie("Alien"), testsupport::movie("Heat")});
        QVERIFY(!catalogue::backUpCatalogue(folder.catalogue()));
        const QByteArray garbage = QByteArray("not a catalogue at all").repeated(200);
        writeFile(folder.catalogue(), garbage);

        QStringList told;
        testsupport::ModalWatch watch([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            told << box->text();
            if (auto *newest = box->findChild<QPushButton *>("cmdRestoreNewest"))
                newest->click();
            else if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
        });
        // Once the main window is up on the restored catalogue, closing it ends the run.
        QTimer end;
        connect(&end, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == "frmMain" && w->isVisible())
                    QApplication::closeAllWindows();
        });
        end.start(100);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [] { QApplication::closeAllWindows(); });
        watchdog.start(20000);

        QCOMPARE(runMoviary(folder.path()), 0);
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].contains("Good backups of this catalogue exist"), qPrintable(told[0]));
        QVERIFY2(told[1].startsWith("The backup DVDs-") && told[1].contains("The damaged catalogue is kept as"),
                 qPrintable(told[1]));
        QCOMPARE(folder.moviesInFile().size(), size_t(2));
        const QStringList kept = QDir(folder.path()).entryList({"DVDs.damaged-*.mdb"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(fileBytes(folder.path() + "/" + kept.first()), garbage);
    }

    void missingOrFolderInsteadOfFile()
    {
        TestFolder folder;
        {
            MessageBoxAnswerer ok(QMessageBox::Ok);
            QVERIFY(runMoviary(folder.path()) != 0);
            QVERIFY2(ok.seen().text.contains("DVDs.mdb was not found"), qPrintable(ok.seen().text));
            QVERIFY(!QFile::exists(folder.catalogue()));
        }
        QVERIFY(QDir(folder.path()).mkdir("DVDs.mdb"));
        MessageBoxAnswerer ok(QMessageBox::Ok);
        QVERIFY(runMoviary(folder.path()) != 0);
        QVERIFY2(ok.seen().text.contains("is not a file"), qPrintable(ok.seen().text));
        QVERIFY(QDir(folder.catalogue()).isEmpty());
    }
};

QTEST_MAIN(TestStartupFiles)
#include "tst_startupfiles.moc"
