// SPDX-License-Identifier: GPL-3.0-or-later
// Fills in the details of 1,000 movies through the Fill In Details window, looked up in
// Wikidata's recorded answers served from a thread of this process: the look-up of every
// movie, the review list, and Apply (backup and one transaction). Reports the program's own
// processor time a movie without the server's, and the longest the window stood still.
//   moviary-bench-fillin
#include "bench/measure.h"
#include "catalogue/movie.h"
#include "catalogue/schema.h"
#include "lookup/sourcefactory.h"
#include "lookup/sources.h"
#include "lookupwindows/frmfillin.h"
#include "tests/common/fakehost.h"
#include "tests/common/serverthread.h"
#include "tests/common/widgets.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

using namespace bench;
using testsupport::control;

constexpr int Movies = 1000;

// Every movie is the 1979 "Alien" with only its title and year typed: each one is a
// confident match with every other field to fill in.
std::vector<catalogue::Movie> titlesOnly()
{
    std::vector<catalogue::Movie> movies(Movies);
    for (catalogue::Movie &m : movies) {
        m[catalogue::Field::Title] = QStringLiteral("Alien");
        m[catalogue::Field::Year] = QStringLiteral("1979");
    }
    return movies;
}

void waitFor(const std::function<bool()> &done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > 600000)
            fail(QStringLiteral("The fill-in did not finish in 10 minutes"));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // sleeps until there is work
    }
}

struct Figures {
    double wallMs = 0;
    double ownCpuMs = 0;
    double mainCpuMs = 0;
    double longestStillMs = 0;
    double applyMs = 0;
    int requests = 0;
};

// One fill-in of a fresh catalogue from Start to the review list, then Apply. The 1 ms timer
// that finds the longest stand-still costs processor time of its own, so a run either
// watches or counts processor time, never both.
Figures fillIn(testsupport::ServerThread &server, bool watchStill)
{
    QTemporaryDir folder;
    failOn(catalogue::createCatalogue(folder.filePath("DVDs.mdb"), titlesOnly(), true));
    testsupport::FakeHost host(folder.path());
    lookupwindows::FrmFillIn window(host);
    window.show();
    QCoreApplication::processEvents();
    auto *result = control<QLabel>(&window, "lblResult");
    int requestsBefore = 0;
    server.inThread([&] { requestsBefore = int(server.local().requests().size()); });

    Figures f;
    const double serverBefore = server.cpuMs();
    const double mainBefore = threadCpuMs();
    const double processBefore = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    {
        std::unique_ptr<StillWatch> still = watchStill ? std::make_unique<StillWatch>() : nullptr;
        control<QPushButton>(&window, "cmdStart")->click();
        waitFor([&] { return !result->text().isEmpty(); });
        f.longestStillMs = still ? still->longestMs() : 0;
    }
    f.wallMs = wall.nsecsElapsed() / 1e6;
    f.mainCpuMs = threadCpuMs() - mainBefore;
    f.ownCpuMs = processCpuMs() - processBefore - (server.cpuMs() - serverBefore);
    server.inThread([&] { f.requests = int(server.local().requests().size()) - requestsBefore; });
    const int reviewed = control<QTreeWidget>(&window, "tvwChanges")->topLevelItemCount();
    if (reviewed != Movies)
        fail(QStringLiteral("%1 movies to review instead of %2: %3").arg(reviewed).arg(Movies).arg(result->text()));

    f.applyMs = ms([&] { control<QPushButton>(&window, "cmdApply")->click(); });
    const QString summary = control<QLabel>(&window, "lblSummary")->text();
    if (!summary.startsWith(QStringLiteral("%1 movies changed").arg(Movies)))
        fail(QStringLiteral("Apply did not change every movie: %1").arg(summary));
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    const auto app = makeApplication(argc, argv);
    testsupport::ServerThread server;
    server.inThread([&] { testsupport::recordWikidata(server.local()); });
    lookup::installSourceFactory([&](const platform::LookupSettings &) {
        return std::make_unique<lookup::WikidataSource>(server.local().url("/w/api.php"),
                                                        server.local().url("/api/rest_v1"));
    });

    const Figures counted = fillIn(server, false);
    const Figures watched = fillIn(server, true);
    std::printf("%d movies looked up in Wikidata, each a confident match\n", Movies);
    printFigure("requests a movie", double(counted.requests) / Movies, "");
    printFigure("wall time a movie", counted.wallMs / Movies);
    printFigure("processor time a movie, without the server", counted.ownCpuMs / Movies);
    printFigure("processor time a movie in the main thread", counted.mainCpuMs / Movies);
    printFigure("longest the window stood still, look-up and review", watched.longestStillMs);
    printFigure("Apply: backup and every change in one transaction", std::max(counted.applyMs, watched.applyMs));
    printFigure("peak memory", statusKb("VmHWM:") / 1024.0, "MiB");
    lookup::installSourceFactory({});
    return 0;
}
