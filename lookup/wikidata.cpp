// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/sources.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <algorithm>

namespace lookup {

namespace {

const QString Wikipedia = QStringLiteral("Wikipedia");
constexpr int MostActors = 8;
constexpr int MostGenres = 20;
constexpr int MostCandidates = 10;

// Film and the subclasses of it that films are most often filed under instead.
bool isFilmClass(const QString &id)
{
    static const QSet<QString> classes{
        QStringLiteral("Q11424"),    // film
        QStringLiteral("Q24869"),    // feature film
        QStringLiteral("Q24862"),    // short film
        QStringLiteral("Q202866"),   // animated film
        QStringLiteral("Q506240"),   // television film
        QStringLiteral("Q93204"),    // documentary film
        QStringLiteral("Q226730"),   // silent film
        QStringLiteral("Q229390"),   // 3D film
        QStringLiteral("Q20650540"), // anime film
        QStringLiteral("Q29168811"), // animated feature film
    };
    return classes.contains(id);
}

bool isItemId(const QString &id)
{
    static const QRegularExpression shape(QStringLiteral("^Q[1-9][0-9]{0,11}$"));
    return shape.match(id).hasMatch();
}

// The values of a property's statements that are not deprecated, preferred ones first.
QList<QJsonObject> values(const QJsonObject &entity, const char *property)
{
    QList<QJsonObject> preferred, normal;
    const QJsonArray statements =
        entity.value(QStringLiteral("claims")).toObject().value(QLatin1String(property)).toArray();
    for (const QJsonValue &s : statements) {
        const QJsonObject statement = s.toObject();
        const QString rank = statement.value(QStringLiteral("rank")).toString();
        if (rank == QStringLiteral("deprecated"))
            continue;
        const QJsonValue value = statement.value(QStringLiteral("mainsnak"))
                                     .toObject()
                                     .value(QStringLiteral("datavalue"))
                                     .toObject()
                                     .value(QStringLiteral("value"));
        if (!value.isObject())
            continue;
        (rank == QStringLiteral("preferred") ? preferred : normal) << value.toObject();
    }
    return preferred + normal;
}

QStringList itemValues(const QJsonObject &entity, const char *property)
{
    QStringList ids;
    for (const QJsonObject &v : values(entity, property)) {
        const QString id = v.value(QStringLiteral("id")).toString();
        if (isItemId(id) && !ids.contains(id))
            ids << id;
    }
    return ids;
}

// The earliest year of the property's dates ("+1979-05-25T00:00:00Z"), 0 when there is none.
int earliestYear(const QJsonObject &entity, const char *property)
{
    int earliest = 0;
    for (const QJsonObject &v : values(entity, property)) {
        const QString time = v.value(QStringLiteral("time")).toString();
        if (!time.startsWith(QLatin1Char('+')))
            continue;
        const int year = time.mid(1, time.indexOf(QLatin1Char('-'), 1) - 1).toInt();
        if (year > 0 && (earliest == 0 || year < earliest))
            earliest = year;
    }
    return earliest;
}

// The duration in whole minutes, from minutes, seconds or hours; 0 when there is none.
int minutes(const QJsonObject &entity)
{
    for (const QJsonObject &v : values(entity, "P2047")) {
        const double amount = v.value(QStringLiteral("amount")).toString().toDouble();
        const QString unit = v.value(QStringLiteral("unit")).toString().section(QLatin1Char('/'), -1);
        double m = 0;
        if (unit == QStringLiteral("Q7727"))
            m = amount;
        else if (unit == QStringLiteral("Q11574"))
            m = amount / 60;
        else if (unit == QStringLiteral("Q25235"))
            m = amount * 60;
        if (m >= 1 && m < 100000)
            return int(m + 0.5);
    }
    return 0;
}

QString inEnglish(const QJsonObject &entity, const char *what)
{
    const QJsonObject texts = entity.value(QLatin1String(what)).toObject();
    QString text = texts.value(QStringLiteral("en")).toObject().value(QStringLiteral("value")).toString();
    if (text.isEmpty())
        text = texts.value(QStringLiteral("mul")).toObject().value(QStringLiteral("value")).toString();
    return cleanText(text);
}

bool isFilm(const QJsonObject &entity)
{
    const QStringList classes = itemValues(entity, "P31");
    return std::any_of(classes.begin(), classes.end(), isFilmClass);
}

QUrl apiCall(const QUrl &base, const QList<std::pair<QString, QString>> &items)
{
    QUrl url = base;
    QList<std::pair<QString, QString>> all = items;
    all << std::pair{QStringLiteral("format"), QStringLiteral("json")};
    url.setQuery(encodedQuery(all));
    return url;
}

QUrl entitiesCall(const QUrl &base, const QStringList &ids, const QString &props)
{
    return apiCall(base, {{QStringLiteral("action"), QStringLiteral("wbgetentities")},
                          {QStringLiteral("ids"), ids.join(QLatin1Char('|'))},
                          {QStringLiteral("props"), props},
                          {QStringLiteral("languages"), QStringLiteral("en|mul")},
                          {QStringLiteral("sitefilter"), QStringLiteral("enwiki")}});
}

std::optional<QJsonObject> entitiesOf(const QByteArray &body)
{
    const auto answer = jsonObject(body);
    if (!answer || !answer->value(QStringLiteral("entities")).isObject())
        return std::nullopt;
    return answer->value(QStringLiteral("entities")).toObject();
}

// Every part of an entity that the details read, so that the films a search found need no second read.
const QString FilmProps = QStringLiteral("labels|descriptions|claims|sitelinks");

class WikidataSearch : public HttpRequest {
public:
    WikidataSearch(std::shared_ptr<Http> http, QUrl api, std::shared_ptr<FoundFilms> films, const QString &title,
                   int year)
        : HttpRequest(std::move(http), QStringLiteral("Wikidata")), api(std::move(api)), found(std::move(films)),
          year(year)
    {
        fetch(apiCall(this->api, {{QStringLiteral("action"), QStringLiteral("wbsearchentities")},
                                  {QStringLiteral("search"), title.trimmed()},
                                  {QStringLiteral("language"), QStringLiteral("en")},
                                  {QStringLiteral("uselang"), QStringLiteral("en")},
                                  {QStringLiteral("type"), QStringLiteral("item")},
                                  {QStringLiteral("limit"), QString::number(MostCandidates)}}),
              {}, sourceName(), [this](const QByteArray &body) { searched(body); });
    }

private:
    void searched(const QByteArray &body)
    {
        const auto answer = jsonObject(body);
        if (!answer || !answer->value(QStringLiteral("search")).isArray())
            return failBadAnswer(sourceName());
        for (const QJsonValue &v : answer->value(QStringLiteral("search")).toArray()) {
            const QJsonObject hit = v.toObject();
            const QString id = hit.value(QStringLiteral("id")).toString();
            if (!isItemId(id) || ids.contains(id))
                continue;
            ids << id;
            Candidate c;
            c.id = id;
            c.title = cleanText(hit.value(QStringLiteral("label")).toString());
            c.summary = firstLine(hit.value(QStringLiteral("description")).toString());
            hits << c;
        }
        if (ids.isEmpty())
            return finishWith(QList<Candidate>{});
        fetch(entitiesCall(api, ids, FilmProps), {}, sourceName(),
              [this](const QByteArray &entities) { filtered(entities); });
    }

    void filtered(const QByteArray &body)
    {
        const auto entities = entitiesOf(body);
        if (!entities)
            return failBadAnswer(sourceName());
        QList<Candidate> films;
        found->clear();
        for (Candidate c : hits) {
            const QJsonObject entity = entities->value(c.id).toObject();
            if (!isFilm(entity))
                continue;
            found->insert(c.id, entity);
            c.year = earliestYear(entity, "P577");
            const QString label = inEnglish(entity, "labels");
            if (!label.isEmpty())
                c.title = label;
            if (c.summary.isEmpty())
                c.summary = firstLine(inEnglish(entity, "descriptions"));
            if (!c.title.isEmpty())
                films << c;
        }
        if (year > 0)
            std::stable_partition(films.begin(), films.end(), [&](const Candidate &c) { return c.year == year; });
        finishWith(films);
    }

    QUrl api;
    std::shared_ptr<FoundFilms> found;
    int year;
    QStringList ids;
    QList<Candidate> hits;
};

class WikidataDetails : public HttpRequest {
public:
    WikidataDetails(std::shared_ptr<Http> http, QUrl api, QUrl summaries, const FoundFilms &films,
                    const Candidate &candidate)
        : HttpRequest(std::move(http), QStringLiteral("Wikidata")), api(std::move(api)), summaries(std::move(summaries))
    {
        movie[catalogue::Field::Title] = candidate.title;
        if (!isItemId(candidate.id)) {
            QTimer::singleShot(0, this, [this] { failBadAnswer(sourceName()); });
            return;
        }
        id = candidate.id;
        if (const auto known = films.constFind(id); known != films.cend()) {
            QTimer::singleShot(0, this, [this, entity = *known] { read(entity); });
            return;
        }
        fetch(entitiesCall(this->api, {id}, FilmProps), {}, sourceName(), [this](const QByteArray &body) {
            const auto entities = entitiesOf(body);
            if (!entities || !entities->value(id).isObject())
                return failBadAnswer(sourceName());
            read(entities->value(id).toObject());
        });
    }

private:
    void read(const QJsonObject &entity)
    {
        if (entity.contains(QStringLiteral("missing")))
            return failBadAnswer(sourceName());
        const QString label = inEnglish(entity, "labels");
        if (!label.isEmpty())
            movie[catalogue::Field::Title] = label;
        movie[catalogue::Field::Description] = inEnglish(entity, "descriptions");
        if (const int year = earliestYear(entity, "P577"))
            movie[catalogue::Field::Year] = QString::number(year);
        if (const int m = minutes(entity))
            movie[catalogue::Field::Time] = QString::number(m);
        genres = itemValues(entity, "P136").mid(0, MostGenres);
        // A few more than shown, in case some have no English name.
        cast = itemValues(entity, "P161").mid(0, 2 * MostActors);
        rating = itemValues(entity, "P1657").value(0);
        article = cleanText(entity.value(QStringLiteral("sitelinks"))
                                .toObject()
                                .value(QStringLiteral("enwiki"))
                                .toObject()
                                .value(QStringLiteral("title"))
                                .toString());
        QStringList wanted = genres + cast;
        if (!rating.isEmpty())
            wanted << rating;
        wanted.removeDuplicates();
        if (wanted.isEmpty())
            return summarise();
        fetch(entitiesCall(api, wanted, QStringLiteral("labels")), {}, sourceName(),
              [this](const QByteArray &labels) { named(labels); });
    }

    void named(const QByteArray &body)
    {
        const auto entities = entitiesOf(body);
        if (!entities)
            return failBadAnswer(sourceName());
        const auto labelOf = [&](const QString &item) { return inEnglish(entities->value(item).toObject(), "labels"); };
        QStringList genreLabels, names;
        for (const QString &g : genres)
            if (const QString l = labelOf(g); !l.isEmpty())
                genreLabels << l;
        for (const QString &a : cast)
            if (const QString l = labelOf(a); !l.isEmpty() && names.size() < MostActors)
                names << l;
        movie[catalogue::Field::Category] = categoryFromGenreLabels(genreLabels);
        movie[catalogue::Field::Actors] = names.join(QStringLiteral(", "));
        if (!rating.isEmpty())
            movie[catalogue::Field::Rating] = labelOf(rating);
        summarise();
    }

    void summarise()
    {
        if (article.isEmpty() || summaries.isEmpty())
            return finishWith(movie);
        QString path = summaries.path();
        while (path.endsWith(QLatin1Char('/')))
            path.chop(1);
        QUrl url = summaries;
        url.setPath(path + QStringLiteral("/page/summary/") +
                        QString::fromLatin1(QUrl::toPercentEncoding(QString(article).replace(' ', '_'))),
                    QUrl::TolerantMode);
        inSummary = true;
        fetch(url, {}, Wikipedia, [this](const QByteArray &body) {
            const auto page = jsonObject(body);
            const QString extract = page ? cleanText(page->value(QStringLiteral("extract")).toString()) : QString();
            if (!extract.isEmpty())
                movie[catalogue::Field::Description] = extract;
            finishWith(movie);
        });
    }

    Reply translate(const Reply &reply) const override
    {
        // Without the article the short description stays, so a failure there is none of the look-up.
        if (inSummary && reply.failure != Failure::None) {
            Reply kept;
            kept.status = reply.status;
            return kept;
        }
        return reply;
    }

    QUrl api;
    QUrl summaries;
    QString id;
    QStringList genres, cast;
    QString rating, article;
    bool inSummary = false;
    catalogue::Movie movie;
};

} // namespace

WikidataSource::WikidataSource(QUrl wikidata, QUrl wikipedia)
    : http(Http::forService(wikidata)), wikidata(std::move(wikidata)), wikipedia(std::move(wikipedia)),
      found(std::make_shared<FoundFilms>())
{
}

std::unique_ptr<Request> WikidataSource::search(const QString &title, int year)
{
    return std::make_unique<WikidataSearch>(http, wikidata, found, title, year);
}

std::unique_ptr<Request> WikidataSource::details(const Candidate &candidate)
{
    return std::make_unique<WikidataDetails>(http, wikidata, wikipedia, *found, candidate);
}

} // namespace lookup
