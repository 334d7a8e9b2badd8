// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "catalogue/resultset.h"

#include <QString>
#include <vector>

namespace report {

// Reads every movie of the catalogue file, in title order,
// through a cursor of its own that lets go of the file afterwards. False when the
// catalogue cannot be read, with the reason in error. The rows keep their text as
// the cursor read it; the movies are copies of every field.
bool readReportRows(const QString &catalogueFile, catalogue::ResultSet &rows, QString *error = nullptr);
bool readReportMovies(const QString &catalogueFile, std::vector<catalogue::Movie> &movies, QString *error = nullptr);

} // namespace report
