// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

// Draws the list's cells, and while merging is on shows each run of equal cells in a
// column as one cell: its text once, at the top of the run or of the visible rows, and
// no rule between the rows of the run. Only visible cells are drawn, so merging costs
// the same on any size of catalogue. While the list has the keyboard focus, its current
// row is framed.
class MergeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // A cell whose text is cut shows the whole text, wrapped, as its tooltip; a cell
    // that shows all of its text has none.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    void paintRowFrame(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index,
                       const QAbstractItemView *view) const;
};
