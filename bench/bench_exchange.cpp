// SPDX-License-Identifier: GPL-3.0-or-later
// Times import and export at 100,000 movies: a CSV read into an empty catalogue up to
// the listed main window, and every movie written as CSV and as a Tellico file.
//   moviary-bench-exchange           makes the files and measures, each step in a child process
#include "bench/generator.h"
#include "bench/measure.h"
#include "catalogue/schema.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "platform/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

using namespace bench;

constexpr int Size = 100000;

// A source catalogue of the generated movies, its CSV export, and an empty catalogue.
int make(const QDir &folder)
{
    QDir().mkpath(folder.filePath("source"));
    QDir().mkpath(folder.filePath("target"));
    failOn(catalogue::createCatalogue(folder.filePath("source/DVDs.mdb"), bench::generateMovies(Size), true));
    failOn(catalogue::createCatalogue(folder.filePath("target/DVDs.mdb"), catalogue::Contents::Empty, true));
    return 0;
}

int measureExport(const QDir &folder)
{
    const QString catalogueFile = folder.filePath("source/DVDs.mdb");
    int count = 0;
    for (const char *name : {"movies.csv", "movies.tc"}) {
        const QString file = folder.filePath(name);
        const double took =
            ms([&] { failOn(exchange::exportCatalogue(catalogueFile, file, exchange::exportFormatFor(file), count)); });
        printFigure(qPrintable(QString("export of %1 movies to %2 (%3 MB)")
                                   .arg(count)
                                   .arg(QFileInfo(file).suffix().toUpper())
                                   .arg(QFileInfo(file).size() / 1e6, 0, 'f', 1)),
                    took);
    }
    return 0;
}

int measureImport(const QDir &folder)
{
    (void)platform::saveShowTipsAtStartup(false);
    const QString target = folder.filePath("target");
    auto w = std::make_unique<FrmMain>(target);
    w->load();
    w->show();
    QApplication::processEvents();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top != w.get() && top->isVisible())
            top->close();
    QApplication::processEvents();
    const long before = statusKb("VmRSS:");
    const QString file = folder.filePath("movies.csv");
    exchange::ImportSource source;
    exchange::ImportPlan plan;
    double read = 0, planned = 0, stored = 0, listed = 0;
    long peakBeforeListing = 0;
    const double total = ms([&] {
        exchange::DuplicateIndex present;
        read = ms([&] {
            failOn(exchange::readCatalogueKeys(target + "/DVDs.mdb", present));
            failOn(exchange::readImportFile(file, source));
        });
        planned = ms([&] { plan = exchange::planImport(source, source.mapping, present); });
        stored = ms([&] {
            w->mainCursor().closeDatabase();
            failOn(exchange::storeMovies(target + "/DVDs.mdb", source, plan, plan.toStore(true)));
        });
        peakBeforeListing = statusKb("VmHWM:");
        listed = ms([&] {
            static_cast<widgets::CatalogueHost &>(*w).listAllRecords();
            w->findChild<QTableView *>("fpList1")->viewport()->repaint();
        });
    });
    const long peak = statusKb("VmHWM:");
    printFigure(qPrintable(QString("import of a %1-row CSV (%2 MB) to the listed window")
                               .arg(plan.movies.size())
                               .arg(QFileInfo(file).size() / 1e6, 0, 'f', 1)),
                total);
    printFigure("  reading and recognising the file", read);
    printFigure("  mapping, converting, finding duplicates", planned);
    printFigure("  one transaction of inserts", stored);
    printFigure("  listing all movies in the main window", listed);
    printFigure("resident memory before the import", before / 1024.0, "MB");
    printFigure("most memory held up to the end of the transaction", peakBeforeListing / 1024.0, "MB");
    printFigure("  added by reading, planning and storing", (peakBeforeListing - before) / 1024.0, "MB");
    printFigure("most memory held with the new listing", peak / 1024.0, "MB");

    // The same rows under another program's header: every year, time, rating and genre converted.
    QFile own(file);
    own.open(QIODevice::ReadOnly);
    QByteArray other = own.readAll();
    other.replace(0, other.indexOf('\r'), "\xEF\xBB\xBFName,Plot,Genres,Cast,Notes,Certification,Release Date,Runtime");
    QFile foreign(folder.filePath("foreign.csv"));
    foreign.open(QIODevice::WriteOnly);
    foreign.write(other);
    foreign.close();
    other.clear();
    plan = {};
    source = {};
    printFigure("reading and converting it under another program's header", ms([&] {
                    failOn(exchange::readImportFile(foreign.fileName(), source));
                    plan = exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
                }));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const auto application = bench::makeApplication(argc, argv);
    QApplication &app = *application;
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == "make")
        return make(QDir(args.at(2)));
    if (args.size() == 3 && args.at(1) == "export")
        return measureExport(QDir(args.at(2)));
    if (args.size() == 3 && args.at(1) == "import")
        return measureImport(QDir(args.at(2)));
    // Each step in a process of its own, so that the memory figures are the step's.
    QTemporaryDir folder;
    std::printf("%d movies\n", Size);
    for (const char *step : {"make", "export", "import"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), {step, folder.path()});
        child.waitForFinished(-1);
        if (child.exitCode() != 0)
            return 1;
    }
    return 0;
}
