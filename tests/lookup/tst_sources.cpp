// SPDX-License-Identifier: GPL-3.0-or-later
// The two online sources against the suite's own HTTP server: what they read, and how they fail.
#include "lookup/http.h"
#include "lookup/sources.h"
#include "tests/common/localserver.h"
#include "tests/common/serverthread.h"

#include <QDateTime>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using lookup::Failure;
using Answer = LocalServer::Answer;

Q_DECLARE_METATYPE(Failure)

using testsupport::recordTmdb;
using testsupport::recordWikidata;

namespace {

const QString V3Key = QStringLiteral("0123456789abcdef0123456789abcdef");
// Shaped like a TMDb read access token: three base64url parts.
const QString V4Token = QStringLiteral(
    "eyJhbGciOiJIUzI1NiJ9.eyJhdWQiOiIwMTIzNDU2Nzg5YWJjZGVmIiwic3ViIjoiNjAwMDAwMDAwMDAwMDAwMDAwMDAwMDAwIn0."
    "c2lnbmF0dXJlLW9mLXRoZS10b2tlbi1mb3ItdGVzdHM");

// Waits for the request's one finished().
bool waitFor(lookup::Request &request)
{
    QSignalSpy spy(&request, &lookup::Request::finished);
    return spy.wait(20000) && spy.size() == 1 && request.isFinished();
}

lookup::Candidate alien(const QString &id)
{
    lookup::Candidate c;
    c.id = id;
    c.title = QStringLiteral("Alien");
    return c;
}

} // namespace

class TestSources : public QObject {
    Q_OBJECT
private slots:
    void wikidataSearchKeepsFilmsOnly();
    void wikidataDetails();
    void wikidataDetailsOfAFoundFilmReuseTheSearch();
    void wikidataWithoutArticleKeepsShortDescription_data();
    void wikidataWithoutArticleKeepsShortDescription();
    void tmdbSearchAndDetails_data();
    void tmdbSearchAndDetails();
    void failures_data();
    void failures();
    void unreachableServersNamed_data();
    void unreachableServersNamed();
    void rateLimitWaitsThenGoesOn();
    void oneRequestAtATime();
    void abortAndDeleteAtAnyTime();
    void controlCharactersAreRefused();
    void missingKeyAsksForOne();
    void categoryFromGenreLabels_data();
    void categoryFromGenreLabels();
    void makeSourceFollowsSettings();
};

void TestSources::wikidataSearchKeepsFilmsOnly()
{
    LocalServer server;
    recordWikidata(server);
    lookup::WikidataSource source(server.url("/w/api.php"), server.url("/api/rest_v1"));
    auto any = source.search("Alien", 0);
    QVERIFY(waitFor(*any));
    QCOMPARE(any->failure(), Failure::None);
    const auto found = any->candidates();
    QCOMPARE(found.size(), 2); // the franchise is not a film
    QCOMPARE(found[0].id, QString("Q103569"));
    QCOMPARE(found[0].year, 1979); // the earliest publication
    QCOMPARE(found[0].summary, QString("1979 film by Ridley Scott"));
    QCOMPARE(found[1].year, 2023);
    const QByteArray agent = server.requests().first().header("User-Agent");
    QVERIFY2(agent.startsWith("Moviary/") && agent.contains("https://moviary.org/"), agent);
    QCOMPARE(server.requests().first().queryValue("search"), QString("Alien"));

    auto ofYear = source.search("Alien", 2023);
    QVERIFY(waitFor(*ofYear));
    QCOMPARE(ofYear->candidates().value(0).id, QString("Q116912354"));
}

void TestSources::wikidataDetails()
{
    LocalServer server;
    recordWikidata(server);
    lookup::WikidataSource source(server.url("/w/api.php"), server.url("/api/rest_v1"));
    auto request = source.details(alien("Q103569"));
    QVERIFY(waitFor(*request));
    QCOMPARE(request->errorMessage(), QString());
    const catalogue::Movie m = request->details();
    QCOMPARE(m[catalogue::Field::Title], QString("Alien"));
    QVERIFY(m[catalogue::Field::Description].startsWith("Alien is a 1979 science fiction horror film"));
    QCOMPARE(m[catalogue::Field::Category], QString("Horror"));
    // Eight names in order; the deprecated statement is left out, a name only in "mul" is used.
    QCOMPARE(m[catalogue::Field::Actors],
             QString("Sigourney Weaver, Tom Skerritt, Veronica Cartwright, Harry Dean Stanton, "
                     "John Hurt, Ian Holm, Yaphet Kotto, Helen Horton"));
    QCOMPARE(m[catalogue::Field::Rating], QString("R"));
    QCOMPARE(m[catalogue::Field::Year], QString("1979"));
    QCOMPARE(m[catalogue::Field::Time], QString("117"));
    QCOMPARE(m[catalogue::Field::Review], QString());
    QCOMPARE(server.requests().size(), 3);
}

void TestSources::wikidataDetailsOfAFoundFilmReuseTheSearch()
{
    LocalServer server;
    recordWikidata(server);
    lookup::WikidataSource source(server.url("/w/api.php"), server.url("/api/rest_v1"));
    auto found = source.search("Alien", 0);
    QVERIFY(waitFor(*found));
    server.clearRequests();
    auto request = source.details(found->candidates().first());
    QVERIFY(waitFor(*request));
    // Only the labels and the summary are read: the film's entity came with the search.
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().first().queryValue("props"), QString("labels"));

    lookup::WikidataSource fresh(server.url("/w/api.php"), server.url("/api/rest_v1"));
    auto read = fresh.details(found->candidates().first());
    QVERIFY(waitFor(*read));
    QCOMPARE(server.requests().size(), 5);
    QVERIFY(request->details() == read->details());
}

void TestSources::wikidataWithoutArticleKeepsShortDescription_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("no article") << Answer::error(404, "{\"type\":\"not_found\"}");
    QTest::newRow("not json") << Answer::json("<html></html>");
    QTest::newRow("connection closed") << Answer::close();
}

void TestSources::wikidataWithoutArticleKeepsShortDescription()
{
    QFETCH(Answer, answer);
    LocalServer server;
    recordWikidata(server);
    server.answer("/api/rest_v1/page/summary/Alien_(film)", answer);
    lookup::WikidataSource source(server.url("/w/api.php"), server.url("/api/rest_v1"));
    auto request = source.details(alien("Q103569"));
    QVERIFY(waitFor(*request));
    QCOMPARE(request->failure(), Failure::None);
    QCOMPARE(request->details()[catalogue::Field::Description], QString("1979 film by Ridley Scott"));
}

void TestSources::tmdbSearchAndDetails_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("bearer");
    QTest::newRow("v3 key as api_key") << V3Key << false;
    QTest::newRow("v4 token as bearer") << V4Token << true;
}

void TestSources::tmdbSearchAndDetails()
{
    QFETCH(QString, key);
    QFETCH(bool, bearer);
    LocalServer server;
    recordTmdb(server);
    lookup::TmdbSource source(server.url(), key);
    auto search = source.search("Alien", 1979);
    QVERIFY(waitFor(*search));
    QCOMPARE(search->failure(), Failure::None);
    QCOMPARE(search->candidates().size(), 2);
    QCOMPARE(search->candidates()[0].id, QString("348"));
    QCOMPARE(search->candidates()[0].year, 1979);
    QVERIFY(search->candidates()[0].summary.endsWith("distant planet."));
    const LocalServer::Received &sent = server.requests().first();
    QCOMPARE(sent.queryValue("year"), QString("1979"));
    QCOMPARE(sent.queryValue("api_key"), bearer ? QString() : key);
    QCOMPARE(sent.header("Authorization"), bearer ? "Bearer " + key.toLatin1() : QByteArray());

    auto details = source.details(search->candidates()[0]);
    QVERIFY(waitFor(*details));
    QCOMPARE(details->failure(), Failure::None);
    const catalogue::Movie m = details->details();
    QCOMPARE(m[catalogue::Field::Title], QString("Alien"));
    QVERIFY(m[catalogue::Field::Description].startsWith("During its return"));
    QCOMPARE(m[catalogue::Field::Category], QString("Horror"));
    QCOMPARE(m[catalogue::Field::Actors].count(", "), 7);
    QVERIFY(!m[catalogue::Field::Actors].contains("Helen Horton"));
    QCOMPARE(m[catalogue::Field::Rating], QString("R")); // the US certification, not the British one
    QCOMPARE(m[catalogue::Field::Year], QString("1979"));
    QCOMPARE(m[catalogue::Field::Time], QString("117"));
}

void TestSources::failures_data()
{
    QTest::addColumn<bool>("tmdb");
    QTest::addColumn<QString>("address"); // empty: the local server
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("words");

    QTcpServer gone;
    gone.listen(QHostAddress::LocalHost, 0);
    const QString refused = QStringLiteral("http://127.0.0.1:%1").arg(gone.serverPort());
    gone.close();

    QTest::newRow("server error") << false << "" << Answer::error(500) << Failure::HttpError << "HTTP 500";
    QTest::newRow("unavailable") << true << "" << Answer::error(503) << Failure::HttpError << "HTTP 503";
    QTest::newRow("key refused 401") << true << "" << Answer::error(401, LocalServer::file("tmdb/error-401.json"))
                                     << Failure::KeyRefused << "refused the key";
    QTest::newRow("key refused 403") << true << "" << Answer::error(403) << Failure::KeyRefused << "refused the key";
    QTest::newRow("wikidata 401 is no key") << false << "" << Answer::error(401) << Failure::HttpError << "HTTP 401";
    QTest::newRow("not json") << false << "" << Answer::json("<html>busy</html>") << Failure::BadAnswer
                              << "expected form";
    QTest::newRow("wrong shape") << true << "" << Answer::json("{\"results\":\"none\"}") << Failure::BadAnswer
                                 << "expected form";
    QTest::newRow("json array") << false << "" << Answer::json("[1,2]") << Failure::BadAnswer << "expected form";
    QTest::newRow("too large, declared") << false << "" << Answer::huge(3 << 20, true) << Failure::TooLarge << "larger";
    QTest::newRow("too large, undeclared")
        << true << "" << Answer::huge(3 << 20, false) << Failure::TooLarge << "larger";
    QTest::newRow("no answer") << true << "" << Answer::hang() << Failure::TimedOut << "did not answer";
    QTest::newRow("connection closed") << false << "" << Answer::close() << Failure::Network << "closed the connection";
    QTest::newRow("rate limit too long") << true << "" << Answer::rateLimit(3600) << Failure::RateLimited << "limiting";
    Answer untilTomorrow = Answer::error(429);
    untilTomorrow.headers = {
        {"Retry-After", QDateTime::currentDateTimeUtc().addDays(1).toString(Qt::RFC2822Date).toLatin1()}};
    QTest::newRow("rate limit until a date") << false << "" << untilTomorrow << Failure::RateLimited << "limiting";
    Answer unreadable = Answer::error(429);
    unreadable.headers = {{"Retry-After", "soon"}};
    QTest::newRow("rate limit without a readable wait")
        << true << "" << unreadable << Failure::RateLimited << "limiting";
    QTest::newRow("refused connection") << true << refused << Answer() << Failure::Network << "refused the connection";
}

void TestSources::failures()
{
    QFETCH(bool, tmdb);
    QFETCH(QString, address);
    QFETCH(Answer, answer);
    QFETCH(Failure, failure);
    QFETCH(QString, words);
    LocalServer server;
    server.answer(tmdb ? "/3/search/movie" : "/w/api.php", answer);
    const QUrl base = address.isEmpty() ? server.url() : QUrl(address);
    lookup::Limits limits;
    limits.timeoutMs = 1500;
    std::unique_ptr<lookup::Source> source;
    if (tmdb) {
        auto s = std::make_unique<lookup::TmdbSource>(base, V3Key);
        s->setLimits(limits);
        source = std::move(s);
    } else {
        auto s = std::make_unique<lookup::WikidataSource>(base.resolved(QUrl("/w/api.php")), base);
        s->setLimits(limits);
        source = std::move(s);
    }
    auto request = source->search("Alien", 1979);
    QVERIFY(waitFor(*request));
    QCOMPARE(request->failure(), failure);
    const QString message = request->errorMessage();
    QVERIFY2(message.contains(source->name()), qPrintable(message));
    QVERIFY2(message.contains(words), qPrintable(message));
    QVERIFY2(!message.contains(V3Key) && !message.contains("api_key"), qPrintable(message));
    QVERIFY(request->candidates().isEmpty());
    if (address.isEmpty())
        QVERIFY(!server.requests().isEmpty());
}

// Failures that a test cannot bring about without asking a name server or pulling the
// cable, from the error Qt reports.
void TestSources::unreachableServersNamed_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("words");
    QTest::newRow("no such server") << int(QNetworkReply::HostNotFoundError)
                                    << "the server www.wikidata.org was not found (no network connection";
    QTest::newRow("no network") << int(QNetworkReply::TemporaryNetworkFailureError) << "there is no network connection";
    QTest::newRow("secure connection") << int(QNetworkReply::SslHandshakeFailedError)
                                       << "the secure connection to www.wikidata.org failed";
    QTest::newRow("proxy") << int(QNetworkReply::ProxyNotFoundError) << "through the proxy";
    QTest::newRow("other") << int(QNetworkReply::ProtocolFailure) << "network error";
}

void TestSources::unreachableServersNamed()
{
    QFETCH(int, error);
    QFETCH(QString, words);
    const QString message = lookup::unreachableText(QNetworkReply::NetworkError(error), "Wikidata", "www.wikidata.org");
    QVERIFY2(message.startsWith("Wikidata ") && message.contains(words), qPrintable(message));
}

void TestSources::rateLimitWaitsThenGoesOn()
{
    LocalServer server;
    recordTmdb(server);
    server.answerOnce("/3/search/movie", Answer::rateLimit(1));
    lookup::TmdbSource source(server.url(), V3Key);
    auto request = source.search("Alien", 0);
    QVERIFY(waitFor(*request));
    QCOMPARE(request->failure(), Failure::None);
    QCOMPARE(request->candidates().size(), 2);
    QCOMPARE(server.requests().size(), 2);
}

void TestSources::oneRequestAtATime()
{
    LocalServer server;
    recordWikidata(server);
    // Two sources of one service, as two windows looking up at once, share its queue.
    lookup::WikidataSource source(server.url("/w/api.php"), server.url("/api/rest_v1"));
    lookup::WikidataSource other(server.url("/w/api.php"), server.url("/api/rest_v1"));
    auto a = source.details(alien("Q103569"));
    auto b = other.search("Alien", 0);
    auto c = source.details(alien("Q103569"));
    QVERIFY(waitFor(*c));
    QVERIFY(a->isFinished() && b->isFinished());
    QCOMPARE(a->failure(), Failure::None);
    QCOMPARE(b->candidates().size(), 2);
    QCOMPARE(server.requests().size(), 8);
    QCOMPARE(server.mostAtOnce(), 1);
}

void TestSources::abortAndDeleteAtAnyTime()
{
    LocalServer server;
    recordTmdb(server);
    server.answerOnce("/3/movie/348", Answer::hang());
    server.answerOnce("/3/movie/348", Answer::hang());
    lookup::TmdbSource source(server.url(), V3Key);

    auto hanging = source.details(alien("348"));
    QSignalSpy finished(hanging.get(), &lookup::Request::finished);
    QTRY_COMPARE(server.requests().size(), 1);
    hanging->abort();
    hanging->abort();
    QVERIFY(finished.wait(5000));
    QCOMPARE(hanging->failure(), Failure::Cancelled);
    QVERIFY(hanging->errorMessage().contains("The Movie Database"));
    QTest::qWait(50);
    QCOMPARE(finished.size(), 1);

    // Deleted while its answer is awaited, and while still queued behind another: the queue goes on.
    auto first = source.details(alien("348"));
    auto queued = source.search("Alien", 0);
    QTRY_COMPARE(server.requests().size(), 2);
    first.reset();
    queued.reset();
    auto after = source.search("Alien", 0);
    QVERIFY(waitFor(*after));
    QCOMPARE(after->candidates().size(), 2);

    auto early = source.search("Alien", 0);
    early->abort();
    QVERIFY(waitFor(*early));
    QCOMPARE(early->failure(), Failure::Cancelled);
    QVERIFY(early->candidates().isEmpty());
}

void TestSources::controlCharactersAreRefused()
{
    LocalServer server;
    // Line breaks and tabs become blanks.
    server.answer("/3/search/movie", Answer::json("{\"results\":[{\"id\":7,\"title\":\"Alien\",\"release_date\":"
                                                  "\"1979\",\"overview\":\"One\\r\\ntwo\\tthree \\\\u0007.\"}]}"));
    lookup::TmdbSource source(server.url(), V3Key);
    auto request = source.search("Alien", 0);
    QVERIFY(waitFor(*request));
    QCOMPARE(request->failure(), Failure::None);
    QCOMPARE(request->candidates().value(0).summary, QString("One two three \\u0007."));

    // Other control characters, escaped, raw or as C1 codes, refuse the answer.
    for (const QByteArray &title : {QByteArray("Al\\u0007ien"), QByteArray("Alien\\u001B[2J"), QByteArray("Al\x01ien"),
                                    QByteArray("Al\xC2\x9Bien"), QByteArray("Al\\u0000ien")}) {
        server.answer("/3/search/movie",
                      Answer::json("{\"results\":[{\"id\":7,\"title\":\"" + title + "\",\"release_date\":\"1979\"}]}"));
        auto refused = source.search("Alien", 0);
        QVERIFY(waitFor(*refused));
        QCOMPARE(refused->failure(), Failure::BadAnswer);
        QVERIFY2(refused->errorMessage().startsWith("The Movie Database sent text holding control characters"),
                 qPrintable(refused->errorMessage()));
        QVERIFY(refused->candidates().isEmpty());
    }
}

void TestSources::missingKeyAsksForOne()
{
    LocalServer server;
    recordTmdb(server);
    lookup::TmdbSource source(server.url(), QString());
    auto request = source.search("Alien", 0);
    QVERIFY(waitFor(*request));
    QCOMPARE(request->failure(), Failure::KeyRefused);
    QVERIFY(request->errorMessage().contains("The Movie Database"));
    QVERIFY(server.requests().isEmpty());
}

void TestSources::categoryFromGenreLabels_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("category");
    QTest::newRow("horror") << QStringList{"horror film"} << "Horror";
    QTest::newRow("science fiction") << QStringList{"science fiction film", "horror film"} << "Sci-Fi";
    QTest::newRow("thriller") << QStringList{"thriller film"} << "Suspense";
    QTest::newRow("first that is a category") << QStringList{"neo-noir", "drama film"} << "Drama";
    QTest::newRow("none: the first as written") << QStringList{"neo-noir film", "heist film"} << "neo-noir film";
    QTest::newRow("no genre") << QStringList{} << "";
}

void TestSources::categoryFromGenreLabels()
{
    QFETCH(QStringList, labels);
    QFETCH(QString, category);
    QCOMPARE(lookup::categoryFromGenreLabels(labels), category);
}

void TestSources::makeSourceFollowsSettings()
{
    platform::LookupSettings settings;
    QCOMPARE(lookup::makeSource(settings)->name(), QString("Wikidata"));
    settings.source = platform::LookupSettings::Source::Tmdb;
    QCOMPARE(lookup::makeSource(settings)->name(), QString("The Movie Database"));
    QVERIFY(lookup::TmdbSource::isAccessToken(V4Token));
    QVERIFY(!lookup::TmdbSource::isAccessToken(V3Key));
}

QTEST_GUILESS_MAIN(TestSources)
#include "tst_sources.moc"
