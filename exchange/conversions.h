// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace exchange {

// The field a column of another program's table belongs in, from its header, ignoring
// letter case, blanks and punctuation ("Release Date", "Runtime (mins)", "Genres").
std::optional<catalogue::Field> fieldForHeader(const QString &header);

// One field per column; where several columns name the same field, the one named most
// plainly ("Year" before "Release Date") keeps it and the others map to nothing.
std::vector<std::optional<catalogue::Field>> mappingForHeader(const QStringList &columns);

// True when the columns are exactly the eight fields in their own order, as this
// program's own export writes them: such a file is stored without any conversion.
bool isOwnLayout(const QStringList &columns);

// The year of a date or a year ("1994-07-06", "6 Jul 1994", "1994"); other text as it is.
QString yearFrom(const QString &text);
// Minutes from "102", "102 min", "1h 42m", "1:42" or "PT1H42M"; other text as it is.
QString minutesFrom(const QString &text);
// A certification without its country ("PG-13 (USA)" gives "PG-13"); a number, which
// is someone's score and not a certification, gives the empty text.
QString certificationFrom(const QString &text);
// The first genre that is one of the twelve categories, ignoring letter case, blanks
// and punctuation ("sci fi"), or an obvious synonym of one ("Science Fiction",
// "Documentaries"), in this program's spelling; else the first genre as written.
QString categoryFrom(const QStringList &genres);
// The genres of a spreadsheet cell: "Action, Drama", "Action; Drama", "Action/Drama".
QStringList splitGenres(const QString &text);

// The certification for an age limit as GCstar keeps it: 0 or nothing is no rating,
// 1 (all audiences) G, 2 (parental guidance) PG, then the age in years: 3 and 4 G,
// 5 to 10 PG, 11 to 16 PG-13, 17 and over R. Text that is no number goes to
// certificationFrom.
QString certificationFromAge(const QString &text);

// Names separated by ",", ";" or "|", with or without blanks, joined with ", ".
QString joinedNames(const QString &text);

} // namespace exchange
