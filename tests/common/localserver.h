// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An HTTP/1.1 server on 127.0.0.1 (a free port) that answers GET requests from a table, for the
// look-up tests; nothing reaches the internet.
//
//   LocalServer server;
//   server.answer("/w/api.php?action=wbsearchentities&search=Alien", LocalServer::file("wikidata/search-alien.json"));
//   server.answer("/3/search/movie", LocalServer::Answer::error(401, "{}"));
//   server.answerOnce("/3/search/movie", LocalServer::Answer::rateLimit(1)); // then the table again
//   settings.wikidataAddress = server.url("/w/api.php");
//   ... run the look-up ...
//   QCOMPARE(server.requests().size(), 3);
//   QCOMPARE(server.requests().first().header("user-agent").startsWith("Moviary/"), true);
//   QCOMPARE(server.mostAtOnce(), 1);
//
// A table entry matches a request whose path is the same and whose query holds every item the entry
// names (the values compared decoded); the entry naming most items wins. Unmatched requests get 404.

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <deque>
#include <utility>

class QTcpServer;
class QTcpSocket;

class LocalServer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Reply,    // the status, headers and body
        Hang,     // reads the request and never answers
        Close,    // closes the connection without a word
        NoLength, // the body without Content-Length, ended by closing the connection
    };
    struct Answer {
        int status = 200;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
        Behaviour behaviour = Behaviour::Reply;

        static Answer json(QByteArray body) { return Answer{200, std::move(body), {}, Behaviour::Reply}; }
        static Answer error(int code, QByteArray body = {})
        {
            return Answer{code, std::move(body), {}, Behaviour::Reply};
        }
        static Answer rateLimit(int seconds);
        static Answer hang() { return Answer{0, {}, {}, Behaviour::Hang}; }
        static Answer close() { return Answer{0, {}, {}, Behaviour::Close}; }
        // A body of that many bytes; without its length, the client only finds out by reading it.
        static Answer huge(qint64 bytes, bool withLength);
    };
    struct Received {
        QByteArray method;
        QByteArray target;                     // the path and query as sent
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
        QString path() const;
        QString queryValue(const QString &key) const; // decoded
    };

    explicit LocalServer(QObject *parent = nullptr);
    ~LocalServer() override;

    // http://127.0.0.1:port followed by the path.
    QUrl url(const QString &path = {}) const;
    void answer(const QString &pathAndQuery, const Answer &answer);
    // Answers only the next matching request, before the table's own entry; several queue in order.
    void answerOnce(const QString &pathAndQuery, const Answer &answer);
    // The body of a recorded answer in tests/lookup/data.
    static QByteArray file(const QString &name);

    const QList<Received> &requests() const { return received; }
    void clearRequests() { received.clear(); }
    // The most requests that were waiting for their answer at the same moment.
    int mostAtOnce() const { return most; }
    // Milliseconds spent reading requests and writing answers.
    double busyMs() const { return busyNs / 1e6; }

private:
    struct Entry {
        QString path;
        QList<std::pair<QString, QString>> items;
        Answer answer;
    };
    void accept();
    void serve(QTcpSocket *socket);
    const Answer *find(const Received &request);
    static Entry entryFor(const QString &pathAndQuery, const Answer &answer);

    QTcpServer *server;
    QList<Entry> table;
    std::deque<Entry> once;
    QList<Received> received;
    QHash<QTcpSocket *, QByteArray> pending;
    QList<QTcpSocket *> waiting;
    Answer onceHit;
    int most = 0;
    qint64 busyNs = 0;
};
