// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "startup/damagedcatalogue.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using startup::Recovery;
using testsupport::movie;

namespace {

const QByteArray Garbage = "this was a catalogue once\n";

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray contentsOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList damagedFilesIn(const QString &folder)
{
    return QDir(folder).entryList({"DVDs.damaged-*.mdb"}, QDir::Files);
}

// Answers the question with the button named, then the choice (if one comes) with the
// backup at choiceIndex, then the closing message; records the question's buttons.
struct Answers {
    Answers(const QString &button, int choiceIndex = 0) : button(button), choiceIndex(choiceIndex) {}
    QString button;
    int choiceIndex;
    QStringList questionButtons;
    QString closingText;
    void operator()(QWidget *modal)
    {
        if (auto *choice = qobject_cast<QInputDialog *>(modal)) {
            auto *combo = choice->findChild<QComboBox *>();
            combo->setCurrentIndex(choiceIndex);
            choice->accept();
            return;
        }
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        if (box->objectName() != "damagedCatalogue") {
            closingText = box->text();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        for (QAbstractButton *b : box->buttons())
            questionButtons << b->text();
        box->findChild<QPushButton *>(button)->click();
    }
};

} // namespace

class TestDamagedCatalogue : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::useTestSettings(); }
    void newestGoodBackupTakesTheDamagedFilesPlace();
    void anOlderBackupCanBeChosen();
    void quitLeavesEverythingAsItWas();
    void withoutGoodBackupsNothingIsOffered();
    void aDamagedBackupIsNeverPutInPlace();
};

void TestDamagedCatalogue::newestGoodBackupTakesTheDamagedFilesPlace()
{
    testsupport::TestFolder folder;
    folder.makeCatalogue({movie("Alien"), movie("Brazil"), movie("Casablanca")});
    QVERIFY(!catalogue::backUpCatalogue(folder.catalogue()));
    overwrite(folder.catalogue(), Garbage);
    overwrite(folder.catalogue() + "-journal", "stale journal");

    Answers answers("cmdRestoreNewest");
    testsupport::ModalWatch watch(std::ref(answers));
    QCOMPARE(startup::offerBackupsOfDamagedCatalogue(folder.catalogue(), "DVDs.mdb is not a movie catalogue."),
             Recovery::Restored);
    // The buttons' order is the platform's; their captions are ours.
    QStringList buttons = answers.questionButtons;
    buttons.sort();
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(buttons.mid(0, 2), QStringList({"Choose a backup...", "Quit"}));
    QVERIFY(buttons.last().startsWith("Restore the newest good backup ("));
    QVERIFY(buttons.last().endsWith(", 3 movies)"));

    QCOMPARE(folder.moviesInFile().size(), size_t(3));
    QVERIFY(!QFile::exists(folder.catalogue() + "-journal"));
    const QStringList kept = damagedFilesIn(folder.path());
    QCOMPARE(kept.size(), 1);
    QCOMPARE(contentsOf(folder.path() + "/" + kept.first()), Garbage);
    QCOMPARE(contentsOf(folder.path() + "/" + kept.first() + "-journal"), QByteArray("stale journal"));
    QVERIFY(answers.closingText.contains(kept.first()));
}

void TestDamagedCatalogue::anOlderBackupCanBeChosen()
{
    testsupport::TestFolder folder;
    const QDateTime yesterday = QDateTime::currentDateTime().addDays(-1);
    folder.makeCatalogue({movie("Alien")});
    QVERIFY(!catalogue::backUpCatalogue(folder.catalogue(), nullptr, {}, yesterday));
    folder.makeCatalogue({movie("Alien"), movie("Brazil")});
    QVERIFY(!catalogue::backUpCatalogue(folder.catalogue()));
    overwrite(folder.catalogue(), Garbage);

    Answers answers("cmdChooseBackup", 1);
    testsupport::ModalWatch watch(std::ref(answers));
    QCOMPARE(startup::offerBackupsOfDamagedCatalogue(folder.catalogue(), "damaged"), Recovery::Restored);
    QCOMPARE(folder.moviesInFile().size(), size_t(1));
    QCOMPARE(damagedFilesIn(folder.path()).size(), 1);
}

void TestDamagedCatalogue::quitLeavesEverythingAsItWas()
{
    testsupport::TestFolder folder;
    folder.makeCatalogue({movie("Alien")});
    QVERIFY(!catalogue::backUpCatalogue(folder.catalogue()));
    overwrite(folder.catalogue(), Garbage);

    Answers answers("cmdQuit");
    testsupport::ModalWatch watch(std::ref(answers));
    QCOMPARE(startup::offerBackupsOfDamagedCatalogue(folder.catalogue(), "damaged"), Recovery::Quit);
    QCOMPARE(contentsOf(folder.catalogue()), Garbage);
    QVERIFY(damagedFilesIn(folder.path()).isEmpty());
}

void TestDamagedCatalogue::withoutGoodBackupsNothingIsOffered()
{
    testsupport::TestFolder folder;
    folder.makeCatalogue({movie("Alien")});
    QString backup;
    QVERIFY(!catalogue::backUpCatalogue(folder.catalogue(), &backup));
    overwrite(backup, Garbage);
    overwrite(folder.catalogue(), Garbage);

    testsupport::ModalWatch watch;
    QCOMPARE(startup::offerBackupsOfDamagedCatalogue(folder.catalogue(), "damaged"), Recovery::NoBackups);
    QCOMPARE(watch.seen(), 0);
    QCOMPARE(contentsOf(folder.catalogue()), Garbage);
}

void TestDamagedCatalogue::aDamagedBackupIsNeverPutInPlace()
{
    testsupport::TestFolder folder;
    folder.makeCatalogue({movie("Alien")});
    QString backup;
    QVERIFY(!catalogue::backUpCatalogue(folder.catalogue(), &backup));
    overwrite(backup, Garbage);
    overwrite(folder.catalogue(), "damaged too");

    QString keptAs;
    const platform::Failure error = catalogue::recoverFromBackup(backup, folder.catalogue(), &keptAs);
    QVERIFY(error);
    QVERIFY(error.message.contains(QFileInfo(backup).fileName()));
    QVERIFY(keptAs.isEmpty());
    QCOMPARE(contentsOf(folder.catalogue()), QByteArray("damaged too"));
    QVERIFY(damagedFilesIn(folder.path()).isEmpty());
    QVERIFY(!QFile::exists(folder.catalogue() + ".restoring"));
}

QTEST_MAIN(TestDamagedCatalogue)
#include "tst_damagedcatalogue.moc"
