// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QBuffer>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QXmlStreamReader>

namespace exchange {

// Reads XML tokens, refusing what could make the parser expand text of the file's
// own making: any entity declaration in a DOCTYPE and any entity it cannot resolve.
// A DOCTYPE that only names an outside DTD (as Tellico's does) is fine; nothing is
// ever fetched. The text is read where it lies (it must outlive the reader) through a
// device, so that the parser decodes it a piece at a time instead of copying it whole.
class GuardedReader {
public:
    explicit GuardedReader(QByteArrayView xml)
        : bytes_(QByteArray::fromRawData(xml.data(), xml.size())), device_(&bytes_)
    {
        device_.open(QIODevice::ReadOnly);
        reader_.setDevice(&device_);
    }
    GuardedReader(const GuardedReader &) = delete;
    GuardedReader &operator=(const GuardedReader &) = delete;

    QXmlStreamReader &xml() { return reader_; }

    // The next start element at or below the current level; false at the end of the
    // parent, or on an error.
    bool nextChild()
    {
        while (next()) {
            if (reader_.isStartElement())
                return true;
            if (reader_.isEndElement())
                return false;
        }
        return false;
    }

    // Text of the current element and its children.
    QString text()
    {
        QString out;
        int depth = 1;
        while (depth > 0 && next()) {
            if (reader_.isCharacters())
                out += reader_.text();
            else if (reader_.isStartElement())
                ++depth;
            else if (reader_.isEndElement())
                --depth;
        }
        return out;
    }

    void skip()
    {
        int depth = 1;
        while (depth > 0 && next()) {
            if (reader_.isStartElement())
                ++depth;
            else if (reader_.isEndElement())
                --depth;
        }
    }

    bool next()
    {
        if (!refusal_.isEmpty())
            return false;
        const auto token = reader_.readNext();
        if (token == QXmlStreamReader::DTD &&
            (!reader_.entityDeclarations().isEmpty() || reader_.text().contains(QLatin1String("<!ENTITY")))) {
            refusal_ = QStringLiteral("It declares entities in its DOCTYPE, which this program does not read.");
            return false;
        }
        if (token == QXmlStreamReader::EntityReference) {
            refusal_ = QString("It refers to an entity \"%1\" that is not part of XML.").arg(reader_.name());
            return false;
        }
        return token != QXmlStreamReader::Invalid && token != QXmlStreamReader::EndDocument;
    }

    // What stopped the reading: a refusal or broken XML, both Unreadable; none when the
    // document read to its end (or as far as asked) without a problem.
    platform::Failure failure() const
    {
        if (!refusal_.isEmpty())
            return {platform::ErrorKind::Unreadable, refusal_};
        if (reader_.hasError())
            return {platform::ErrorKind::Unreadable, QString("It is not well-formed XML (line %1: %2).")
                                                         .arg(reader_.lineNumber())
                                                         .arg(reader_.errorString())};
        return {};
    }

private:
    QByteArray bytes_;
    QBuffer device_;
    QXmlStreamReader reader_;
    QString refusal_;
};

} // namespace exchange
