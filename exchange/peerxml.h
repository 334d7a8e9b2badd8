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
bool readCollectorzXml(QByteArrayView xml, SourceTable &table, QString &error);
// Data Crow's XML export of its movie module: <data-crow-objects><movie>, or
// <data-crow-objects><movie-items><movie> since version 5. Its "rating" is a personal
// score and is left out; its "certification" is the rating.
bool readDataCrowXml(QByteArrayView xml, SourceTable &table, QString &error);
// Griffith's XML export: <root><movie>, one element per database column.
bool readGriffithXml(QByteArrayView xml, SourceTable &table, QString &error);

struct PeerXmlFormat {
    const char *root;
    SourceFormat format;
    const char *description;
    bool (*read)(QByteArrayView, SourceTable &, QString &);
};

// The peer program's format whose documents have this root element, or none.
const PeerXmlFormat *peerXmlFormat(const QString &root);

} // namespace exchange
