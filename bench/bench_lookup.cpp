// SPDX-License-Identifier: GPL-3.0-or-later
// Times 1,000 movies looked up (search, then details of the first candidate) in each online
// source against the recorded answers served from a thread of this process. Reports the
// program's own cost a movie without the server's, and the longest the event loop stood still.
//   moviary-bench-lookup
#include "bench/measure.h"
#include "lookup/sources.h"
#include "tests/common/serverthread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

using namespace bench;
using Answer = LocalServer::Answer;

constexpr int Movies = 1000;

using testsupport::ServerThread;

struct Figures {
    double wallMs = 0;
    double mainCpuMs = 0;
    double processCpuMs = 0;
    double longestStillMs = 0;
};

// Looks up every movie in turn from the event loop and watches a 1 ms timer for how late it fires.
Figures run(lookup::Source &source)
{
    Figures f;
    QEventLoop loop;
    std::unique_ptr<lookup::Request> request;
    int done = 0;
    std::function<void()> next;
    const auto failIfFailed = [&] {
        if (request->failure() != lookup::Failure::None)
            fail(request->errorMessage());
    };
    next = [&] {
        if (done == Movies)
            return loop.quit();
        request = source.search(QStringLiteral("Alien %1").arg(done), 0);
        QObject::connect(request.get(), &lookup::Request::finished, &loop, [&] {
            failIfFailed();
            if (request->candidates().isEmpty())
                fail(QStringLiteral("%1 found nothing").arg(source.name()));
            const lookup::Candidate first = request->candidates().first();
            // Deleted later: this runs inside the request's own signal.
            request.release()->deleteLater();
            request = source.details(first);
            QObject::connect(request.get(), &lookup::Request::finished, &loop, [&] {
                failIfFailed();
                ++done;
                request.release()->deleteLater();
                QTimer::singleShot(0, &loop, next);
            });
        });
    };

    const double mainBefore = threadCpuMs();
    const double processBefore = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    StillWatch still;
    QTimer::singleShot(0, &loop, next);
    loop.exec();
    f.longestStillMs = still.longestMs();
    f.wallMs = wall.nsecsElapsed() / 1e6;
    f.mainCpuMs = threadCpuMs() - mainBefore;
    f.processCpuMs = processCpuMs() - processBefore;
    return f;
}

void report(const QString &name, const Figures &f, double serverCpuMs, int requests)
{
    const auto figure = [&](const QString &what, double value, const char *unit) {
        printFigure(qPrintable(QStringLiteral("%1: %2").arg(name, what)), value, unit);
    };
    figure(QStringLiteral("requests a movie"), double(requests) / Movies, "");
    figure(QStringLiteral("wall time a movie"), f.wallMs / Movies, "ms");
    figure(QStringLiteral("processor time a movie, without the server"), (f.processCpuMs - serverCpuMs) / Movies, "ms");
    figure(QStringLiteral("processor time a movie in the main thread"), f.mainCpuMs / Movies, "ms");
    figure(QStringLiteral("longest the event loop was blocked"), f.longestStillMs, "ms");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    {
        ServerThread server;
        server.inThread([&] {
            LocalServer &s = server.local();
            s.answer("/w/api.php?action=wbsearchentities",
                     Answer::json(LocalServer::file("wikidata/search-alien.json")));
            s.answer("/w/api.php?action=wbgetentities&props=labels|descriptions|claims|sitelinks",
                     Answer::json(LocalServer::file("wikidata/filter-alien.json")));
            s.answer("/w/api.php?action=wbgetentities&props=labels|descriptions|claims|sitelinks",
                     Answer::json(LocalServer::file("wikidata/film-alien.json")));
            s.answer("/w/api.php?action=wbgetentities&props=labels",
                     Answer::json(LocalServer::file("wikidata/labels-alien.json")));
            s.answer("/api/rest_v1/page/summary/Alien_(film)",
                     Answer::json(LocalServer::file("wikidata/summary-alien.json")));
        });
        lookup::WikidataSource source(server.local().url("/w/api.php"), server.local().url("/api/rest_v1"));
        const double serverBefore = server.cpuMs();
        const Figures f = run(source);
        int requests = 0;
        server.inThread([&] { requests = int(server.local().requests().size()); });
        report(source.name(), f, server.cpuMs() - serverBefore, requests);
    }
    {
        ServerThread server;
        server.inThread([&] {
            LocalServer &s = server.local();
            s.answer("/3/search/movie", Answer::json(LocalServer::file("tmdb/search-alien.json")));
            s.answer("/3/movie/348", Answer::json(LocalServer::file("tmdb/movie-348.json")));
        });
        lookup::TmdbSource source(server.local().url(), QStringLiteral("0123456789abcdef0123456789abcdef"));
        const double serverBefore = server.cpuMs();
        const Figures f = run(source);
        int requests = 0;
        server.inThread([&] { requests = int(server.local().requests().size()); });
        report(source.name(), f, server.cpuMs() - serverBefore, requests);
    }
    return 0;
}
