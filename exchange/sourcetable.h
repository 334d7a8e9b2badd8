// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <vector>

namespace exchange {

// Records read from a file before they become movies: named columns, then rows of
// UTF-8 cells. Every cell points into one buffer, so that a large file costs little
// more than its own text.
class SourceTable {
public:
    QStringList columns;

    int rowCount() const { return int(rowStarts_.size()) - first_; }
    int cellCount(int row) const;
    // The cell's bytes; empty past the end of a short row.
    QByteArrayView cell(int row, int column) const;
    // The 1-based line of the file where the row starts.
    int lineOf(int row) const { return lines_[size_t(row + first_)]; }

    QByteArray &buffer() { return buffer_; }
    const QByteArray &buffer() const { return buffer_; }
    void reserveRows(qsizetype rows, qsizetype cells);
    // The memory the table holds, reserved or in use.
    qsizetype bytesHeld() const;
    void beginRow(int line);
    // A cell already in the buffer.
    void addCell(qsizetype offset, qsizetype length);
    // Removes the last row (its text stays in the buffer).
    void dropLastRow();
    // A cell copied to the end of the buffer.
    void appendCell(QByteArrayView text);
    // Makes the first row the column names.
    void takeHeaderFromFirstRow() { setFirstRowIsHeader(true); }
    // Whether the first record read names the columns, or is a row like the others
    // under the names "Column 1", "Column 2"... as many as the widest row has cells.
    void setFirstRowIsHeader(bool header);
    bool firstRowIsHeader() const { return first_ == 1; }

private:
    // Offsets fit 32 bits: a file is read only up to 1 GiB, an inflated one up to 512 MiB.
    struct Span {
        quint32 offset;
        quint32 length;
    };
    QByteArray buffer_;
    std::vector<Span> cells_;
    std::vector<qsizetype> rowStarts_;
    std::vector<int> lines_;
    int first_ = 0; // 1 while the first record is the header
};

} // namespace exchange
