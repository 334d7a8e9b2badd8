#pragma once

#include "movie.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace catalogue {

// The rows of one query result, in result order. Field text stays in per-column
// UTF-8 pools and becomes a QString only when asked for, so that a large result
// costs little memory and time.
class ResultSet {
public:
    int size() const { return int(order_.size()); }
    bool isEmpty() const { return order_.empty(); }

    sqlite3_int64 rowId(int pos) const { return rowIds_[order_[pos]]; }
    QString text(int pos, Field f) const;
    bool isNull(int pos, Field f) const { return cells_[index(f)][order_[pos]].isNull; }
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
    std::vector<sqlite3_int64> rowIds_;
    std::vector<int> order_;
    std::vector<Cell> cells_[FieldCount];
    std::shared_ptr<TextPool> pool_ = std::make_shared<TextPool>();
    std::optional<Field> sortField_;
    std::vector<bool> sameKeyAsPrevious_;
};

} // namespace catalogue
