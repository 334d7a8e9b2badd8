// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange/delimited.h"
#include "exchange/sourcetable.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace exchange {

// Several genres of one movie in a single cell, kept apart by this character.
constexpr char GenreSeparator = '\x1e';

// The collection title of the Tellico files this program writes.
inline const char *const OwnCollectionTitle = "Moviary";

// Reads the video entries of a Tellico document into a table whose eight columns are
// the Tellico fields that hold the eight movie fields, in movie-field order (title,
// plot, genre, cast, comments, certification, year, running-time). Cast names only,
// joined with ", "; genres joined with GenreSeparator. ownExport tells whether this
// program wrote the file. Broken or refused XML is Unreadable; another document, or a
// collection of another type, WrongFormat.
platform::Failure readTellicoXml(QByteArrayView xml, SourceTable &table, bool &ownExport);

// Reads the items of a GCstar movie collection (GCfilms) the same way: title,
// synopsis, genre, actors, comment, age, date, time. The score ("rating") is left out.
platform::Failure readGcstarXml(QByteArrayView xml, SourceTable &table);

// What the root element of an XML document is called, or an empty text.
QString rootElementName(QByteArrayView xml);

// A Tellico video collection holding the movies. Fails, naming the movie, when a field
// holds a character that XML cannot carry.
platform::Failure writeTellicoXml(qsizetype count, const std::function<MovieBytes(qsizetype)> &movieAt,
                                  QByteArray &xml);

} // namespace exchange
