// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mergedelegate.h"

#include "mainwindow/movielistmodel.h"
#include "widgets/elidedlabel.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QTableView>
#include <QToolTip>

using mainwindow::MovieListModel;

void MergeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool above = index.data(MovieListModel::SameAsAboveRole).toBool();
    const bool below = index.data(MovieListModel::SameAsBelowRole).toBool();
    auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const bool firstVisible = view && view->indexAt(QPoint(1, 1)).row() == index.row();

    // One frame round the whole current row shows the keyboard's place, not a cell's dotted box.
    const bool focusRow = view && view->hasFocus() && view->currentIndex().row() == index.row();
    QStyleOptionViewItem opt = option;
    opt.state &= ~QStyle::State_HasFocus;
    if (above && !firstVisible) {
        // Part of a run shown above: background and selection only.
        opt.text.clear();
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    } else {
        QStyledItemDelegate::paint(painter, opt, index);
    }

    painter->save();
    painter->setPen(QColor(208, 208, 208));
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    if (!below)
        painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (focusRow)
        paintRowFrame(painter, option, index, view);
    painter->restore();
}

void MergeDelegate::paintRowFrame(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index,
                                  const QAbstractItemView *view) const
{
    const auto *table = qobject_cast<const QTableView *>(view);
    const QHeaderView *header = table ? table->horizontalHeader() : nullptr;
    const int visual = header ? header->visualIndex(index.column()) : 0;
    bool first = true, last = true;
    for (int v = 0; header && v < header->count(); ++v) {
        if (header->isSectionHidden(header->logicalIndex(v)))
            continue;
        if (v < visual)
            first = false;
        if (v > visual)
            last = false;
    }
    constexpr int Width = 2;
    const QRect r = option.rect;
    const QColor colour = option.palette.color(QPalette::WindowText);
    painter->fillRect(QRect(r.left(), r.top(), r.width(), Width), colour);
    painter->fillRect(QRect(r.left(), r.bottom() - Width + 1, r.width(), Width), colour);
    if (first)
        painter->fillRect(QRect(r.left(), r.top(), Width, r.height()), colour);
    if (last)
        painter->fillRect(QRect(r.right() - Width + 1, r.top(), Width, r.height()), colour);
}

bool MergeDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                              const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : nullptr;
    const QRect textRect = style ? style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget) : opt.rect;
    // The cell's margins: what the style keeps on each side of the text.
    const int margin = style ? style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1 : 0;
    const QString whole = index.data(Qt::ToolTipRole).toString();
    const bool cut = whole.contains(QLatin1Char('\n')) || whole.size() > opt.text.size() ||
                     opt.fontMetrics.horizontalAdvance(opt.text) > textRect.width() - 2 * margin;
    if (cut && !whole.isEmpty())
        QToolTip::showText(event->globalPos(), widgets::wrappedToolTip(whole), view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}
