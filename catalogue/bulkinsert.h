// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"
#include "catalogue/movie.h"

#include <QByteArrayView>
#include <array>
#include <functional>

namespace catalogue {

// The eight fields of a movie as UTF-8, in column order.
using FieldBytes = std::array<QByteArrayView, FieldCount>;

// Adds the movies to the catalogue in one transaction: all of them, or, on any failure
// or when progress answers false, none; the catalogue is then exactly as before.
// progress hears the number of movies written so far now and then. A cancelled run
// answers the code SQLITE_INTERRUPT.
platform::Failure appendMovies(const QString &catalogueFile, qsizetype count,
                               const std::function<FieldBytes(qsizetype)> &movieAt,
                               const std::function<bool(qsizetype)> &progress = {});

} // namespace catalogue
