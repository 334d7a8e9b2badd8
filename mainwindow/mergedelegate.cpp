// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/mergedelegate.h"

#include "mainwindow/movielistmodel.h"
#include "widgets/elidedlabel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

using mainwindow::MovieListModel;

void MergeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool above = index.data(MovieListModel::SameAsAboveRole).toBool();
    const bool below = index.data(MovieListModel::SameAsBelowRole).toBool();
    auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    const bool firstVisible = view && view->indexAt(QPoint(1, 1)).row() == index.row();

    QStyleOptionViewItem opt = option;
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
        QStyledItemDelegate::paint(painter, option, index);
    }

    painter->save();
    painter->setPen(QColor(208, 208, 208));
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    if (!below)
        painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
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
