// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/http.h"

#include <QDateTime>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>

namespace lookup {

namespace {

QString reasonPhrase(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("Bad Request");
    case 401:
        return QStringLiteral("Unauthorized");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 408:
        return QStringLiteral("Request Timeout");
    case 429:
        return QStringLiteral("Too Many Requests");
    case 500:
        return QStringLiteral("Internal Server Error");
    case 502:
        return QStringLiteral("Bad Gateway");
    case 503:
        return QStringLiteral("Service Unavailable");
    case 504:
        return QStringLiteral("Gateway Timeout");
    default:
        return {};
    }
}

Reply failed(Failure kind, const QString &message, int status = 0)
{
    Reply r;
    r.failure = kind;
    r.message = message;
    r.status = status;
    return r;
}

} // namespace

Http::Http() : manager(new QNetworkAccessManager(this)), deadline(new QTimer(this)), pause(new QTimer(this))
{
    deadline->setSingleShot(true);
    pause->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this] {
        stopReason = Failure::TimedOut;
        if (reply)
            reply->abort();
    });
    connect(pause, &QTimer::timeout, this, &Http::send);
}

std::shared_ptr<Http> Http::forService(const QUrl &address)
{
    thread_local QHash<QString, std::weak_ptr<Http>> live;
    const QString key =
        address.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
    if (std::shared_ptr<Http> http = live.value(key).lock())
        return http;
    auto http = std::make_shared<Http>();
    live.insert(key, http);
    return http;
}

Http::~Http()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
}

QByteArray Http::userAgent() { return QByteArrayLiteral("Moviary/" MOVIARY_VERSION " (" MOVIARY_HOMEPAGE ")"); }

void Http::get(const QUrl &url, const Headers &headers, const QString &service, QObject *context,
               std::function<void(const Reply &)> done)
{
    queue.push_back(Job{url, headers, service, context, context, std::move(done), 0});
    if (!current)
        QTimer::singleShot(0, this, &Http::startNext);
}

void Http::cancel(QObject *context)
{
    queue.erase(std::remove_if(queue.begin(), queue.end(), [&](const Job &j) { return j.key == context; }),
                queue.end());
    if (current && current->key == context) {
        stopCurrent();
        current.reset();
        QTimer::singleShot(0, this, &Http::startNext);
    }
}

void Http::startNext()
{
    if (current)
        return;
    while (!queue.empty() && !queue.front().context)
        queue.pop_front();
    if (queue.empty())
        return;
    current = std::move(queue.front());
    queue.pop_front();
    send();
}

void Http::send()
{
    if (!current)
        return;
    QNetworkRequest request(current->url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept", "application/json");
    for (const auto &[name, value] : current->headers)
        request.setRawHeader(name, value);
    // A redirect elsewhere would carry the key to another server.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setTransferTimeout(0);
    body.clear();
    stopReason = Failure::None;
    reply = manager->get(request);
    reply->setReadBufferSize(64 * 1024);
    connect(reply, &QNetworkReply::metaDataChanged, this, &Http::checkLength);
    connect(reply, &QNetworkReply::readyRead, this, &Http::readSome);
    connect(reply, &QNetworkReply::finished, this, &Http::complete);
    deadline->start(bounds.timeoutMs);
}

void Http::checkLength()
{
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > bounds.maxBytes) {
        stopReason = Failure::TooLarge;
        reply->abort();
    }
}

void Http::readSome()
{
    body += reply->read(bounds.maxBytes + 1 - body.size());
    if (body.size() > bounds.maxBytes) {
        stopReason = Failure::TooLarge;
        reply->abort();
    }
}

void Http::stopCurrent()
{
    deadline->stop();
    pause->stop();
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        reply = nullptr;
    }
}

std::optional<int> Http::retryWait(QNetworkReply *r) const
{
    const QByteArray value = r->rawHeader("Retry-After").trimmed();
    if (value.isEmpty())
        return 1;
    bool ok = false;
    const int seconds = value.toInt(&ok);
    if (ok)
        return std::max(0, seconds);
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(value), Qt::RFC2822Date);
    if (when.isValid())
        return std::max<qint64>(0, QDateTime::currentDateTimeUtc().secsTo(when));
    return std::nullopt;
}

QString unreachableText(QNetworkReply::NetworkError error, const QString &name, const QString &host)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("%1 could not be reached: %2 refused the connection.").arg(name, host);
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("%1 could not be reached: the server %2 was not found (no network connection, or a "
                              "wrong address).")
            .arg(name, host);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("%1 closed the connection before it answered.").arg(name);
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("%1 could not be reached: the secure connection to %2 failed.").arg(name, host);
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("%1 answered with too many redirections.").arg(name);
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral("%1 could not be reached through the proxy.").arg(name);
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return QStringLiteral("%1 could not be reached: there is no network connection.").arg(name);
    default:
        return QStringLiteral("%1 could not be reached (network error %2).").arg(name).arg(int(error));
    }
}

Reply Http::failureOf(QNetworkReply *r) const
{
    const QString &name = current->service;
    const QString host = current->url.host();
    if (stopReason == Failure::TimedOut)
        return failed(
            Failure::TimedOut,
            QStringLiteral("%1 did not answer within %2 seconds.").arg(name).arg((bounds.timeoutMs + 999) / 1000));
    if (stopReason == Failure::TooLarge)
        return failed(Failure::TooLarge, QStringLiteral("%1 sent an answer larger than %2 KiB; it was not read.")
                                             .arg(name)
                                             .arg(bounds.maxBytes / 1024));
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString phrase = reasonPhrase(status);
        return failed(Failure::HttpError,
                      QStringLiteral("%1 answered with an error (HTTP %2%3).")
                          .arg(name)
                          .arg(status)
                          .arg(phrase.isEmpty() ? QString() : QLatin1Char(' ') + phrase),
                      status);
    }
    if (r->error() == QNetworkReply::TimeoutError)
        return failed(Failure::TimedOut, QStringLiteral("%1 did not answer in time.").arg(name));
    return failed(Failure::Network, unreachableText(r->error(), name, host));
}

void Http::complete()
{
    QNetworkReply *r = reply;
    reply = nullptr;
    deadline->stop();
    r->deleteLater();
    r->disconnect(this);
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (stopReason == Failure::None && status == 429) {
        const std::optional<int> wait = retryWait(r);
        if (wait && *wait <= bounds.maxRetryWaitSeconds && current->retries < bounds.maxRetries) {
            ++current->retries;
            pause->start(*wait * 1000);
            return;
        }
        Reply limited =
            failed(Failure::RateLimited,
                   QStringLiteral("%1 is limiting requests and asked to wait; try again later.").arg(current->service),
                   status);
        Job job = std::move(*current);
        current.reset();
        if (job.context)
            job.done(limited);
        startNext();
        return;
    }
    Reply result;
    if (stopReason != Failure::None || r->error() != QNetworkReply::NoError || status >= 400) {
        result = failureOf(r);
    } else {
        if (body.size() <= bounds.maxBytes)
            body += r->read(bounds.maxBytes + 1 - body.size());
        if (body.size() > bounds.maxBytes) {
            stopReason = Failure::TooLarge;
            result = failureOf(r);
        } else {
            result.status = status;
            result.body = std::move(body);
        }
    }
    body.clear();
    Job job = std::move(*current);
    current.reset();
    QPointer<Http> self(this);
    if (job.context)
        job.done(result);
    if (self)
        startNext();
}

std::optional<QJsonObject> jsonObject(const QByteArray &body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool holdsControlCharacters(const QByteArray &json)
{
    const auto control = [](uint c) {
        return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0x7F && c < 0xA0);
    };
    for (qsizetype i = 0; i < json.size(); ++i) {
        const auto b = uchar(json[i]);
        if (b < 0x20 && control(b))
            return true;
        // C1 controls written as UTF-8: C2 80 to C2 9F.
        if (b == 0xC2 && i + 1 < json.size() && uchar(json[i + 1]) >= 0x80 && uchar(json[i + 1]) < 0xA0)
            return true;
        if (b != '\\')
            continue;
        // An escape: "\\" is a backslash, "\uXXXX" a character.
        if (i + 1 < json.size() && json[i + 1] == 'u' && i + 5 < json.size()) {
            bool ok = false;
            const uint c = json.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok && control(c))
                return true;
        }
        ++i;
    }
    return false;
}

QString cleanText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.isSpace())
            kept += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control)
            kept += c;
    }
    return kept.simplified();
}

QString firstLine(const QString &text)
{
    constexpr int longest = 160;
    const QString clean = cleanText(text);
    const int stop = clean.indexOf(QStringLiteral(". "));
    if (stop >= 0 && stop < longest)
        return clean.left(stop + 1);
    if (clean.size() <= longest)
        return clean;
    const int space = clean.lastIndexOf(QLatin1Char(' '), longest);
    return clean.left(space > 0 ? space : longest) + QChar(0x2026);
}

QString encodedQuery(const QList<std::pair<QString, QString>> &items)
{
    QByteArray query;
    for (const auto &[key, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    }
    return QString::fromLatin1(query);
}

} // namespace lookup
