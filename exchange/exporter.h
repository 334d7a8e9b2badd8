// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/resultset.h"

#include <QString>
#include <vector>

namespace exchange {

enum class ExportFormat { Csv, Tellico };

// The format a file name asks for: ".tc" is Tellico, anything else CSV.
ExportFormat exportFormatFor(const QString &path);

// Writes the rows of a result at the given places, in that order, to the file; the
// file is replaced whole or, on failure, left as it was. On failure answers false with
// a message naming the file and the problem.
bool exportMovies(const catalogue::ResultSet &rows, const std::vector<int> &places, const QString &path,
                  ExportFormat format, QString &error);

// Writes every movie of the catalogue file, in title order. count says how many.
bool exportCatalogue(const QString &catalogueFile, const QString &path, ExportFormat format, int &count,
                     QString &error);

} // namespace exchange
