// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/sources.h"

#include "exchange/conversions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

namespace lookup {

namespace {

const QString Name = QStringLiteral("The Movie Database");
constexpr int MostActors = 8;

int yearOf(const QString &date)
{
    const int year = date.left(4).toInt();
    return date.size() >= 4 && year > 1800 ? year : 0;
}

QString certificationIn(const QJsonObject &movie)
{
    const QJsonArray countries =
        movie.value(QStringLiteral("release_dates")).toObject().value(QStringLiteral("results")).toArray();
    for (const QJsonValue &c : countries) {
        const QJsonObject country = c.toObject();
        if (country.value(QStringLiteral("iso_3166_1")).toString() != QStringLiteral("US"))
            continue;
        QString any;
        for (const QJsonValue &r : country.value(QStringLiteral("release_dates")).toArray()) {
            const QJsonObject release = r.toObject();
            const QString certification = cleanText(release.value(QStringLiteral("certification")).toString());
            if (certification.isEmpty())
                continue;
            // The theatrical release's certification before that of a later one.
            if (release.value(QStringLiteral("type")).toInt() == 3)
                return certification;
            if (any.isEmpty())
                any = certification;
        }
        return any;
    }
    return {};
}

class TmdbRequest : public HttpRequest {
public:
    TmdbRequest(std::shared_ptr<Http> http, const QUrl &address, const QString &key)
        : HttpRequest(std::move(http), Name), address(address), key(key)
    {
    }

protected:
    void call(const QString &path, QList<std::pair<QString, QString>> items, std::function<void(const QByteArray &)> ok)
    {
        if (key.isEmpty()) {
            QTimer::singleShot(0, this, [this] {
                fail(Failure::KeyRefused, QStringLiteral("The Movie Database needs an API key or a read access "
                                                         "token; enter one under Options, Online Look-Up."));
            });
            return;
        }
        Headers headers;
        if (TmdbSource::isAccessToken(key))
            headers << std::pair{QByteArrayLiteral("Authorization"), QByteArrayLiteral("Bearer ") + key.toLatin1()};
        else
            items << std::pair{QStringLiteral("api_key"), key};
        QUrl url = address;
        QString base = url.path();
        while (base.endsWith(QLatin1Char('/')))
            base.chop(1);
        url.setPath(base + path);
        url.setQuery(encodedQuery(items));
        fetch(url, headers, Name, std::move(ok));
    }

    Reply translate(const Reply &reply) const override
    {
        if (reply.failure == Failure::HttpError && (reply.status == 401 || reply.status == 403)) {
            Reply refused = reply;
            refused.failure = Failure::KeyRefused;
            refused.message = QStringLiteral("The Movie Database refused the key.");
            return refused;
        }
        return reply;
    }

private:
    QUrl address;
    QString key;
};

class TmdbSearch : public TmdbRequest {
public:
    TmdbSearch(std::shared_ptr<Http> http, const QUrl &address, const QString &key, const QString &title, int year)
        : TmdbRequest(std::move(http), address, key)
    {
        QList<std::pair<QString, QString>> items{{QStringLiteral("query"), title.trimmed()},
                                                 {QStringLiteral("include_adult"), QStringLiteral("false")},
                                                 {QStringLiteral("language"), QStringLiteral("en-US")}};
        if (year > 0)
            items << std::pair{QStringLiteral("year"), QString::number(year)};
        call(QStringLiteral("/3/search/movie"), items, [this](const QByteArray &body) { read(body); });
    }

private:
    void read(const QByteArray &body)
    {
        const auto answer = jsonObject(body);
        if (!answer || !answer->value(QStringLiteral("results")).isArray())
            return failBadAnswer(Name);
        QList<Candidate> found;
        for (const QJsonValue &v : answer->value(QStringLiteral("results")).toArray()) {
            const QJsonObject hit = v.toObject();
            const qint64 id = hit.value(QStringLiteral("id")).toInteger();
            Candidate c;
            c.title = cleanText(hit.value(QStringLiteral("title")).toString());
            if (id <= 0 || c.title.isEmpty())
                continue;
            c.id = QString::number(id);
            c.year = yearOf(hit.value(QStringLiteral("release_date")).toString());
            c.summary = firstLine(hit.value(QStringLiteral("overview")).toString());
            found << c;
        }
        finishWith(found);
    }
};

class TmdbDetails : public TmdbRequest {
public:
    TmdbDetails(std::shared_ptr<Http> http, const QUrl &address, const QString &key, const Candidate &candidate)
        : TmdbRequest(std::move(http), address, key)
    {
        static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,15}$"));
        if (!digits.match(candidate.id).hasMatch()) {
            QTimer::singleShot(0, this, [this] { failBadAnswer(Name); });
            return;
        }
        call(QStringLiteral("/3/movie/") + candidate.id,
             {{QStringLiteral("append_to_response"), QStringLiteral("credits,release_dates")},
              {QStringLiteral("language"), QStringLiteral("en-US")}},
             [this](const QByteArray &body) { read(body); });
    }

private:
    void read(const QByteArray &body)
    {
        const auto answer = jsonObject(body);
        if (!answer || !answer->value(QStringLiteral("title")).isString())
            return failBadAnswer(Name);
        catalogue::Movie movie;
        movie[catalogue::Field::Title] = cleanText(answer->value(QStringLiteral("title")).toString());
        movie[catalogue::Field::Description] = cleanText(answer->value(QStringLiteral("overview")).toString());
        QStringList genres;
        for (const QJsonValue &g : answer->value(QStringLiteral("genres")).toArray())
            if (const QString name = cleanText(g.toObject().value(QStringLiteral("name")).toString()); !name.isEmpty())
                genres << name;
        movie[catalogue::Field::Category] = exchange::categoryFrom(genres);
        QStringList names;
        for (const QJsonValue &a :
             answer->value(QStringLiteral("credits")).toObject().value(QStringLiteral("cast")).toArray()) {
            if (names.size() == MostActors)
                break;
            if (const QString name = cleanText(a.toObject().value(QStringLiteral("name")).toString()); !name.isEmpty())
                names << name;
        }
        movie[catalogue::Field::Actors] = names.join(QStringLiteral(", "));
        movie[catalogue::Field::Rating] = certificationIn(*answer);
        if (const int year = yearOf(answer->value(QStringLiteral("release_date")).toString()))
            movie[catalogue::Field::Year] = QString::number(year);
        if (const int runtime = answer->value(QStringLiteral("runtime")).toInt(); runtime > 0)
            movie[catalogue::Field::Time] = QString::number(runtime);
        finishWith(movie);
    }
};

} // namespace

TmdbSource::TmdbSource(QUrl address, QString key)
    : http(Http::forService(address)), address(std::move(address)), key(std::move(key))
{
}

bool TmdbSource::isAccessToken(const QString &key)
{
    static const QRegularExpression jwt(QStringLiteral("^[A-Za-z0-9_-]+\\.[A-Za-z0-9_-]+\\.[A-Za-z0-9_-]+$"));
    return key.size() > 64 && jwt.match(key).hasMatch();
}

std::unique_ptr<Request> TmdbSource::search(const QString &title, int year)
{
    return std::make_unique<TmdbSearch>(http, address, key, title, year);
}

std::unique_ptr<Request> TmdbSource::details(const Candidate &candidate)
{
    return std::make_unique<TmdbDetails>(http, address, key, candidate);
}

} // namespace lookup
