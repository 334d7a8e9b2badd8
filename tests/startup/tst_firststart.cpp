// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/schema.h"
#include "platform/locations.h"
#include "platform/settings.h"
#include "startup/frmfirststart.h"
#include "tests/common/accessibility.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "widgets/filechooser.h"

#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

void moviaryInitResources();

using startup::FrmFirstStart;

namespace {

// An installed program with no catalogue yet: prefix/bin, prefix/share/moviary and the
// user's data folder, which does not exist before the first start.
struct FirstStart {
    QTemporaryDir root;
    QString prefix() const { return root.filePath("usr"); }
    QString data() const { return root.filePath("home/.local/share/moviary"); }
    platform::Locations locations;
    FirstStart()
    {
        QDir().mkpath(prefix() + "/bin");
        QDir().mkpath(prefix() + "/share/moviary");
        const auto choice = platform::chooseLocations({prefix() + "/bin", {}, {}, data()});
        if (!choice.firstStart)
            qFatal("not a first start");
        locations = choice.locations;
    }
    // Every file and folder under the root, except the given sub-folder.
    QStringList everything() const
    {
        QStringList found;
        QDirIterator it(root.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        found.sort();
        return found;
    }
};

template <class T>
T *control(QWidget &w, const char *name)
{
    auto *c = w.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", name);
    return c;
}

int moviesIn(const QString &file)
{
    testsupport::TestFolder reader;
    QFile::remove(reader.catalogue());
    QFile::copy(file, reader.catalogue());
    return int(reader.moviesInFile().size());
}

QString makeCatalogueAt(const QString &path, int movies)
{
    std::vector<catalogue::Movie> list;
    for (int i = 0; i < movies; ++i)
        list.push_back(testsupport::movie(QString("Film %1").arg(i)));
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (const platform::Failure error = catalogue::createCatalogue(path, list, true))
        qFatal("%s", qPrintable(error.message));
    return path;
}

} // namespace

class TstFirstStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        moviaryInitResources();
        testsupport::useTestSettings();
    }
    void init() { testsupport::clearTestSettings(); }

    void everyControlIsNamedForAScreenReader()
    {
        FirstStart start;
        FrmFirstStart w(start.locations);
        w.show();
        const QStringList unnamed = testsupport::unnamedFocusable(&w);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));
        QCOMPARE(testsupport::accessibleRole(&w), QAccessible::Dialog);
    }

    void cancellingEndsAndMakesNothing()
    {
        FirstStart start;
        const QStringList before = start.everything();
        for (int way = 0; way < 3; ++way) {
            FrmFirstStart w(start.locations);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            if (way == 0)
                QTest::mouseClick(control<QPushButton>(w, "cmdCancel"), Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.close();
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Rejected));
        }
        QCOMPARE(start.everything(), before);
        QVERIFY(platform::rememberedCatalogue().isEmpty());
    }

    void emptyAndSampleCataloguesAreMadeInTheDataFolder()
    {
        for (const char *button : {"cmdEmpty", "cmdSample"}) {
            FirstStart start;
            FrmFirstStart w(start.locations);
            w.show();
            QTest::mouseClick(control<QPushButton>(w, button), Qt::LeftButton);
            QCOMPARE(w.result(), int(QDialog::Accepted));
            const QString made = start.data() + "/DVDs.mdb";
            QCOMPARE(w.chosen().catalogueFile(), made);
            QCOMPARE(moviesIn(made), button == QLatin1String("cmdEmpty") ? 0 : int(catalogue::sampleMovies().size()));
            // The data folder holds the catalogue alone; the installation is untouched.
            QCOMPARE(QDir(start.data()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"DVDs.mdb"});
            QCOMPARE(QDir(start.prefix()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     (QStringList{"bin", "share"}));
            QVERIFY(QDir(start.prefix() + "/bin").isEmpty());
            // The next start finds it without asking.
            const auto next =
                platform::chooseLocations({start.prefix() + "/bin", {}, platform::rememberedCatalogue(), start.data()});
            QVERIFY(!next.firstStart);
            QCOMPARE(next.locations.catalogueFile(), made);
        }
    }

    void openedCatalogueIsCopiedOrUsedInPlaceAndRemembered()
    {
        FirstStart start;
        const QString mine = makeCatalogueAt(start.root.filePath("Documents/Films.mdb"), 3);
        const QByteArray original = [&] {
            QFile f(mine);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        {
            FrmFirstStart w(start.locations);
            widgets::setNextChosenFile(mine);
            w.show();
            QVERIFY(control<QRadioButton>(w, "optCopy")->isChecked());
            QTest::mouseClick(control<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(w.chosen().catalogueFile(), start.data() + "/DVDs.mdb");
            QCOMPARE(moviesIn(start.data() + "/DVDs.mdb"), 3);
            QVERIFY(platform::rememberedCatalogue().isEmpty());
            QFile f(mine);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), original);
        }

        FirstStart second;
        FrmFirstStart w(second.locations);
        widgets::setNextChosenFile(mine);
        w.show();
        control<QRadioButton>(w, "optInPlace")->click();
        QTest::mouseClick(control<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.chosen().catalogueFile(), mine);
        QVERIFY(!QDir(second.data()).exists());
        QCOMPARE(platform::rememberedCatalogue(), mine);
        const auto next =
            platform::chooseLocations({second.prefix() + "/bin", {}, platform::rememberedCatalogue(), second.data()});
        QVERIFY(!next.firstStart);
        QCOMPARE(next.locations.catalogueFile(), mine);
        QCOMPARE(next.locations.compactionWorkFile(), mine + "-compacting");
    }

    void aFileThatIsNoCatalogueIsRefusedAndTheWindowStays()
    {
        FirstStart start;
        const QString notes = start.root.filePath("notes.txt");
        {
            QFile f(notes);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a database at all\n");
        }
        const QStringList before = start.everything();
        for (const char *how : {"optCopy", "optInPlace"}) {
            FrmFirstStart w(start.locations);
            widgets::setNextChosenFile(notes);
            w.show();
            control<QRadioButton>(w, how)->click();
            testsupport::MessageBoxAnswerer ok(QMessageBox::Ok);
            QTest::mouseClick(control<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
            QTRY_VERIFY(ok.seen().shown);
            QVERIFY2(ok.seen().text.contains("notes.txt"), qPrintable(ok.seen().text));
            QVERIFY(w.isVisible());
            // Choosing no file at all does nothing.
            widgets::setNextChosenFile(QString());
            QTest::mouseClick(control<QPushButton>(w, "cmdOpen"), Qt::LeftButton);
            QVERIFY(w.isVisible());
        }
        QCOMPARE(start.everything(), before);
        QVERIFY(platform::rememberedCatalogue().isEmpty());
    }

    void aMissingRememberedCatalogueIsNamedAndNeverOverwritten()
    {
        FirstStart start;
        const QString existing = makeCatalogueAt(start.data() + "/DVDs.mdb", 2);
        const QString gone = start.root.filePath("usb/Films.mdb");
        const auto choice = platform::chooseLocations({start.prefix() + "/bin", {}, gone, start.data()});
        QVERIFY(choice.firstStart);
        FrmFirstStart w(choice.locations);
        w.show();
        QVERIFY(control<QLabel>(w, "lblMissing")->isVisible());
        QVERIFY(control<QLabel>(w, "lblMissing")->text().contains("Films.mdb"));

        // Starting anew must not replace the catalogue already in the data folder.
        testsupport::MessageBoxAnswerer ok(QMessageBox::Ok);
        QTest::mouseClick(control<QPushButton>(w, "cmdSample"), Qt::LeftButton);
        QTRY_VERIFY(ok.seen().shown);
        QVERIFY(w.isVisible());
        QCOMPARE(moviesIn(existing), 2);
    }
};

QTEST_MAIN(TstFirstStart)
#include "tst_firststart.moc"
