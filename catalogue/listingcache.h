// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/likepattern.h"
#include "catalogue/query.h"
#include "catalogue/resultset.h"

#include <map>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace catalogue {

// The whole Movies table as last read through one connection, with the sorted
// listings made from it, kept while the file holds exactly those rows. Listings,
// categories and searches are then answered from memory; the program's own writes
// through the connection are applied to the kept rows instead of reading them again.
//
// The rows count as current while the connection's data_version (which changes when
// any other connection commits) and its total change count (its own writes) are what
// they were when the rows were read or last brought in step.
class ListingCache {
public:
    struct Stamp {
        qint64 dataVersion = -1;
        qint64 changes = -1;
        bool operator==(const Stamp &o) const { return dataVersion == o.dataVersion && changes == o.changes; }
        bool operator!=(const Stamp &o) const { return !(*this == o); }
    };
    static Stamp stampOf(sqlite3 *db);

    // True when rows are kept and the file has not changed since.
    bool isCurrent(sqlite3 *db) const;
    // The rows of query, from the kept rows when they are current or from the last
    // answer when it was this query and the file has not changed since; nothing
    // otherwise (and whatever was kept is dropped).
    std::optional<ResultSet> rowsFor(sqlite3 *db, const Query &query);
    // Keeps the whole table, read in table order when the file was at stamp.
    void keepTable(sqlite3 *db, const ResultSet &table, Stamp at);
    // Keeps the rows of a query read when the file was at stamp, for that query asked
    // again while the file stays so.
    void keepAnswer(const Query &query, const ResultSet &rows, Stamp at);
    void forget();

    // After one row was written through db by a statement begun at before: brings the
    // kept rows in step when that write is the only change since they were read, and
    // drops them otherwise.
    void rowInserted(sqlite3 *db, Stamp before, sqlite3_int64 rowId, const Movie &m);
    void rowUpdated(sqlite3 *db, Stamp before, sqlite3_int64 rowId, const Movie &m, const std::vector<int> &fields);
    void rowDeleted(sqlite3 *db, Stamp before, sqlite3_int64 rowId);

private:
    bool followsOneWrite(sqlite3 *db, Stamp before);
    ResultSet answer(const Query &query);

    bool kept_ = false;
    // No trigger or unique index on Movies: a write then changes exactly the row it names.
    bool plain_ = false;
    Stamp stamp_;
    ResultSet table_;
    // The table sorted by a field, ascending or descending.
    std::map<std::pair<int, bool>, ResultSet> sorted_;
    // The last query answered and its rows, for the same query asked again at once (a
    // listing counts its rows and then runs its query a second time).
    std::optional<Query> lastQuery_;
    ResultSet lastRows_;
    Stamp answerStamp_;
};

// Whether a row of a result meets the filter of query, as the statement of
// Query::sql() decides it.
class RowFilter {
public:
    explicit RowFilter(const Query &query);
    bool matches(const ResultSet &rows, int pos) const;

private:
    const Query &query_;
    std::optional<LikePattern> pattern_;
    // For "*text*" with text of plain ASCII and no wildcard: the lowered text, as bytes
    // for values of plain ASCII and as characters for the others.
    std::optional<QByteArray> plainNeedle_;
    std::u32string plainNeedle32_;
    mutable std::u32string value_;
    std::u32string folded_;
};

} // namespace catalogue
