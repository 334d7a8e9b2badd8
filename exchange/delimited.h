// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/bulkinsert.h"
#include "exchange/sourcetable.h"
#include "platform/failure.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>

namespace exchange {

// The delimiter of a text table: comma, semicolon or tab. The one that splits the first
// record into the most names of fields, where one does; else the one that occurs
// (outside quotes) in the first record and in at least nine in ten of the first 200,
// splitting the first into the most fields. '\0' when none does: one column.
char detectDelimiter(QByteArrayView utf8);

// Reads UTF-8 text as delimited records, quoted as RFC 4180 describes (delimiters,
// doubled quotes and line breaks inside quotes), with CRLF, LF or CR line ends and a
// last line with or without one; blank lines are passed over. The first record
// becomes the column names. The text moves into the table and is unquoted in place.
// A quote left open at the end of the text, or a header past MaxColumns, is Unreadable.
// A header of more columns than this is refused; a row keeps no more than one field past it.
constexpr int MaxColumns = 10000;

platform::Failure readDelimited(QByteArray utf8, char delimiter, SourceTable &table);

// Eight fields of a movie as UTF-8, in column order.
using MovieBytes = catalogue::FieldBytes;

// Writes a header of the eight field names and one record per movie: UTF-8 with a
// byte order mark, CRLF line ends, a field quoted when it holds a comma, a quote, a
// line break or a blank at either end; every value byte for byte as stored. Fails,
// naming the movie, when a value holds a NUL or is not valid UTF-8.
platform::Failure writeCsv(qsizetype count, const std::function<MovieBytes(qsizetype)> &movieAt, QByteArray &out);

} // namespace exchange
