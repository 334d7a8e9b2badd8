// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/commandline.h"
#include "platform/locations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::chooseLocations;
using platform::LocationRequest;
using platform::Locations;

namespace {

void touch(const QString &path)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

// An installation as cmake --install lays it out: prefix/bin and prefix/share/moviary,
// with the user's data folder somewhere else entirely.
struct InstalledTree {
    QTemporaryDir root;
    QString prefix() const { return root.filePath("usr"); }
    QString bin() const { return prefix() + "/bin"; }
    QString share() const { return prefix() + "/share/moviary"; }
    QString data() const { return root.filePath("home/.local/share/moviary"); }
    InstalledTree()
    {
        QDir().mkpath(bin());
        QDir().mkpath(share());
    }
    LocationRequest request(const QString &option = {}, const QString &remembered = {}) const
    {
        return {bin(), option, remembered, data()};
    }
};

} // namespace

class TstLocations : public QObject {
    Q_OBJECT
private slots:
    void portableFolderKeepsEverythingBesideTheProgram()
    {
        QTemporaryDir dir;
        const QString folder = dir.path();
        // Without a catalogue and without an installation the program's folder is still
        // used, so that today's "catalogue not found" message names it.
        auto choice = chooseLocations({folder, {}, {}, dir.filePath("data")});
        QVERIFY(!choice.error);
        QVERIFY(!choice.firstStart);
        QVERIFY(!choice.locations.isInstalled());
        QCOMPARE(choice.locations.catalogueFile(), folder + "/DVDs.mdb");

        touch(folder + "/DVDs.mdb");
        choice = chooseLocations({folder, {}, dir.filePath("elsewhere/Films.mdb"), dir.filePath("data")});
        const Locations &l = choice.locations;
        QCOMPARE(l.catalogueFile(), folder + "/DVDs.mdb");
        QCOMPARE(l.compactionWorkFile(), folder + "/DVDs1.mdb");
        QCOMPARE(l.backupsFolder(), folder + "/Backups");
        QCOMPARE(l.tipsFile(), folder + "/TIPOFDAY.TXT");
        QCOMPARE(l.helpFile(), folder + "/Moviary.chm");
        QVERIFY(!QDir(dir.filePath("data")).exists());
    }

    void installedProgramKeepsTheCatalogueInTheUsersDataFolder()
    {
        InstalledTree tree;
        auto choice = chooseLocations(tree.request());
        QVERIFY(choice.firstStart);
        const Locations &l = choice.locations;
        QVERIFY(l.isInstalled());
        QCOMPARE(l.catalogueFile(), tree.data() + "/DVDs.mdb");
        QCOMPARE(l.dataCatalogueFile(), tree.data() + "/DVDs.mdb");
        QCOMPARE(l.compactionWorkFile(), tree.data() + "/DVDs1.mdb");
        QCOMPARE(l.backupsFolder(), tree.data() + "/Backups");
        QCOMPARE(l.tipsFile(), tree.share() + "/TIPOFDAY.TXT");
        QCOMPARE(l.helpFile(), tree.share() + "/Moviary.chm");
        for (const QString &written : {l.catalogueFile(), l.compactionWorkFile(), l.backupsFolder()})
            QVERIFY2(!written.startsWith(tree.prefix()), qPrintable(written));

        // No data folder (no home): said so, never a catalogue at the file-system root.
        choice = chooseLocations({tree.bin(), {}, {}, {}});
        QVERIFY(choice.error);

        touch(tree.data() + "/DVDs.mdb");
        choice = chooseLocations(tree.request());
        QVERIFY(!choice.firstStart);
        QCOMPARE(choice.locations.catalogueFile(), tree.data() + "/DVDs.mdb");

        // A DVDs.mdb beside the installed program makes it portable again.
        touch(tree.bin() + "/DVDs.mdb");
        choice = chooseLocations(tree.request());
        QVERIFY(!choice.locations.isInstalled());
        QCOMPARE(choice.locations.catalogueFile(), tree.bin() + "/DVDs.mdb");
        QCOMPARE(choice.locations.tipsFile(), tree.bin() + "/TIPOFDAY.TXT");
    }

    void onlyABinFolderWithShareMoviaryBesideItIsAnInstallation()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("bin"));
        QDir().mkpath(dir.filePath("programs/share/moviary"));
        QDir().mkpath(dir.filePath("programs/moviary"));
        QCOMPARE(platform::installedShareFolder(dir.filePath("bin")), QString());
        QCOMPARE(platform::installedShareFolder(dir.filePath("programs/moviary")), QString());
        QVERIFY(!chooseLocations({dir.filePath("bin"), {}, {}, dir.filePath("data")}).firstStart);

        QDir().mkpath(dir.filePath("share/moviary"));
        QCOMPARE(platform::installedShareFolder(dir.filePath("bin") + "/"), dir.filePath("share/moviary"));
        // A file named like the folder is not one.
        QTemporaryDir other;
        QDir().mkpath(other.filePath("bin"));
        touch(other.filePath("share/moviary"));
        QCOMPARE(platform::installedShareFolder(other.filePath("bin")), QString());
    }

    void rememberedCatalogueIsUsedWhereItIs()
    {
        InstalledTree tree;
        const QString kept = tree.root.filePath("Documents/Films.mdb");
        auto choice = chooseLocations(tree.request({}, kept));
        // Moved or deleted since: the user is asked again, and told which file is gone.
        QVERIFY(choice.firstStart);
        QCOMPARE(choice.locations.catalogueFile(), kept);
        QCOMPARE(choice.locations.dataCatalogueFile(), tree.data() + "/DVDs.mdb");

        touch(kept);
        choice = chooseLocations(tree.request({}, kept));
        QVERIFY(!choice.firstStart);
        QCOMPARE(choice.locations.catalogueFile(), kept);
        QCOMPARE(choice.locations.tipsFile(), tree.share() + "/TIPOFDAY.TXT");
        // Compacting Films.mdb must never remove a neighbour catalogue Films1.mdb.
        QCOMPARE(choice.locations.compactionWorkFile(), kept + "-compacting");
        QCOMPARE(choice.locations.backupsFolder(), tree.root.filePath("Documents/Backups"));
    }

    void catalogueOptionWinsAndMustNameAFile()
    {
        InstalledTree tree;
        touch(tree.data() + "/DVDs.mdb");
        touch(tree.bin() + "/DVDs.mdb");
        const QString other = tree.root.filePath("other/DVDs.mdb");
        touch(other);

        auto choice = chooseLocations(tree.request(other, tree.root.filePath("remembered.mdb")));
        QVERIFY(!choice.error);
        QVERIFY(!choice.firstStart);
        QCOMPARE(choice.locations.catalogueFile(), other);
        QCOMPARE(choice.locations.compactionWorkFile(), tree.root.filePath("other/DVDs1.mdb"));
        QCOMPARE(choice.locations.helpFile(), tree.share() + "/Moviary.chm");

        // A relative path is taken from the current folder, once, at start.
        const QString before = QDir::currentPath();
        QDir::setCurrent(tree.root.filePath("other"));
        choice = chooseLocations(tree.request("DVDs.mdb"));
        QDir::setCurrent(before);
        QCOMPARE(choice.locations.catalogueFile(), other);

        const QString missing = tree.root.filePath("nowhere/DVDs.mdb");
        choice = chooseLocations(tree.request(missing));
        QVERIFY(choice.error.message.contains(missing));
        QVERIFY(choice.error.message.contains("does not exist"));

        choice = chooseLocations(tree.request(tree.data()));
        QVERIFY(choice.error.message.contains(tree.data()));
        QVERIFY(choice.error.message.contains("folder"));

        // From a build folder the tips and help stay beside the program.
        QTemporaryDir build;
        choice = chooseLocations({build.path(), other, {}, tree.data()});
        QCOMPARE(choice.locations.tipsFile(), build.path() + "/TIPOFDAY.TXT");
        QCOMPARE(choice.locations.catalogueFile(), other);
    }

    void commandLine()
    {
        using platform::parseCommandLine;
        auto line = parseCommandLine({"moviary"}, "1.0");
        QVERIFY(!line.finished);
        QVERIFY(line.catalogue.isEmpty());

        line = parseCommandLine({"moviary", "-c", "a b.mdb"}, "1.0");
        QVERIFY(!line.finished);
        QCOMPARE(line.catalogue, QString("a b.mdb"));
        QCOMPARE(parseCommandLine({"/usr/bin/moviary", "--catalogue=x.mdb"}, "1.0").catalogue, QString("x.mdb"));

        line = parseCommandLine({"/usr/bin/moviary", "--help"}, "1.0");
        QVERIFY(line.finished);
        QCOMPARE(line.exitCode, 0);
        QVERIFY(line.output.startsWith("Usage: moviary"));
        QVERIFY(line.output.contains("--catalogue <PATH>"));
        QVERIFY(line.output.contains("--version"));

        line = parseCommandLine({"moviary", "--version"}, "1.0");
        QVERIFY(line.finished);
        QCOMPARE(line.exitCode, 0);
        QCOMPARE(line.output, QString("moviary 1.0\n"));

        // Every mistake ends with a message that names it, and a failure status.
        const QList<QPair<QStringList, QString>> wrong{
            {{"moviary", "--frobnicate"}, "frobnicate"},
            {{"moviary", "--catalogue"}, "catalogue"},
            {{"moviary", "--catalogue", ""}, "catalogue"},
            {{"moviary", "stray.mdb"}, "stray.mdb"},
            {{"moviary", "-c", "a.mdb", "-c", "b.mdb"}, "more than once"},
        };
        for (const auto &[arguments, named] : wrong) {
            line = parseCommandLine(arguments, "1.0");
            QVERIFY2(line.finished && line.exitCode != 0, qPrintable(arguments.join(' ')));
            QVERIFY2(line.output.contains(named), qPrintable(line.output));
        }
    }
};

QTEST_GUILESS_MAIN(TstLocations)
#include "tst_locations.moc"
