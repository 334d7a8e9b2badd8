// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/conversions.h"

#include "catalogue/categories.h"

#include <QHash>
#include <QRegularExpression>

namespace exchange {

using catalogue::Field;

namespace {

QString squeezed(const QString &header)
{
    QString key;
    for (QChar c : header)
        if (c.isLetterOrNumber())
            key += c.toCaseFolded();
    return key;
}

struct Synonym {
    Field field;
    int rank; // lower is plainer
};

const QHash<QString, Synonym> &synonyms()
{
    static const QHash<QString, Synonym> table = [] {
        QHash<QString, Synonym> t;
        auto add = [&t](Field f, std::initializer_list<const char *> names) {
            int rank = 0;
            for (const char *n : names)
                t.insert(QString::fromLatin1(n), {f, rank++});
        };
        add(Field::Title, {"title", "name", "film", "movie", "movietitle", "filmtitle"});
        add(Field::Description, {"description", "plot", "synopsis", "overview", "summary"});
        add(Field::Category, {"category", "genre", "genres"});
        add(Field::Actors, {"actors", "cast", "stars", "starring", "actor"});
        add(Field::Review, {"review", "comments", "comment", "notes", "myreview", "note"});
        add(Field::Rating, {"rating", "certification", "mpaa", "rated", "agerating", "mpaarating", "certificate"});
        add(Field::Year, {"year", "releaseyear", "released", "releasedate"});
        add(Field::Time, {"time", "runtime", "runningtime", "length", "duration", "runtimemins", "runtimeminutes"});
        return t;
    }();
    return table;
}

int number(const QRegularExpressionMatch &m, int group) { return m.captured(group).toInt(); }

} // namespace

std::optional<Field> fieldForHeader(const QString &header)
{
    const auto it = synonyms().constFind(squeezed(header));
    if (it == synonyms().constEnd())
        return std::nullopt;
    return it->field;
}

std::vector<std::optional<Field>> mappingForHeader(const QStringList &columns)
{
    std::vector<std::optional<Field>> mapping(size_t(columns.size()));
    int bestRank[catalogue::FieldCount];
    int bestColumn[catalogue::FieldCount];
    std::fill(std::begin(bestColumn), std::end(bestColumn), -1);
    for (int c = 0; c < columns.size(); ++c) {
        const auto it = synonyms().constFind(squeezed(columns[c]));
        if (it == synonyms().constEnd())
            continue;
        const int f = catalogue::index(it->field);
        if (bestColumn[f] < 0 || it->rank < bestRank[f]) {
            bestColumn[f] = c;
            bestRank[f] = it->rank;
        }
    }
    for (int f = 0; f < catalogue::FieldCount; ++f)
        if (bestColumn[f] >= 0)
            mapping[size_t(bestColumn[f])] = catalogue::fieldAt(f);
    return mapping;
}

bool isOwnLayout(const QStringList &columns) { return columns == catalogue::fieldNames(); }

QString yearFrom(const QString &text)
{
    static const QRegularExpression year(QStringLiteral("(?<![0-9])(1[89][0-9]{2}|2[01][0-9]{2})(?![0-9])"));
    const QRegularExpressionMatch m = year.match(text);
    return m.hasMatch() ? m.captured(1) : text;
}

QString minutesFrom(const QString &text)
{
    const QString t = text.trimmed();
    static const QRegularExpression plain(QStringLiteral("^([0-9]{1,4})\\s*(m|min|mins|minutes?|')?\\.?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hours(
        QStringLiteral(
            "^([0-9]{1,2})\\s*(?:h|hr|hrs|hours?)\\.?\\s*(?:([0-9]{1,2})\\s*(?:m|min|mins|minutes?)?\\.?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression clock(QStringLiteral("^([0-9]{1,2}):([0-5][0-9])(?::([0-5][0-9]))?$"));
    static const QRegularExpression iso(QStringLiteral("^PT(?:([0-9]{1,2})H)?(?:([0-9]{1,4})M)?(?:[0-9]{1,2}S)?$"),
                                        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch m;
    if ((m = plain.match(t)).hasMatch())
        return QString::number(number(m, 1));
    if ((m = hours.match(t)).hasMatch())
        return QString::number(number(m, 1) * 60 + number(m, 2));
    if ((m = clock.match(t)).hasMatch())
        return QString::number(number(m, 1) * 60 + number(m, 2));
    if ((m = iso.match(t)).hasMatch() && (m.hasCaptured(1) || m.hasCaptured(2)))
        return QString::number(number(m, 1) * 60 + number(m, 2));
    return text;
}

QString certificationFrom(const QString &text)
{
    QString t = text.trimmed();
    // A score: "4.5", "8", "8/10", "85%", "3.5 stars".
    static const QRegularExpression score(QStringLiteral("^[0-9]+([.,][0-9]+)?\\s*(/\\s*[0-9]+|%|\\s*stars?)?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (score.match(t).hasMatch())
        return QString();
    static const QRegularExpression country(QStringLiteral("\\s*\\([^()]*\\)$"));
    t.remove(country);
    return t;
}

QStringList splitGenres(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("\\s*[,;/|]\\s*"));
    QStringList genres = text.trimmed().split(separators, Qt::SkipEmptyParts);
    return genres;
}

QString categoryFrom(const QStringList &genres)
{
    static const QHash<QString, QString> obvious{{"sciencefiction", "Sci-Fi"},
                                                 {"scifi", "Sci-Fi"},
                                                 {"sf", "Sci-Fi"},
                                                 {"docu", "Documentary"},
                                                 {"documentaries", "Documentary"},
                                                 {"biopic", "Biography"},
                                                 {"biographical", "Biography"},
                                                 {"sport", "Sports"},
                                                 {"music", "Musical"},
                                                 {"musicals", "Musical"},
                                                 {"thriller", "Suspense"},
                                                 {"educational", "Instructional"},
                                                 {"howto", "Instructional"},
                                                 {"comedies", "Comedy"},
                                                 {"dramas", "Drama"},
                                                 {"mysteries", "Mystery"},
                                                 {"biographies", "Biography"},
                                                 {"documentaire", "Documentary"},
                                                 {"horreur", "Horror"},
                                                 {"sciencefictionfantasy", "Sci-Fi"}};
    for (const QString &g : genres) {
        const QString key = squeezed(g);
        for (const QString &c : catalogue::categoryNames())
            if (key == squeezed(c))
                return c;
        const auto it = obvious.constFind(key);
        if (it != obvious.constEnd())
            return *it;
    }
    return genres.value(0).trimmed();
}

QString certificationFromAge(const QString &text)
{
    bool number = false;
    const int age = text.trimmed().toInt(&number);
    if (!number)
        return certificationFrom(text);
    if (age <= 0)
        return QString();
    if (age == 1 || age == 3 || age == 4)
        return QStringLiteral("G");
    if (age == 2 || age <= 10)
        return QStringLiteral("PG");
    return age <= 16 ? QStringLiteral("PG-13") : QStringLiteral("R");
}

QString joinedNames(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[,;|]"));
    QStringList names;
    for (const QString &name : text.split(separators)) {
        const QString n = name.trimmed();
        if (!n.isEmpty())
            names << n;
    }
    return names.join(QStringLiteral(", "));
}

} // namespace exchange
