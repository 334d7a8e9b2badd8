// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange/importer.h"

#include <cstdio>
#include <cstdlib>

// What every collection reader owes: a table of the eight columns, and a plan that
// holds no more movies than rows.
inline void checkCollection(const exchange::SourceTable &table)
{
    if (table.columns.size() != 8) {
        std::fprintf(stderr, "a collection table without its eight columns\n");
        std::abort();
    }
    for (int r = 0; r < table.rowCount(); ++r)
        if (table.cellCount(r) != 8) {
            std::fprintf(stderr, "a collection row without its eight cells\n");
            std::abort();
        }
}
