// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange/importer.h"
#include "exchange/sourcetable.h"

#include <QByteArrayView>
#include <QString>

namespace exchange {

// Each reader fills a table whose eight columns are the elements that hold the eight
// movie fields, in movie-field order (title, plot, genre, actors, review, rating, year,
// time); genres joined with GenreSeparator, actor names only, joined with ", ".

// Collectorz Movie Collector's XML export: <movieinfo><movielist><movie>.
// Each answers broken or refused XML as Unreadable, a document of another kind as WrongFormat.
platform::Failure readCollectorzXml(QByteArrayView xml, SourceTable &table);
// Data Crow's XML export of its movie module: <data-crow-objects><movie>, or
// <data-crow-objects><movie-items><movie> since version 5. Its "rating" is a personal
// score and is left out; its "certification" is the rating.
platform::Failure readDataCrowXml(QByteArrayView xml, SourceTable &table);
// Griffith's XML export: <root><movie>, one element per database column.
platform::Failure readGriffithXml(QByteArrayView xml, SourceTable &table);

struct PeerXmlFormat {
    const char *root;
    SourceFormat format;
    const char *description;
    platform::Failure (*read)(QByteArrayView, SourceTable &);
};

// The peer program's format whose documents have this root element, or none.
const PeerXmlFormat *peerXmlFormat(const QString &root);

} // namespace exchange
