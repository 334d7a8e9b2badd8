// SPDX-License-Identifier: GPL-3.0-or-later
#include "serverthread.h"

#include <ctime>

namespace testsupport {

using Answer = LocalServer::Answer;

ServerThread::ServerThread()
{
    thread.start();
    context.moveToThread(&thread);
    inThread([this] { server = std::make_unique<LocalServer>(); });
}

ServerThread::~ServerThread()
{
    inThread([this] { server.reset(); });
    thread.quit();
    thread.wait();
}

void ServerThread::inThread(const std::function<void()> &work)
{
    QMetaObject::invokeMethod(&context, work, Qt::BlockingQueuedConnection);
}

double ServerThread::cpuMs()
{
    double taken = 0;
    inThread([&] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        taken = t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    });
    return taken;
}

void recordWikidata(LocalServer &server)
{
    server.answer("/w/api.php?action=wbsearchentities", Answer::json(LocalServer::file("wikidata/search-none.json")));
    server.answer("/w/api.php?action=wbsearchentities&search=Alien",
                  Answer::json(LocalServer::file("wikidata/search-alien.json")));
    server.answer("/w/api.php?action=wbgetentities&props=labels|descriptions|claims|sitelinks",
                  Answer::json(LocalServer::file("wikidata/filter-alien.json")));
    server.answer("/w/api.php?action=wbgetentities&ids=Q103569&props=labels|descriptions|claims|sitelinks",
                  Answer::json(LocalServer::file("wikidata/film-alien.json")));
    server.answer("/w/api.php?action=wbgetentities&props=labels",
                  Answer::json(LocalServer::file("wikidata/labels-alien.json")));
    server.answer("/api/rest_v1/page/summary/Alien_(film)",
                  Answer::json(LocalServer::file("wikidata/summary-alien.json")));
}

void recordTmdb(LocalServer &server)
{
    server.answer("/3/search/movie", Answer::json(LocalServer::file("tmdb/search-none.json")));
    server.answer("/3/search/movie?query=Alien", Answer::json(LocalServer::file("tmdb/search-alien.json")));
    server.answer("/3/movie/348?append_to_response=credits,release_dates",
                  Answer::json(LocalServer::file("tmdb/movie-348.json")));
}

} // namespace testsupport
