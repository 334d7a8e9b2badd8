// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/collectionxml.h"

#include "platform/textdecode.h"

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

// Text with the markup characters escaped, and carriage returns written as references
// so that a reader gets them back instead of a normalised line end.
void appendEscaped(QByteArray &out, QByteArrayView utf8)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char *entity = nullptr;
        switch (utf8[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '\r':
            entity = "&#13;";
            break;
        default:
            continue;
        }
        out.append(utf8.sliced(from, i - from));
        out.append(entity);
        from = i + 1;
    }
    out.append(utf8.sliced(from));
}

void appendElement(QByteArray &out, const char *indent, const char *name, QByteArrayView utf8)
{
    out.append(indent).append('<').append(name).append('>');
    appendEscaped(out, utf8);
    out.append("</").append(name).append(">\n");
}

} // namespace

platform::Failure writeTellicoXml(qsizetype count, const std::function<MovieBytes(qsizetype)> &movieAt, QByteArray &xml)
{
    xml.clear();
    xml.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD Tellico V11.0//EN\" "
               "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">\n"
               "<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
               " <collection title=\"")
        .append(OwnCollectionTitle)
        .append("\" type=\"3\">\n"
                "  <fields>\n"
                // The fields the eight movie fields go to, declared as Tellico declares its own.
                "   <field name=\"title\" title=\"Title\" category=\"General\" type=\"1\" flags=\"8\"/>\n"
                "   <field name=\"genre\" title=\"Genre\" category=\"General\" type=\"1\" flags=\"7\"/>\n"
                "   <field name=\"cast\" title=\"Cast\" category=\"Cast\" type=\"8\" flags=\"7\">\n"
                "    <prop name=\"columns\">2</prop>\n"
                "    <prop name=\"column1\">Actor/Actress</prop>\n"
                "    <prop name=\"column2\">Role</prop>\n"
                "   </field>\n"
                "   <field name=\"plot\" title=\"Plot Summary\" category=\"Plot Summary\" type=\"2\" flags=\"0\"/>\n"
                "   <field name=\"comments\" title=\"Comments\" category=\"Personal\" type=\"2\" flags=\"0\"/>\n"
                "   <field name=\"certification\" title=\"Certification\" category=\"General\" type=\"1\" "
                "flags=\"2\"/>\n"
                "   <field name=\"year\" title=\"Year\" category=\"General\" type=\"6\" flags=\"2\"/>\n"
                "   <field name=\"running-time\" title=\"Running Time\" category=\"Features\" type=\"6\" "
                "flags=\"0\"/>\n"
                "  </fields>\n");
    for (qsizetype i = 0; i < count; ++i) {
        const MovieBytes m = movieAt(i);
        for (const QByteArrayView &v : m) {
            const bool text = platform::isValidUtf8(v);
            if (!text || !fitsXml(v)) {
                xml.clear();
                return {platform::ErrorKind::Other,
                        QString("The movie \"%1\" holds %2 that a Tellico file cannot store.")
                            .arg(QString::fromUtf8(m[0].first(std::min<qsizetype>(m[0].size(), 80))),
                                 text ? "a control character" : "bytes that are not text (invalid UTF-8)")};
            }
        }
        xml.append("  <entry id=\"").append(QByteArray::number(i + 1)).append("\">\n");
        appendElement(xml, "   ", "title", m[0]);
        if (!m[2].isEmpty()) {
            xml.append("   <genres>\n");
            appendElement(xml, "    ", "genre", m[2]);
            xml.append("   </genres>\n");
        }
        if (!m[3].isEmpty()) {
            // One cast row per name; joining the rows with ", " gives the text back.
            xml.append("   <casts>\n");
            qsizetype from = 0;
            for (;;) {
                const qsizetype at = m[3].indexOf(QByteArrayView(", "), from);
                xml.append("    <cast>");
                appendElement(xml, "", "column", m[3].sliced(from, (at < 0 ? m[3].size() : at) - from));
                xml.chop(1);
                xml.append("</cast>\n");
                if (at < 0)
                    break;
                from = at + 2;
            }
            xml.append("   </casts>\n");
        }
        const char *const names[] = {nullptr,    "plot",          nullptr, nullptr,
                                     "comments", "certification", "year",  "running-time"};
        for (int f : {1, 4, 5, 6, 7})
            if (!m[size_t(f)].isEmpty())
                appendElement(xml, "   ", names[f], m[size_t(f)]);
        xml.append("  </entry>\n");
    }
    xml.append(" </collection>\n</tellico>\n");
    return {};
}

} // namespace exchange
