// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"

#include <QString>
#include <optional>

namespace catalogue {

// A title as the duplicate check compares it: surrounding blanks dropped, accents
// removed, letter case folded for every script ("  Amélie " and "AMELIE" agree).
QString titleKey(const QString &title);

// The movie already in the catalogue that a new or edited one would repeat.
struct DuplicateMovie {
    QString title;
    QString year;
};

// Finds a movie of Movies, other than the row exceptRowId (0: none), whose title has
// the same key and whose Year is the same (blanks aside) or where either Year is
// empty. An empty title repeats nothing. When the table cannot be read to its end,
// error says why and nothing is found.
std::optional<DuplicateMovie> findDuplicate(sqlite3 *db, const QString &title, const QString &year,
                                            CatalogueError &error, sqlite3_int64 exceptRowId = 0);

} // namespace catalogue
