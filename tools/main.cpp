// moviary-catalogue: makes a DVDs.mdb, empty or with the sample collection.
#include "cataloguemaker.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool sample = args.removeAll("--sample") > 0;
    const bool force = args.removeAll("--force") > 0;
    if (args.size() != 1 || args.first().startsWith("-")) {
        std::fprintf(stderr, "usage: moviary-catalogue [--sample] [--force] PATH/DVDs.mdb\n"
                             "  makes an empty catalogue, or with --sample one holding sample movies;\n"
                             "  an existing file is kept unless --force is given\n");
        return 2;
    }
    QString error;
    if (!tools::createCatalogue(args.first(), sample ? tools::Contents::Sample : tools::Contents::Empty, force,
                                &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s made with %d movies\n", qPrintable(args.first()),
                sample ? int(tools::sampleMovies().size()) : 0);
    return 0;
}
