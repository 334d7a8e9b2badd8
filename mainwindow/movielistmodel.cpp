// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/movielistmodel.h"

namespace mainwindow {

using namespace catalogue;

MovieListModel::MovieListModel(RecordCursor *cursor, QObject *parent) : QAbstractTableModel(parent), cursor_(cursor)
{
    connect(cursor_, &RecordCursor::resultChanged, this, [this] {
        beginResetModel();
        rebuild();
        endResetModel();
    });
    connect(cursor_, &RecordCursor::rowUpdated, this, [this](int pos) {
        rebuildMerge();
        const int row = rowOfPosition(pos);
        const int from = std::max(0, row - 1), to = std::min(rowCount() - 1, row + 1);
        emit dataChanged(index(from, 0), index(to, FieldCount - 1));
    });
    rebuild();
}

int MovieListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cursor_->result().size();
}

int MovieListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : FieldCount; }

QVariant MovieListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    // A cell shows one line: the start of a long text is all that can be seen, and
    // laying out a whole long text on every repaint would stall the list.
    case Qt::DisplayRole:
        return cursor_->result().textStart(positionOfRow(index.row()), fieldAt(index.column()), DisplayChars);
    case Qt::ToolTipRole:
        return cursor_->result().textStart(positionOfRow(index.row()), fieldAt(index.column()), ToolTipChars);
    case SameAsAboveRole:
        return sameAsAbove(index.row(), index.column());
    case SameAsBelowRole:
        return sameAsAbove(index.row() + 1, index.column());
    default:
        return {};
    }
}

QVariant MovieListModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role == Qt::DisplayRole && o == Qt::Horizontal && section >= 0 && section < FieldCount)
        return fieldNames().at(section);
    if (role == Qt::DisplayRole && o == Qt::Vertical)
        return section + 1;
    return {};
}

void MovieListModel::setDescending(bool descending)
{
    if (descending == descending_)
        return;
    beginResetModel();
    descending_ = descending;
    rebuild();
    endResetModel();
}

void MovieListModel::setMerged(bool merged)
{
    if (merged == merged_)
        return;
    merged_ = merged;
    rebuildMerge();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, FieldCount - 1));
}

int MovieListModel::positionOfRow(int row) const { return rowToPos_.empty() ? row : rowToPos_[row]; }

int MovieListModel::rowOfPosition(int pos) const
{
    return posToRow_.empty() || pos < 0 || pos >= int(posToRow_.size()) ? pos : posToRow_[pos];
}

bool MovieListModel::sameAsAbove(int row, int column) const
{
    const auto &bits = sameAbove_[column];
    return merged_ && row > 0 && row < int(bits.size()) && bits[row];
}

void MovieListModel::rebuild()
{
    rowToPos_.clear();
    posToRow_.clear();
    const ResultSet &rs = cursor_->result();
    const int n = rs.size();
    if (descending_ && n > 1) {
        // Runs of equal sort keys, last run first; each run keeps its own order.
        rowToPos_.reserve(n);
        int end = n;
        while (end > 0) {
            int start = end - 1;
            while (start > 0 && rs.sameKeyAsPrevious(start))
                --start;
            for (int pos = start; pos < end; ++pos)
                rowToPos_.push_back(pos);
            end = start;
        }
        posToRow_.resize(n);
        for (int row = 0; row < n; ++row)
            posToRow_[rowToPos_[row]] = row;
    }
    rebuildMerge();
}

void MovieListModel::rebuildMerge()
{
    for (auto &bits : sameAbove_)
        bits.clear();
    if (!merged_)
        return;
    const ResultSet &rs = cursor_->result();
    const int n = rs.size();
    for (int c = 0; c < FieldCount; ++c) {
        auto &bits = sameAbove_[c];
        bits.assign(n, false);
        for (int row = 1; row < n; ++row)
            bits[row] = rs.sameText(positionOfRow(row), positionOfRow(row - 1), fieldAt(c));
    }
}

} // namespace mainwindow
