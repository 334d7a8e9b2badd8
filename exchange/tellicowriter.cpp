#include "collectionxml.h"

#include <QXmlStreamWriter>

namespace exchange {

namespace {

// XML 1.0 carries tabs and line ends but no other control character.
bool fitsXml(QByteArrayView utf8)
{
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            return false;
    }
    // U+FFFE and U+FFFF are not characters either.
    return !utf8.contains("\xEF\xBF\xBE") && !utf8.contains("\xEF\xBF\xBF");
}

// Element text with carriage returns written as references, so that a reader gets
// them back instead of a normalised line end.
void writeText(QXmlStreamWriter &w, const char *element, QByteArrayView utf8)
{
    if (utf8.isEmpty() && qstrcmp(element, "title") != 0 && qstrcmp(element, "column") != 0)
        return;
    w.writeStartElement(QLatin1String(element));
    const QString text = QString::fromUtf8(utf8);
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r')) {
            w.writeCharacters(QStringView(text).sliced(from, i - from).toString());
            w.writeEntityReference(QStringLiteral("#13"));
            from = i + 1;
        }
    }
    w.writeCharacters(QStringView(text).sliced(from).toString());
    w.writeEndElement();
}

} // namespace

bool writeTellicoXml(qsizetype count, const std::function<MovieBytes(qsizetype)> &movieAt, QByteArray &xml,
                     QString &error)
{
    xml.clear();
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeDTD(QStringLiteral("<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD Tellico V11.0//EN\" "
                              "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">"));
    w.writeDefaultNamespace(QStringLiteral("http://periapsis.org/tellico/"));
    w.writeStartElement(QStringLiteral("tellico"));
    w.writeAttribute(QStringLiteral("syntaxVersion"), QStringLiteral("11"));
    w.writeStartElement(QStringLiteral("collection"));
    w.writeAttribute(QStringLiteral("title"), QLatin1String(OwnCollectionTitle));
    w.writeAttribute(QStringLiteral("type"), QStringLiteral("3"));
    w.writeStartElement(QStringLiteral("fields"));
    w.writeEmptyElement(QStringLiteral("field"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("_default"));
    w.writeEndElement();
    for (qsizetype i = 0; i < count; ++i) {
        const MovieBytes m = movieAt(i);
        for (const QByteArrayView &v : m) {
            if (!fitsXml(v)) {
                error = QString("The movie \"%1\" holds a control character that a Tellico file cannot store.")
                            .arg(QString::fromUtf8(m[0].first(std::min<qsizetype>(m[0].size(), 80))));
                return false;
            }
        }
        w.writeStartElement(QStringLiteral("entry"));
        w.writeAttribute(QStringLiteral("id"), QString::number(i + 1));
        writeText(w, "title", m[0]);
        if (!m[2].isEmpty()) {
            w.writeStartElement(QStringLiteral("genres"));
            writeText(w, "genre", m[2]);
            w.writeEndElement();
        }
        if (!m[3].isEmpty()) {
            // One cast row per name; joining the rows with ", " gives the text back.
            w.writeStartElement(QStringLiteral("casts"));
            const QString actors = QString::fromUtf8(m[3]);
            for (const QString &name : actors.split(QStringLiteral(", "))) {
                w.writeStartElement(QStringLiteral("cast"));
                writeText(w, "column", name.toUtf8());
                w.writeEndElement();
            }
            w.writeEndElement();
        }
        writeText(w, "plot", m[1]);
        writeText(w, "comments", m[4]);
        writeText(w, "certification", m[5]);
        writeText(w, "year", m[6]);
        writeText(w, "running-time", m[7]);
        w.writeEndElement();
    }
    w.writeEndDocument();
    return !w.hasError();
}

} // namespace exchange
