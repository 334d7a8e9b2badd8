// SPDX-License-Identifier: GPL-3.0-or-later
// Times the print preview of catalogues of 1,000, 10,000 and 100,000 movies: from the
// command to the first page painted, the longest the event loop waits meanwhile and
// while the preview is paged through, the pages it lays out, and the memory it holds.
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
    QEventLoop loop;
    StillWatch watch;
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
    return watch.longestMs();
}

struct Opening {
    double firstPageMs = 0;
    double longestStallMs = 0;
    QString counterAtOnce;
};

// Gives the command from the event loop and lets the loop run until the first page is
// painted, the rows read however the report reads them.
Opening openPreview(report::Report *shown, QAbstractScrollArea *view, QLabel *label)
{
    Opening o;
    QEventLoop loop;
    QElapsedTimer sinceCommand;
    bool painted = false;
    StillWatch watch;
    const auto paintWhenLaidOut = [&] {
        if (painted || shown->pageCount() == 0)
            return;
        painted = true;
        view->viewport()->repaint();
        o.firstPageMs = sinceCommand.nsecsElapsed() / 1e6;
        o.longestStallMs = watch.longestMs();
        loop.quit();
    };
    watch.setOnTick(paintWhenLaidOut);
    QTimer::singleShot(0, &loop, [&] {
        sinceCommand.start();
        shown->showReport();
        o.counterAtOnce = label->text();
        paintWhenLaidOut();
    });
    QTimer::singleShot(120000, &loop, [] { fail("The first page was not shown within two minutes."); });
    loop.exec();
    return o;
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

    const Opening opening = openPreview(shown, view, label);
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 20; ++i)
        steps.push_back(press("actNextPage"));
    steps.push_back(press("actLastPage"));
    steps.push_back(press("actZoomIn"));
    steps.push_back(press("actPreviousPage"));
    steps.push_back(press("actFirstPage"));
    steps.push_back(press("actWholePage"));
    const double stall = longestStall(steps);
    printFigure("command to the first page painted", opening.firstPageMs);
    printFigure("longest event loop stall until then", opening.longestStallMs);
    std::printf("  %-52s %s\n", "page counter as the command returns", qPrintable(opening.counterAtOnce));
    printFigure("pages laid out", shown->pageCount(), "pages");
    printFigure("End to the last page painted", ms(press("actLastPage")));
    printFigure("longest event loop stall paging through", stall);
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

    // Deleted before its rows are in, at any point of the read, the report lets go of
    // them without keeping the program waiting.
    double longestDelete = 0;
    for (int after = 0; after <= 300; after += 20) {
        auto *closed = new report::Report(folder.path());
        closed->showReport();
        QEventLoop loop;
        QTimer::singleShot(after, &loop, &QEventLoop::quit);
        loop.exec();
        longestDelete = std::max(longestDelete, ms([&] { delete closed; }));
    }
    printFigure("longest delete of a report as its rows are read", longestDelete);
    return 0;
}

} // namespace

int main(int argc, char **argv) { return bench::runBySize(argc, argv, make, measure, {1000, 10000, 100000}); }
