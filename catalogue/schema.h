// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "platform/failure.h"

#include <QString>
#include <vector>

namespace catalogue {

enum class Contents { Empty, Sample };

// Creates a catalogue file: the table Movies with its eight text fields in order,
// empty or holding the sample collection. An existing file is left alone unless
// overwrite is set. A failure says why, naming the file.
platform::Failure createCatalogue(const QString &path, Contents contents, bool overwrite);

// Creates a catalogue holding exactly the given movies, in that table order.
platform::Failure createCatalogue(const QString &path, const std::vector<catalogue::Movie> &movies, bool overwrite);

// The sample collection: real films with descriptions and reviews of our own.
const std::vector<catalogue::Movie> &sampleMovies();

// A movie from its eight field texts, in column order.
catalogue::Movie makeMovie(const QString &title, const QString &description, const QString &category,
                           const QString &actors, const QString &review, const QString &rating, const QString &year,
                           const QString &time);

} // namespace catalogue
