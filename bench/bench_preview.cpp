// SPDX-License-Identifier: GPL-3.0-or-later
// Times the print preview of catalogues of 1,000, 10,000 and 100,000 movies: from the
// command to the first page painted, the pages it lays out, the longest the event loop
// waits while the preview opens and is paged through, and the memory it holds.
//   moviary-bench-preview            runs every size (each in a child process of its own)
//   moviary-bench-preview SIZE       measures one size
#include "bench/generator.h"
#include "bench/measure.h"
#include "catalogue/schema.h"
#include "report/report.h"
#include "report/reportdata.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

using namespace bench;

int make(int size, const QString &folder)
{
    failOn(catalogue::createCatalogue(folder + "/DVDs.mdb", bench::generateMovies(size), true));
    return 0;
}

// Runs the steps one after the other from the event loop, as a user's key presses
// would come, and answers the longest time a millisecond timer waited meanwhile.
double longestStall(const std::vector<std::function<void()>> &steps)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(1);
    QEventLoop loop;
    size_t next = 0;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (next == steps.size()) {
            loop.quit();
            return;
        }
        steps[next++]();
    });
    step.start(20);
    loop.exec();
    return longest / 1e6;
}

int measure(int size, const QDir &folder)
{
    std::printf("%d movies\n", size);
    const long before = residentKb();
    auto *shown = new report::Report(folder.path());
    auto *view = shown->findChild<QAbstractScrollArea *>("prvReport");
    auto *label = shown->findChild<QLabel *>("lblPage");
    auto press = [&](const char *action) {
        return [=] {
            shown->findChild<QAction *>(action)->trigger();
            view->viewport()->repaint();
        };
    };

    double firstPage = 0;
    std::vector<std::function<void()>> steps{[&] {
        firstPage = ms([&] {
            shown->showReport();
            view->viewport()->repaint();
        });
    }};
    for (int i = 0; i < 20; ++i)
        steps.push_back(press("actNextPage"));
    steps.push_back(press("actLastPage"));
    steps.push_back(press("actZoomIn"));
    steps.push_back(press("actPreviousPage"));
    steps.push_back(press("actFirstPage"));
    steps.push_back(press("actWholePage"));
    const double stall = longestStall(steps);
    printFigure("command to the first page painted", firstPage);
    // Page breaks are counted from the number of movies: every page is placed once the
    // rows are read, and each is laid out when it is painted.
    printFigure("pages laid out", shown->pageCount(), "pages");
    printFigure("End to the last page painted", ms(press("actLastPage")));
    printFigure("longest event loop stall (open, page through)", stall);
    std::printf("  %-52s %s\n", "page counter after Last Page", qPrintable(label->text()));
    printFigure("resident memory added by the preview", (residentKb() - before) / 1024.0, "MB");
    printFigure("peak resident memory of the process", statusKb("VmHWM:") / 1024.0, "MB");
    {
        catalogue::ResultSet rows;
        printFigure("reading the rows alone, in title order",
                    ms([&] { report::readReportRows(folder.filePath("DVDs.mdb"), rows); }));
    }
    if (size <= 10000) {
        const QString pdf = folder.filePath("movies.pdf");
        printFigure("every page written to a PDF", ms([&] { shown->printToPdf(pdf); }));
    }
    delete shown;
    return 0;
}

} // namespace

int main(int argc, char **argv) { return bench::runBySize(argc, argv, make, measure, {1000, 10000, 100000}); }
