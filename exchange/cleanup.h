// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "exchange/importer.h"
#include "exchange/sourcetable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

namespace exchange {

// The value without the blanks at either end: spaces, tabs, line ends and no-break
// spaces (U+00A0, U+2007, U+202F).
QByteArrayView withoutBlanks(QByteArrayView utf8);

// True when every cell of the row is empty or blanks only: a blank line of the file.
bool isBlankRow(const SourceTable &table, int row);

// A value of an outside file as it will be stored in the field: blanks trimmed, then
// years, running times, ratings, categories, lists of names and markup converted. A
// value of this program's own export is stored as it stands. Converted values are kept
// in store, which must outlive the view answered.
QByteArrayView cleanedValue(catalogue::Field field, QByteArrayView cell, const ImportSource &source,
                            std::vector<QByteArray> &store);

} // namespace exchange
