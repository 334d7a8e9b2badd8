// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lookup/source.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QJsonObject;
class QNetworkAccessManager;
class QTimer;

namespace lookup {

// How long a request may take and how much of an answer is read.
struct Limits {
    int timeoutMs = 10000;
    qint64 maxBytes = 2 * 1024 * 1024;
    // A service that asks to wait longer than this (HTTP 429) is reported as limiting requests.
    int maxRetryWaitSeconds = 60;
    int maxRetries = 3;
};

// What one GET gave: the body, or why there is none.
struct Reply {
    Failure failure = Failure::None;
    QString message; // names the service and what failed; never holds the address
    int status = 0;  // the HTTP status, 0 when there was no answer
    QByteArray body;
};

using Headers = QList<std::pair<QByteArray, QByteArray>>;

// Sends GET requests to one service, one at a time and in order, with the program's User-Agent.
class Http : public QObject {
    Q_OBJECT
public:
    Http();
    ~Http() override;
    void setLimits(const Limits &limits) { bounds = limits; }
    const Limits &limits() const { return bounds; }
    // Queues a GET; done runs from the event loop unless the context is cancelled or destroyed first.
    // The service's name goes in the messages.
    void get(const QUrl &url, const Headers &headers, const QString &service, QObject *context,
             std::function<void(const Reply &)> done);
    // Drops the queued requests of a context and aborts its running one; done is not called.
    void cancel(QObject *context);

    static QByteArray userAgent();
    // The queue of the service at address (its scheme, host and port), shared by every
    // source of this thread that asks it, so that two windows looking up at once still
    // send one request at a time.
    static std::shared_ptr<Http> forService(const QUrl &address);

private:
    struct Job {
        QUrl url;
        Headers headers;
        QString service;
        QPointer<QObject> context;
        QObject *key = nullptr;
        std::function<void(const Reply &)> done;
        int retries = 0;
    };
    void startNext();
    void send();
    void readSome();
    void checkLength();
    void complete();
    void stopCurrent();
    Reply failureOf(QNetworkReply *reply) const;
    std::optional<int> retryWait(QNetworkReply *reply) const;

    Limits bounds;
    QNetworkAccessManager *manager;
    QTimer *deadline;
    QTimer *pause;
    std::deque<Job> queue;
    std::optional<Job> current;
    QNetworkReply *reply = nullptr;
    QByteArray body;
    Failure stopReason = Failure::None;
};

// Why a service could not be reached, in words, for a network error other than a timeout.
// Qt's own texts hold the whole address, key and all, so they are never shown.
QString unreachableText(QNetworkReply::NetworkError error, const QString &name, const QString &host);

// The object a JSON answer holds, or nothing when it is not one.
std::optional<QJsonObject> jsonObject(const QByteArray &body);
// Whether a JSON answer holds a control character other than a tab or a line break, raw
// or written as an escape ("\u001b"): such text is refused, never stored.
bool holdsControlCharacters(const QByteArray &json);
// Text from a service as it may be stored: control characters and line breaks become spaces, runs of
// blanks one space, the ends trimmed.
QString cleanText(const QString &text);
// Up to the end of the first sentence, no longer than about a line.
QString firstLine(const QString &text);
// A query string with every value fully percent-encoded ('+' too, which servers read as a space).
QString encodedQuery(const QList<std::pair<QString, QString>> &items);

} // namespace lookup
