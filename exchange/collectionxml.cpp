// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/collectionxml.h"

#include "exchange/guardedxml.h"

namespace exchange {

namespace {

// "Name::Role" in old Tellico files, a column per part in newer ones.
QString tellicoCastName(GuardedReader &r)
{
    QString name;
    bool first = true;
    QString plain;
    while (r.next()) {
        auto &x = r.xml();
        if (x.isCharacters())
            plain += x.text();
        else if (x.isStartElement()) {
            const QString text = r.text();
            if (first)
                name = text;
            first = false;
        } else if (x.isEndElement())
            break;
    }
    return first ? plain.section(QStringLiteral("::"), 0, 0) : name;
}

void readTellicoEntry(GuardedReader &r, SourceTable &table)
{
    QString fields[8];
    QStringList genres, cast;
    while (r.nextChild()) {
        const QStringView name = r.xml().name();
        if (name == u"title")
            fields[0] = r.text();
        else if (name == u"plot")
            fields[1] = r.text();
        else if (name == u"genre")
            genres << r.text();
        else if (name == u"genres") {
            while (r.nextChild())
                genres << r.text();
        } else if (name == u"cast")
            cast << tellicoCastName(r);
        else if (name == u"casts") {
            while (r.nextChild())
                cast << tellicoCastName(r);
        } else if (name == u"comments")
            fields[4] = r.text();
        else if (name == u"certification")
            fields[5] = r.text();
        else if (name == u"certifications") {
            while (r.nextChild()) {
                const QString c = r.text();
                if (fields[5].isEmpty())
                    fields[5] = c;
            }
        } else if (name == u"year")
            fields[6] = r.text();
        else if (name == u"running-time")
            fields[7] = r.text();
        else
            r.skip();
    }
    table.beginRow(int(r.xml().lineNumber()));
    fields[2] = genres.join(QChar(GenreSeparator));
    fields[3] = cast.join(QStringLiteral(", "));
    for (const QString &f : fields)
        table.appendCell(f.toUtf8());
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
    table.beginRow(int(r.xml().lineNumber()));
    fields[2] = genres.join(QChar(GenreSeparator));
    fields[3] = actors.join(QStringLiteral(", "));
    for (const QString &f : fields)
        table.appendCell(f.toUtf8());
}

bool finish(GuardedReader &r, QString &error)
{
    while (r.next()) {
    }
    return !r.failed(error);
}

} // namespace

QString rootElementName(QByteArrayView xml)
{
    GuardedReader r(xml.first(std::min<qsizetype>(xml.size(), 1 << 16)));
    return r.nextChild() ? r.xml().name().toString() : QString();
}

bool readTellicoXml(QByteArrayView xml, SourceTable &table, bool &ownExport, QString &error)
{
    table = SourceTable();
    table.columns = {"title", "plot", "genre", "cast", "comments", "certification", "year", "running-time"};
    ownExport = false;
    GuardedReader r(xml);
    if (!r.nextChild() || (r.xml().name() != u"tellico" && r.xml().name() != u"bookcase")) {
        if (!r.failed(error))
            error = QStringLiteral("It is not a Tellico collection.");
        return false;
    }
    while (r.nextChild()) {
        if (r.xml().name() != u"collection") {
            r.skip();
            continue;
        }
        const QXmlStreamAttributes a = r.xml().attributes();
        // Type 3 is Tellico's video collection.
        if (a.value(QLatin1String("type")) != u"3") {
            error = QStringLiteral("It holds no movies: it is a Tellico collection of another kind.");
            return false;
        }
        ownExport = a.value(QLatin1String("title")) == QLatin1String(OwnCollectionTitle);
        while (r.nextChild()) {
            if (r.xml().name() == u"entry")
                readTellicoEntry(r, table);
            else
                r.skip();
        }
    }
    return finish(r, error);
}

bool readGcstarXml(QByteArrayView xml, SourceTable &table, QString &error)
{
    table = SourceTable();
    table.columns = {"title", "synopsis", "genre", "actors", "comment", "age", "date", "time"};
    GuardedReader r(xml);
    if (!r.nextChild() || r.xml().name() != u"collection") {
        if (!r.failed(error))
            error = QStringLiteral("It is not a GCstar collection.");
        return false;
    }
    if (r.xml().attributes().value(QLatin1String("type")) != u"GCfilms") {
        error = QStringLiteral("It holds no movies: it is a GCstar collection of another kind.");
        return false;
    }
    while (r.nextChild()) {
        if (r.xml().name() == u"item")
            readGcstarItem(r, table);
        else
            r.skip();
    }
    return finish(r, error);
}

} // namespace exchange
