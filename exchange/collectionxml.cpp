// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/collectionxml.h"

#include "exchange/guardedxml.h"

namespace exchange {

namespace {

// The Tellico fields that hold the eight movie fields, in movie-field order.
const char *const tellicoFields[] = {"title",    "plot",          "genre", "cast",
                                     "comments", "certification", "year",  "running-time"};

// The movie field of a Tellico field name, or -1.
int tellicoField(QStringView name)
{
    for (int f = 0; f < 8; ++f)
        if (name == QLatin1String(tellicoFields[f]))
            return f;
    return -1;
}

// One value of a field: the text of the element, or of its first <column> when it is a
// row of a table field. Old files write a cast row as "Name::Role".
QString tellicoValue(GuardedReader &r, bool cast)
{
    QString plain, first;
    bool columns = false;
    while (r.next()) {
        auto &x = r.xml();
        if (x.isCharacters()) {
            plain += x.text();
        } else if (x.isStartElement()) {
            const QString text = r.text();
            if (!columns)
                first = text;
            columns = true;
        } else if (x.isEndElement()) {
            break;
        }
    }
    if (columns)
        return first;
    return cast ? plain.section(QStringLiteral("::"), 0, 0) : plain;
}

// Reads an entry whose fields come in either form: a field that allows several values
// as a plural element with one element per value (<genres><genre>..), a single-valued
// one as the plain element, repeated in old files. Blank values are left out, except in
// this program's own files, which come back as they were written.
void readTellicoEntry(GuardedReader &r, SourceTable &table, bool ownExport)
{
    const int line = int(r.xml().lineNumber());
    QStringList values[8];
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        int f = tellicoField(name);
        if (f >= 0) {
            values[f] << tellicoValue(r, f == 3);
            continue;
        }
        if (name.endsWith(u's'))
            f = tellicoField(name.chopped(1));
        if (f < 0) {
            r.skip();
            continue;
        }
        while (r.nextChild())
            values[f] << tellicoValue(r, f == 3);
    }
    table.beginRow(line);
    for (int f = 0; f < 8; ++f) {
        QStringList &v = values[f];
        if (!ownExport)
            v.removeIf([](const QString &value) { return value.trimmed().isEmpty(); });
        const QString joined = f == 2   ? v.join(QChar(GenreSeparator))
                               : f == 3 ? v.join(QStringLiteral(", "))
                                        : v.value(0);
        table.appendCell(joined.toUtf8());
    }
}

// Names from "Name (Role), Name (Role)" as older GCstar versions write actors.
QStringList gcstarActorNames(const QString &attribute)
{
    QStringList names;
    for (QString part : attribute.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int role = part.indexOf(QLatin1Char('('));
        if (role >= 0)
            part.truncate(role);
        if (!part.trimmed().isEmpty())
            names << part.trimmed();
    }
    return names;
}

// The first column of each <line> of a GCstar list field.
QStringList gcstarLines(GuardedReader &r)
{
    QStringList values;
    while (r.nextChild()) {
        if (r.xml().name() != u"line") {
            r.skip();
            continue;
        }
        bool first = true;
        while (r.nextChild()) {
            const QString text = r.text();
            if (first)
                values << text;
            first = false;
        }
    }
    return values;
}

void readGcstarItem(GuardedReader &r, SourceTable &table)
{
    const int line = int(r.xml().lineNumber());
    const QXmlStreamAttributes attributes = r.xml().attributes();
    auto attribute = [&](const char *name) { return attributes.value(QLatin1String(name)).toString(); };
    QString fields[8] = {attribute("title"),   attribute("synopsis"), QString(),         QString(),
                         attribute("comment"), attribute("age"),      attribute("date"), attribute("time")};
    QStringList genres = attribute("genre").split(QLatin1Char(','), Qt::SkipEmptyParts);
    QStringList actors = gcstarActorNames(attribute("actors"));
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        if (name == u"actors")
            actors = gcstarLines(r);
        else if (name == u"genre")
            genres = gcstarLines(r);
        else if (name == u"title")
            fields[0] = r.text();
        else if (name == u"synopsis")
            fields[1] = r.text();
        else if (name == u"comment")
            fields[4] = r.text();
        else
            r.skip();
    }
    for (QString &g : genres)
        g = g.trimmed();
    table.beginRow(line);
    fields[2] = genres.join(QChar(GenreSeparator));
    fields[3] = actors.join(QStringLiteral(", "));
    for (const QString &f : fields)
        table.appendCell(f.toUtf8());
}

platform::Failure finish(GuardedReader &r)
{
    while (r.next()) {
    }
    return r.failure();
}

// Broken XML where the root was looked for, else a document of another kind.
platform::Failure notRead(const GuardedReader &r, const QString &otherKind)
{
    if (platform::Failure broken = r.failure())
        return broken;
    return {platform::ErrorKind::WrongFormat, otherKind};
}

} // namespace

QString rootElementName(QByteArrayView xml)
{
    GuardedReader r(xml.first(std::min<qsizetype>(xml.size(), 1 << 16)));
    return r.nextChild() ? r.xml().name().toString() : QString();
}

platform::Failure readTellicoXml(QByteArrayView xml, SourceTable &table, bool &ownExport)
{
    table = SourceTable();
    table.columns = {"title", "plot", "genre", "cast", "comments", "certification", "year", "running-time"};
    ownExport = false;
    GuardedReader r(xml);
    if (!r.nextChild() || (r.xml().name() != u"tellico" && r.xml().name() != u"bookcase"))
        return notRead(r, QStringLiteral("It is not a Tellico collection."));
    while (r.nextChild()) {
        if (r.xml().name() != u"collection") {
            r.skip();
            continue;
        }
        const QXmlStreamAttributes a = r.xml().attributes();
        // Type 3 is Tellico's video collection.
        if (a.value(QLatin1String("type")) != u"3")
            return {platform::ErrorKind::WrongFormat,
                    QStringLiteral("It holds no movies: it is a Tellico collection of another kind.")};
        ownExport = a.value(QLatin1String("title")) == QLatin1String(OwnCollectionTitle);
        while (r.nextChild()) {
            if (r.xml().name() == u"entry")
                readTellicoEntry(r, table, ownExport);
            else
                r.skip();
        }
    }
    return finish(r);
}

platform::Failure readGcstarXml(QByteArrayView xml, SourceTable &table)
{
    table = SourceTable();
    table.columns = {"title", "synopsis", "genre", "actors", "comment", "age", "date", "time"};
    GuardedReader r(xml);
    if (!r.nextChild() || r.xml().name() != u"collection")
        return notRead(r, QStringLiteral("It is not a GCstar collection."));
    if (r.xml().attributes().value(QLatin1String("type")) != u"GCfilms")
        return {platform::ErrorKind::WrongFormat,
                QStringLiteral("It holds no movies: it is a GCstar collection of another kind.")};
    while (r.nextChild()) {
        if (r.xml().name() == u"item")
            readGcstarItem(r, table);
        else
            r.skip();
    }
    return finish(r);
}

} // namespace exchange
