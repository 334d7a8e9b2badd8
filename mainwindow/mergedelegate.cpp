#include "mergedelegate.h"

#include "catalogue/movielistmodel.h"

#include <QAbstractItemView>
#include <QPainter>

using catalogue::MovieListModel;

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
