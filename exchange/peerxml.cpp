// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/peerxml.h"

#include "exchange/collectionxml.h"
#include "exchange/conversions.h"
#include "exchange/guardedxml.h"

#include <QRegularExpression>

namespace exchange {

namespace {

enum Column { Title, Plot, Genre, Actors, Review, Rating, Year, Time, ColumnCount };

struct Movie {
    QString fields[ColumnCount];
    QStringList genres, actors;
};

void appendMovie(Movie &m, int line, SourceTable &table)
{
    for (QString &g : m.genres)
        g = g.trimmed();
    m.genres.removeAll(QString());
    m.fields[Genre] = m.genres.join(QChar(GenreSeparator));
    for (QString &a : m.actors)
        a = a.trimmed();
    m.actors.removeAll(QString());
    m.fields[Actors] = m.actors.join(QStringLiteral(", "));
    table.beginRow(line);
    for (const QString &f : m.fields)
        table.appendCell(f.toUtf8());
}

// The text of the current element's child of that name, or, when the element has no
// children, its own text: Collectorz writes <genre><id>3</id><displayname>Drama</displayname></genre>.
QString childOrOwnText(GuardedReader &r, QStringView child)
{
    QString own, found;
    bool hasChildren = false, hasFound = false;
    while (r.next()) {
        auto &x = r.xml();
        if (x.isCharacters())
            own += x.text();
        else if (x.isStartElement()) {
            hasChildren = true;
            const bool wanted = !hasFound && x.name() == child;
            const QString text = r.text();
            if (wanted) {
                found = text;
                hasFound = true;
            }
        } else if (x.isEndElement())
            break;
    }
    return hasChildren ? found : own;
}

// The names of a list of people or genres: <genres><genre><name>Drama</name></genre>...
QStringList namedChildren(GuardedReader &r, QStringView item, QStringView name)
{
    QStringList out;
    while (r.nextChild()) {
        if (r.xml().name() == item)
            out << childOrOwnText(r, name);
        else
            r.skip();
    }
    return out;
}

// One <star> of a Collectorz cast: the person's name when the role is an actor's.
void readCollectorzStar(GuardedReader &r, Movie &m)
{
    QString role, name;
    while (r.nextChild()) {
        const QStringView element = r.xml().name();
        if (element == u"roleid")
            role = r.text().trimmed();
        else if (element == u"person")
            name = childOrOwnText(r, u"displayname");
        else if (element == u"displayname" && name.isEmpty())
            name = r.text();
        else
            r.skip();
    }
    if (role.isEmpty() || role == QLatin1String("dfActor"))
        m.actors << name;
}

// The fields of a Collectorz <movie>, some of which newer versions put in a <mainsection>.
void readCollectorzFields(GuardedReader &r, Movie &m, QString &date, bool inMainSection = false)
{
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        if (name == u"mainsection" && !inMainSection)
            readCollectorzFields(r, m, date, true);
        else if (name == u"title")
            m.fields[Title] = r.text();
        else if (name == u"plot")
            m.fields[Plot] = r.text();
        else if (name == u"genres")
            m.genres = namedChildren(r, u"genre", u"displayname");
        else if (name == u"cast") {
            while (r.nextChild()) {
                if (r.xml().name() == u"star")
                    readCollectorzStar(r, m);
                else
                    r.skip();
            }
        } else if (name == u"notes")
            m.fields[Review] = r.text();
        else if (name == u"mpaarating")
            m.fields[Rating] = childOrOwnText(r, u"displayname");
        else if (name == u"releasedate") {
            while (r.nextChild()) {
                if (r.xml().name() == u"year")
                    m.fields[Year] = childOrOwnText(r, u"displayname");
                else if (r.xml().name() == u"date")
                    date = r.text();
                else
                    r.skip();
            }
        } else if (name == u"runtime" || (name == u"runtimeminutes" && m.fields[Time].trimmed().isEmpty()))
            m.fields[Time] = r.text();
        else
            r.skip();
    }
}

void readCollectorzMovie(GuardedReader &r, SourceTable &table)
{
    const int line = int(r.xml().lineNumber());
    Movie m;
    QString date;
    readCollectorzFields(r, m, date);
    if (m.fields[Year].trimmed().isEmpty())
        m.fields[Year] = date;
    appendMovie(m, line, table);
}

// Data Crow writes a play length as "H:MM" or "H:MM:SS", and since version 5 as seconds.
QString dataCrowMinutes(const QString &text)
{
    static const QRegularExpression hm(QStringLiteral("^\\s*(\\d{1,3}):(\\d{1,2})(?::\\d{1,2})?\\s*$"));
    const QRegularExpressionMatch match = hm.match(text);
    if (match.hasMatch())
        return QString::number(match.captured(1).toInt() * 60 + match.captured(2).toInt());
    bool number = false;
    const qint64 seconds = text.trimmed().toLongLong(&number);
    if (number && seconds > 0 && seconds < 1000000)
        return QString::number((seconds + 30) / 60);
    return text;
}

void readDataCrowMovie(GuardedReader &r, SourceTable &table)
{
    const int line = int(r.xml().lineNumber());
    Movie m;
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        if (name == u"title")
            m.fields[Title] = r.text();
        else if (name == u"description")
            m.fields[Plot] = r.text();
        else if (name == u"genres" || name == u"genres-items")
            m.genres = namedChildren(r, u"genre", u"name");
        else if (name == u"actors" || name == u"actors-items")
            m.actors = namedChildren(r, u"actor", u"name");
        else if (name == u"comment")
            m.fields[Review] = r.text();
        else if (name == u"certification")
            m.fields[Rating] = r.text();
        else if (name == u"year")
            m.fields[Year] = r.text();
        else if (name == u"playlength")
            m.fields[Time] = dataCrowMinutes(r.text());
        else
            r.skip();
    }
    appendMovie(m, line, table);
}

// Griffith keeps the cast as lines of "Name as Role".
QStringList griffithActorNames(const QString &cast)
{
    QStringList names;
    for (QString line : cast.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts)) {
        const int role = line.indexOf(QLatin1String(" as "));
        if (role >= 0)
            line.truncate(role);
        names << line;
    }
    return names;
}

void readGriffithMovie(GuardedReader &r, SourceTable &table)
{
    const int line = int(r.xml().lineNumber());
    Movie m;
    QString originalTitle;
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        if (name == u"title")
            m.fields[Title] = r.text();
        else if (name == u"o_title")
            originalTitle = r.text();
        else if (name == u"plot")
            m.fields[Plot] = r.text();
        else if (name == u"genre")
            m.genres = splitGenres(r.text());
        else if (name == u"cast")
            m.actors = griffithActorNames(r.text());
        else if (name == u"notes")
            m.fields[Review] = r.text();
        else if (name == u"classification")
            m.fields[Rating] = r.text();
        else if (name == u"year")
            m.fields[Year] = r.text();
        else if (name == u"runtime")
            m.fields[Time] = r.text();
        else
            r.skip();
    }
    // A movie without a local title is known by its original one.
    if (m.fields[Title].trimmed().isEmpty())
        m.fields[Title] = originalTitle;
    appendMovie(m, line, table);
}

// Opens the document at its root element; the reason when it is not there: broken XML
// (Unreadable) or a document of another kind (WrongFormat).
platform::Failure openRoot(GuardedReader &r, QStringView root, const char *program)
{
    if (r.nextChild() && r.xml().name() == root)
        return {};
    if (platform::Failure broken = r.failure())
        return broken;
    return {platform::ErrorKind::WrongFormat, QString("It is not a %1 export.").arg(QLatin1String(program))};
}

platform::Failure finish(GuardedReader &r)
{
    while (r.next()) {
    }
    return r.failure();
}

// Reads to the end; a file that held other things but no movie is of another kind.
platform::Failure finishMovies(GuardedReader &r, const SourceTable &table, int others, const QString &whatItIs)
{
    if (platform::Failure error = finish(r))
        return error;
    if (table.rowCount() == 0 && others > 0)
        return {platform::ErrorKind::WrongFormat, whatItIs};
    return {};
}

// Reads every <movie> child of the current element; counts the children of other names.
void readMovies(GuardedReader &r, SourceTable &table, void (*readMovie)(GuardedReader &, SourceTable &), int &others)
{
    while (r.nextChild()) {
        if (r.xml().name() == u"movie") {
            readMovie(r, table);
        } else {
            ++others;
            r.skip();
        }
    }
}

const PeerXmlFormat formats[] = {
    {"movieinfo", SourceFormat::Collectorz, "Collectorz Movie Collector export (XML)", readCollectorzXml},
    {"data-crow-objects", SourceFormat::DataCrow, "Data Crow movie export (XML)", readDataCrowXml},
    {"root", SourceFormat::Griffith, "Griffith export (XML)", readGriffithXml},
};

} // namespace

platform::Failure readCollectorzXml(QByteArrayView xml, SourceTable &table)
{
    table = SourceTable();
    table.columns = {"title", "plot", "genres", "cast", "notes", "mpaarating", "releasedate", "runtime"};
    GuardedReader r(xml);
    if (platform::Failure error = openRoot(r, u"movieinfo", "Collectorz Movie Collector"))
        return error;
    bool list = false;
    int others = 0;
    while (r.nextChild()) {
        if (r.xml().name() == u"movielist") {
            list = true;
            readMovies(r, table, readCollectorzMovie, others);
        } else {
            r.skip();
        }
    }
    if (platform::Failure error = finish(r))
        return error;
    if (!list)
        return {platform::ErrorKind::WrongFormat,
                QStringLiteral("It holds no movies: it is a Collectorz file without a <movielist>.")};
    return {};
}

platform::Failure readDataCrowXml(QByteArrayView xml, SourceTable &table)
{
    table = SourceTable();
    table.columns = {"title", "description", "genres", "actors", "comment", "certification", "year", "playlength"};
    GuardedReader r(xml);
    if (platform::Failure error = openRoot(r, u"data-crow-objects", "Data Crow"))
        return error;
    // Version 5 puts the movies in a <movie-items>.
    int others = 0;
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        if (name == u"movie")
            readDataCrowMovie(r, table);
        else if (name == u"movie-items")
            readMovies(r, table, readDataCrowMovie, others);
        else {
            ++others;
            r.skip();
        }
    }
    return finishMovies(r, table, others, QStringLiteral("It holds no movies: it is a Data Crow export of another module."));
}

platform::Failure readGriffithXml(QByteArrayView xml, SourceTable &table)
{
    table = SourceTable();
    table.columns = {"title", "plot", "genre", "cast", "notes", "classification", "year", "runtime"};
    GuardedReader r(xml);
    if (platform::Failure error = openRoot(r, u"root", "Griffith"))
        return error;
    int others = 0;
    readMovies(r, table, readGriffithMovie, others);
    return finishMovies(r, table, others,
                        QStringLiteral("It is XML, but not a Griffith export: its <root> holds no <movie>."));
}

const PeerXmlFormat *peerXmlFormat(const QString &root)
{
    for (const PeerXmlFormat &f : formats)
        if (root == QLatin1String(f.root))
            return &f;
    return nullptr;
}

} // namespace exchange
