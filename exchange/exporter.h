// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/resultset.h"
#include "platform/failure.h"

#include <QString>
#include <vector>

namespace exchange {

enum class ExportFormat { Csv, Tellico };

// The format a file name asks for: ".tc" is Tellico, anything else CSV.
ExportFormat exportFormatFor(const QString &path);

// Writes the rows of a result at the given places, in that order, to the file; the
// file is replaced whole or, on failure, left as it was. A failure's message names the
// file and the problem; its kind is DiskFull when the disk is full.
platform::Failure exportMovies(const catalogue::ResultSet &rows, const std::vector<int> &places, const QString &path,
                               ExportFormat format);

// Writes every movie of the catalogue file, in title order. count says how many.
platform::Failure exportCatalogue(const QString &catalogueFile, const QString &path, ExportFormat format, int &count);

} // namespace exchange
