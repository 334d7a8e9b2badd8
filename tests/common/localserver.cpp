// SPDX-License-Identifier: GPL-3.0-or-later
#include "localserver.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <algorithm>

namespace {

QList<std::pair<QString, QString>> decodedItems(const QString &query)
{
    QList<std::pair<QString, QString>> items;
    for (const auto &item : QUrlQuery(query).queryItems(QUrl::FullyDecoded))
        items << std::pair{item.first, item.second};
    return items;
}

QByteArray statusLine(int status)
{
    const char *phrase = status == 200 ? "OK" : status == 404 ? "Not Found" : status == 429 ? "Too Many Requests" : "X";
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + phrase + "\r\n";
}

} // namespace

LocalServer::Answer LocalServer::Answer::rateLimit(int seconds)
{
    return Answer{429, "{}", {{"Retry-After", QByteArray::number(seconds)}}, Behaviour::Reply};
}

LocalServer::Answer LocalServer::Answer::huge(qint64 bytes, bool withLength)
{
    return Answer{200, QByteArray(bytes, ' '), {}, withLength ? Behaviour::Reply : Behaviour::NoLength};
}

QString LocalServer::Received::path() const { return QUrl(QString::fromLatin1(target)).path(QUrl::FullyDecoded); }

QString LocalServer::Received::queryValue(const QString &key) const
{
    return QUrlQuery(QUrl(QString::fromLatin1(target)).query(QUrl::FullyEncoded))
        .queryItemValue(key, QUrl::FullyDecoded);
}

LocalServer::LocalServer(QObject *parent) : QObject(parent), server(new QTcpServer(this))
{
    server->listen(QHostAddress::LocalHost, 0);
    connect(server, &QTcpServer::newConnection, this, &LocalServer::accept);
}

LocalServer::~LocalServer()
{
    for (QTcpSocket *socket : pending.keys())
        socket->abort();
}

QUrl LocalServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server->serverPort()).arg(path));
}

LocalServer::Entry LocalServer::entryFor(const QString &pathAndQuery, const Answer &answer)
{
    const int mark = pathAndQuery.indexOf(QLatin1Char('?'));
    Entry e;
    e.path = QUrl::fromPercentEncoding((mark < 0 ? pathAndQuery : pathAndQuery.left(mark)).toUtf8());
    if (mark >= 0)
        e.items = decodedItems(pathAndQuery.mid(mark + 1));
    e.answer = answer;
    return e;
}

void LocalServer::answer(const QString &pathAndQuery, const Answer &answer)
{
    const Entry e = entryFor(pathAndQuery, answer);
    table.erase(std::remove_if(table.begin(), table.end(),
                               [&](const Entry &t) { return t.path == e.path && t.items == e.items; }),
                table.end());
    table << e;
}

void LocalServer::answerOnce(const QString &pathAndQuery, const Answer &answer)
{
    once.push_back(entryFor(pathAndQuery, answer));
}

QByteArray LocalServer::file(const QString &name)
{
    QFile f(QStringLiteral(MOVIARY_LOOKUP_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("No recorded answer %s", qPrintable(name));
    return f.readAll();
}

const LocalServer::Answer *LocalServer::find(const Received &request)
{
    const QUrl target(QString::fromLatin1(request.target));
    const QString path = target.path(QUrl::FullyDecoded);
    const auto items = decodedItems(target.query(QUrl::FullyEncoded));
    const auto matches = [&](const Entry &e) {
        return e.path == path &&
               std::all_of(e.items.begin(), e.items.end(), [&](const auto &item) { return items.contains(item); });
    };
    for (auto it = once.begin(); it != once.end(); ++it)
        if (matches(*it)) {
            onceHit = it->answer;
            once.erase(it);
            return &onceHit;
        }
    const Entry *best = nullptr;
    for (const Entry &e : table)
        if (matches(e) && (!best || e.items.size() > best->items.size()))
            best = &e;
    return best ? &best->answer : nullptr;
}

void LocalServer::accept()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        pending.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending.remove(socket);
            waiting.removeAll(socket);
            socket->deleteLater();
        });
    }
}

void LocalServer::serve(QTcpSocket *socket)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray &buffer = pending[socket];
    buffer += socket->readAll();
    for (;;) {
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            break;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.remove(0, end + 4);
        Received request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        received << request;
        waiting << socket;
        most = std::max<int>(most, int(waiting.size()));

        const Answer *found = find(request);
        const Answer answer = found ? *found : Answer::error(404, "{\"error\":\"not recorded\"}");
        if (answer.behaviour == Behaviour::Hang)
            break;
        waiting.removeOne(socket);
        if (answer.behaviour == Behaviour::Close) {
            socket->disconnectFromHost();
            break;
        }
        QByteArray head = statusLine(answer.status) + "Content-Type: application/json; charset=utf-8\r\n";
        for (const auto &[name, value] : answer.headers)
            head += name + ": " + value + "\r\n";
        if (answer.behaviour == Behaviour::NoLength) {
            socket->write(head + "Connection: close\r\n\r\n");
            socket->write(answer.body);
            socket->disconnectFromHost();
            break;
        }
        // One write, so that the answer does not wait on a delayed acknowledgement.
        socket->write(head + "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n\r\n" + answer.body);
    }
    busyNs += clock.nsecsElapsed();
}
