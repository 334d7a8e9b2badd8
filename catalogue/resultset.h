// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace catalogue {

// The rows of one query result, in result order. Field text stays in per-column
// UTF-8 pools and becomes a QString only when asked for, so that a large result
// costs little memory and time.
//
// A copy shares the stored rows and has its order of its own, so that several
// listings of one catalogue (the whole table, each sort, a search) cost one copy of
// the text. A value set through any copy is seen by all of them: they describe the
// same rows of the same file.
class ResultSet {
public:
    int size() const { return int(order_.size()); }
    bool isEmpty() const { return order_.empty(); }

    sqlite3_int64 rowId(int pos) const { return rows_->rowIds[order_[pos]]; }
    QString text(int pos, Field f) const;
    bool isNull(int pos, Field f) const { return cell(pos, f).isNull; }
    Movie movie(int pos) const;
    // The field's bytes exactly as read, and whether it was NULL.
    std::pair<QByteArrayView, bool> rawText(int pos, Field f) const;
    // At most maxChars characters of the field: enough for a one-line cell.
    QString textStart(int pos, Field f, int maxChars) const;
    // True when the field of pos holds the same text as that of other (exactly).
    bool sameText(int pos, int other, Field f) const;

    // Replaces one stored value after it was written to the file.
    void setText(int pos, Field f, const QString &text);
    void remove(int pos);

    // Makes room for that many rows (an estimate: more is harmless).
    void reserve(int rows);
    // Appends the current row of a statement that selects rowid and the eight fields.
    void appendRow(sqlite3_stmt *st);
    // Orders the rows by the field's text, ignoring letter case; rows with equal
    // text keep table order. The folded keys stay for sameKeyAsPrevious().
    void sortBy(Field f, bool descending);
    // True when rows pos and pos-1 have equal sort keys (false without a sort).
    bool sameKeyAsPrevious(int pos) const;
    std::optional<Field> sortField() const { return sortField_; }
    bool isDescending() const { return descending_; }

    // The rows for which keep(pos) holds, in this order, sharing the stored rows;
    // sorted as this set is.
    ResultSet filtered(const std::function<bool(int pos)> &keep) const;
    // Adds a row written to the file at its place: by the sort key, equal keys (and
    // an unsorted set) in rowid order, as a fresh read orders them. Answers its place.
    int insertRow(sqlite3_int64 rowId, const Movie &m);
    // Adds the row at pos of other, a set over the same stored rows, at its place here.
    int insertRowOf(const ResultSet &other, int pos) { return insertAt(other.order_[pos]); }
    // Moves the row at pos to the place its sort key now asks for; answers that place.
    int placeAgain(int pos);
    // Place of the row with that rowid; -1 when there is none.
    int find(sqlite3_int64 rowId) const;
    // The stored row shown at pos, and how many rows are stored (shown or not): to
    // tell rows apart across sets that share them.
    int storedRow(int pos) const { return order_[pos]; }
    int storedRows() const { return int(rows_->rowIds.size()); }
    // True when both sets hold the same stored rows in the same order.
    bool sameRowsAs(const ResultSet &o) const { return rows_ == o.rows_ && order_ == o.order_; }
    // Counts the values set and rows added in the stored rows, through any set.
    quint64 storedChanges() const { return rows_->changes; }

private:
    struct Cell {
        const char *text = nullptr;
        quint32 length = 0;
        bool isNull = false;
    };
    // Field text lives in large blocks that never move, so that filling a result
    // never copies what it already holds.
    class TextPool {
    public:
        const char *add(const char *text, size_t n);

    private:
        std::vector<std::unique_ptr<char[]>> blocks_;
        size_t used_ = 0;
        size_t capacity_ = 0;
    };
    struct Rows {
        std::vector<sqlite3_int64> rowIds;
        std::vector<Cell> cells[FieldCount];
        TextPool pool;
        quint64 changes = 0;
    };
    const Cell &cell(int pos, Field f) const { return rows_->cells[index(f)][order_[pos]]; }
    std::u32string sortKey(int row) const;
    // True when stored row a comes before stored row b in this set's order.
    bool before(int a, const std::u32string &keyA, int b, const std::u32string &keyB) const;
    int insertAt(int row);

    std::shared_ptr<Rows> rows_ = std::make_shared<Rows>();
    std::vector<int> order_;
    std::optional<Field> sortField_;
    bool descending_ = false;
    std::vector<bool> sameKeyAsPrevious_;
};

} // namespace catalogue
