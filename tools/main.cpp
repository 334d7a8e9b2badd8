// SPDX-License-Identifier: GPL-3.0-or-later
// moviary-catalogue: makes a DVDs.mdb, empty or with the sample collection; imports
// movies into a catalogue and exports them from it; fills in their details online.
#include "catalogue/backup.h"
#include "catalogue/schema.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "lookup/fillin.h"
#include "lookup/sourcefactory.h"
#include "platform/counted.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: moviary-catalogue [--sample] [--force] PATH/DVDs.mdb\n"
                         "       moviary-catalogue --import FILE [--keep-duplicates] [--all-types] PATH/DVDs.mdb\n"
                         "       moviary-catalogue --export FILE.csv|FILE.tc PATH/DVDs.mdb\n"
                         "       moviary-catalogue --fill-in [--only-missing] PATH/DVDs.mdb\n"
                         "  makes an empty catalogue, or with --sample one holding sample movies;\n"
                         "  an existing file is kept unless --force is given;\n"
                         "  --import adds the movies of delimited text (CSV, TSV, a list of titles), a\n"
                         "  Tellico or GCstar collection, or a Collectorz, Data Crow or Griffith XML\n"
                         "  export, skipping movies already there unless --keep-duplicates is given\n"
                         "  and TV series, episodes and games unless --all-types is given, after a\n"
                         "  backup;\n"
                         "  --export writes every movie, in title order, as CSV or as a Tellico file;\n"
                         "  --fill-in looks every movie up online (with --only-missing those missing a\n"
                         "  field) and fills in the empty fields of each single confident match, after\n"
                         "  a backup\n");
    return 2;
}

// Errors go to standard error, what was done to standard output.
void say(const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }
void tell(const QString &text) { std::printf("%s\n", qPrintable(text)); }

int importInto(const QString &file, const QString &catalogueFile, bool keepDuplicates, bool allTypes)
{
    exchange::DuplicateIndex present;
    if (const platform::Failure error = exchange::readCatalogueKeys(catalogueFile, present)) {
        say(error.message);
        return 1;
    }
    exchange::ImportSource source;
    if (const platform::Failure error = exchange::readImportFile(file, source)) {
        say(error.message);
        return 1;
    }
    const QString refused = QDir::toNativeSeparators(file) + QStringLiteral(" could not be imported. ");
    if (!exchange::mapsTitle(source.mapping)) {
        say(refused + QStringLiteral("No column is named Title (or Name, Film, Movie...), so no movie has a title. "
                                     "Name the column of titles in the first row."));
        return 1;
    }
    const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, present, !allTypes);
    if (plan.movies.empty()) {
        say(refused + (plan.notMovies > 0 ? QStringLiteral("Every title in it is a TV series, an episode or another "
                                                           "title that is not a movie (--all-types imports them).")
                                          : QStringLiteral("No row in it has a title.")));
        return 1;
    }
    const std::vector<qsizetype> chosen = plan.toStore(!keepDuplicates);
    if (!chosen.empty()) {
        // The same backup the window takes before an import; an empty catalogue has nothing to keep.
        const qint64 movies = catalogue::catalogueMovieCount(catalogueFile);
        if (movies != 0) {
            QString backup;
            const platform::Failure e = catalogue::backUpCatalogue(
                catalogueFile, &backup, {}, QDateTime::currentDateTime(), catalogue::BackupReason::BeforeImport);
            if (e) {
                say(e.message + QStringLiteral(" Nothing was imported."));
                return 1;
            }
            tell(QStringLiteral("Backup taken: ") + QDir::toNativeSeparators(backup));
        } else {
            tell(QStringLiteral("No backup taken: the catalogue holds no movies yet."));
        }
    }
    // Nothing is written before this point.
    if (const platform::Failure error = exchange::storeMovies(catalogueFile, source, plan, chosen)) {
        say(error.message);
        return 1;
    }
    tell(exchange::importSummary(qsizetype(chosen.size()), keepDuplicates ? 0 : plan.duplicates, plan));
    return 0;
}

int fillIn(const QString &catalogueFile, bool onlyMissing)
{
    QTextStream out(stdout), err(stderr);
    const std::unique_ptr<lookup::Source> source = lookup::sourceFor(platform::lookupSettings());
    return lookup::fillInCatalogue(catalogueFile, onlyMissing, source.get(), out, err);
}

int exportFrom(const QString &file, const QString &catalogueFile)
{
    int count = 0;
    if (const platform::Failure error =
            exchange::exportCatalogue(catalogueFile, file, exchange::exportFormatFor(file), count)) {
        say(error.message);
        return 1;
    }
    tell(QString("%1 exported to %2").arg(platform::counted(count, "movie", "movies"), file));
    return 0;
}

QString takeValue(QStringList &args, const QString &option, bool &present, bool &bad)
{
    const int at = args.indexOf(option);
    present = at >= 0;
    if (!present)
        return {};
    if (at + 1 >= args.size()) {
        bad = true;
        return {};
    }
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool isImport = false, isExport = false, bad = false;
    const QString importFile = takeValue(args, "--import", isImport, bad);
    const QString exportFile = takeValue(args, "--export", isExport, bad);
    const bool keepDuplicates = args.removeAll("--keep-duplicates") > 0;
    const bool allTypes = args.removeAll("--all-types") > 0;
    const bool sample = args.removeAll("--sample") > 0;
    const bool force = args.removeAll("--force") > 0;
    const bool isFillIn = args.removeAll("--fill-in") > 0;
    const bool onlyMissing = args.removeAll("--only-missing") > 0;
    if ((isFillIn && (isImport || isExport || sample || force || keepDuplicates)) || (onlyMissing && !isFillIn))
        return usage();
    if (bad || args.size() != 1 || args.first().startsWith("-") || (isImport && isExport) ||
        ((isImport || isExport) && (sample || force)) || ((keepDuplicates || allTypes) && !isImport))
        return usage();
    if (isImport)
        return importInto(importFile, args.first(), keepDuplicates, allTypes);
    if (isExport)
        return exportFrom(exportFile, args.first());
    if (isFillIn)
        return fillIn(args.first(), onlyMissing);

    if (const platform::Failure error = catalogue::createCatalogue(
            args.first(), sample ? catalogue::Contents::Sample : catalogue::Contents::Empty, force)) {
        say(error.message);
        return 1;
    }
    std::printf("%s made with %d movies\n", qPrintable(args.first()),
                sample ? int(catalogue::sampleMovies().size()) : 0);
    return 0;
}
