// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/recordcursor.h"

#include <QAbstractTableModel>
#include <vector>

namespace mainwindow {

// The movie list over a cursor's result: one row per movie, one column per field.
// It keeps its own sort order across refills (ascending shows the result's order,
// descending the reverse, equal keys staying in table order), and, when merging is
// on, knows for each cell whether the cell above holds the same text.
class MovieListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { SameAsAboveRole = Qt::UserRole + 1, SameAsBelowRole };
    static constexpr int DisplayChars = 500;
    static constexpr int ToolTipChars = 4000;

    explicit MovieListModel(catalogue::RecordCursor *cursor, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

    void setDescending(bool descending);
    bool isDescending() const { return descending_; }
    void setMerged(bool merged);
    bool isMerged() const { return merged_; }

    // Place in the cursor's result of the movie shown at a list row, and back.
    int positionOfRow(int row) const;
    int rowOfPosition(int pos) const;
    bool sameAsAbove(int row, int column) const;

private:
    void rebuild();
    void rebuildMerge();

    catalogue::RecordCursor *cursor_;
    bool descending_ = false;
    bool merged_ = false;
    std::vector<int> rowToPos_; // empty while ascending
    std::vector<int> posToRow_;
    std::vector<bool> sameAbove_[catalogue::FieldCount];
};

} // namespace mainwindow
