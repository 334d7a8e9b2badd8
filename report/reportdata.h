// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "catalogue/resultset.h"

#include <QString>
#include <atomic>
#include <vector>

namespace report {

// Opens the catalogue file and lets go of it at once: false, with the reason in error,
// when it is missing, damaged or not a catalogue. Quick, whatever the number of movies.
bool catalogueOpens(const QString &catalogueFile, QString *error);

// Reads every movie of the catalogue file, in title order,
// through a cursor of its own that lets go of the file afterwards. False when the
// catalogue cannot be read, with the reason in error. The rows keep their text as
// the cursor read it; the movies are copies of every field.
//
// Nothing ties the read to a thread: it may run on any. Given stop, it gives up, false
// and empty, once stop holds true.
bool readReportRows(const QString &catalogueFile, catalogue::ResultSet &rows, QString *error = nullptr,
                    const std::atomic<bool> *stop = nullptr);
bool readReportMovies(const QString &catalogueFile, std::vector<catalogue::Movie> &movies, QString *error = nullptr);

} // namespace report
