// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lookup/http.h"
#include "lookup/source.h"

#include <QHash>
#include <QJsonObject>
#include <QUrl>
#include <memory>

namespace lookup {

// A request made of one or more GETs through its source's queue. Deleting or aborting it drops them.
class HttpRequest : public Request {
    Q_OBJECT
public:
    HttpRequest(std::shared_ptr<Http> http, QString sourceName);
    ~HttpRequest() override;
    void abort() override;

protected:
    // Runs ok with the body; a failure ends the request with the failure's message.
    void fetch(const QUrl &url, const Headers &headers, const QString &service,
               std::function<void(const QByteArray &)> ok);
    // Lets a source read a failure its own way (a refused key) before it ends the request.
    virtual Reply translate(const Reply &reply) const { return reply; }
    void failBadAnswer(const QString &service);
    const QString &sourceName() const { return name; }

private:
    std::shared_ptr<Http> http;
    QString name;
};

// The films of the latest search, as Wikidata sent them, by item.
using FoundFilms = QHash<QString, QJsonObject>;

// Wikidata's Action API for the films, Wikipedia's REST summary for the article's first lines.
// The details of a film the latest search found start from the entity that search read.
class WikidataSource : public Source {
public:
    WikidataSource(QUrl wikidata, QUrl wikipedia);
    QString name() const override { return QStringLiteral("Wikidata"); }
    std::unique_ptr<Request> search(const QString &title, int year) override;
    std::unique_ptr<Request> details(const Candidate &candidate) override;
    void setLimits(const Limits &limits) { http->setLimits(limits); }

private:
    std::shared_ptr<Http> http;
    QUrl wikidata;
    QUrl wikipedia;
    std::shared_ptr<FoundFilms> found;
};

// The Movie Database's version 3 API, with a v3 API key or a v4 read access token.
class TmdbSource : public Source {
public:
    TmdbSource(QUrl address, QString key);
    QString name() const override { return QStringLiteral("The Movie Database"); }
    std::unique_ptr<Request> search(const QString &title, int year) override;
    std::unique_ptr<Request> details(const Candidate &candidate) override;
    void setLimits(const Limits &limits) { http->setLimits(limits); }
    // True when the key is a read access token (a JWT), sent as a bearer token rather than api_key.
    static bool isAccessToken(const QString &key);

private:
    std::shared_ptr<Http> http;
    QUrl address;
    QString key;
};

// The category of a movie from Wikidata's genre labels ("horror film" is Horror), else the first label.
QString categoryFromGenreLabels(const QStringList &labels);

} // namespace lookup
