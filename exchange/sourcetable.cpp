// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/sourcetable.h"

namespace exchange {

int SourceTable::cellCount(int row) const
{
    const size_t r = size_t(row + first_);
    const qsizetype end = r + 1 < rowStarts_.size() ? rowStarts_[r + 1] : qsizetype(cells_.size());
    return int(end - rowStarts_[r]);
}

QByteArrayView SourceTable::cell(int row, int column) const
{
    if (column < 0 || column >= cellCount(row))
        return {};
    const Span &s = cells_[size_t(rowStarts_[size_t(row + first_)] + column)];
    return QByteArrayView(buffer_.constData() + s.offset, s.length);
}

void SourceTable::reserveRows(qsizetype rows, qsizetype cells)
{
    rowStarts_.reserve(size_t(rows));
    lines_.reserve(size_t(rows));
    cells_.reserve(size_t(cells));
}

qsizetype SourceTable::bytesHeld() const
{
    return buffer_.capacity() + qsizetype(cells_.capacity() * sizeof(Span) + rowStarts_.capacity() * sizeof(qsizetype) +
                                          lines_.capacity() * sizeof(int));
}

void SourceTable::beginRow(int line)
{
    rowStarts_.push_back(qsizetype(cells_.size()));
    lines_.push_back(line);
}

void SourceTable::addCell(qsizetype offset, qsizetype length) { cells_.push_back({quint32(offset), quint32(length)}); }

void SourceTable::dropLastRow()
{
    cells_.resize(size_t(rowStarts_.back()));
    rowStarts_.pop_back();
    lines_.pop_back();
}

void SourceTable::appendCell(QByteArrayView text)
{
    cells_.push_back({quint32(buffer_.size()), quint32(text.size())});
    buffer_.append(text);
}

void SourceTable::setFirstRowIsHeader(bool header)
{
    columns.clear();
    first_ = 0;
    if (rowStarts_.empty())
        return;
    if (header) {
        for (int c = 0; c < cellCount(0); ++c)
            columns << QString::fromUtf8(cell(0, c));
        first_ = 1;
        return;
    }
    int widest = 0;
    for (int r = 0; r < rowCount(); ++r)
        widest = std::max(widest, cellCount(r));
    for (int c = 1; c <= widest; ++c)
        columns << QString("Column %1").arg(c);
}

} // namespace exchange
