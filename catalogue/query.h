// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "platform/failure.h"

#include <QString>
#include <optional>
#include <vector>

namespace catalogue {

// A query text of the program's dialect, understood: which movies it selects and in
// which order. The program's queries are of these forms (keywords in any case, names
// bare or in brackets, optionally prefixed by the table):
//   Movies
//   select * from Movies [where F = 'text' | where F Like 'pattern'] [order by F [asc|desc]]
//   select * from Movies where F Like 'pattern' or G Like 'pattern' ... order by F
//     (conditions joined by Or compare different fields with the same text the same way)
//   SELECT [Title], ... FROM [Movies] ORDER BY [Movies].[Title]
// Text literals stand in single quotes, a quote inside doubled.
struct Query {
    enum class Filter { None, Equals, Like };
    Filter filter = Filter::None;
    // The fields compared; a row matches when any of them does.
    std::vector<Field> filterFields{Field::Title};
    QString filterText;
    std::optional<Field> orderBy;
    bool descending = false;

    // Parses text into query; a failure (kind Other) explains why, and query is left as it was.
    static platform::Failure parse(const QString &text, Query &query);

    // The SQLite statement that selects the rowid and the eight fields of the matching
    // rows in table order; the filter text is its one parameter (?1). Only field names
    // of Movies ever appear in it.
    QByteArray sql() const;
};

// Puts text into single quotes for a query text, doubling the quotes inside.
QString quoteLiteral(const QString &text);

} // namespace catalogue
