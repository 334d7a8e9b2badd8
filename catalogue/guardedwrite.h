// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"
#include "catalogue/movie.h"

#include <QByteArray>
#include <array>
#include <vector>

namespace catalogue {

// A row of Movies as read: its rowid and the exact bytes of each field, by which a
// later write names it.
struct StoredRow {
    sqlite3_int64 rowId = 0;
    std::array<QByteArray, FieldCount> bytes;
    std::array<bool, FieldCount> isNull{};
    Movie movie() const;
};

// "rowid = ?N AND CAST("Title" AS TEXT) IS ?N+1 AND ...": names a row by its rowid and
// every value read, so that a write never reaches a row that changed since. The rowid
// is parameter firstParam, the eight values follow in column order.
QByteArray rowGuard(int firstParam);

// Sets only the fields listed (parameters 1..n, in that order), so that a field left
// alone keeps exactly what is stored; the row guard's parameters follow.
QByteArray guardedUpdateSql(const Database &db, const std::vector<int> &fields);

// Binds the row guard's parameters from firstParam on.
void bindRowGuard(sqlite3_stmt *st, int firstParam, const StoredRow &row);

// Reads every row of Movies in the order of the main list (by title).
platform::Failure readStoredRows(const Database &db, std::vector<StoredRow> &rows);

} // namespace catalogue
