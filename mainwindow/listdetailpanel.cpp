// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/listdetailpanel.h"

#include "mainwindow/mergedelegate.h"
#include "mainwindow/movielistmodel.h"
#include "widgets/boundwidgets.h"
#include "widgets/controls.h"
#include "widgets/elidedlabel.h"
#include "widgets/twips.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>

using catalogue::Field;
using widgets::makeLabel;
using widgets::sansSerif;

namespace {
// The right-hand column keeps these distances from the panel's right edge, in twips.
constexpr int RightLabelsInset = 2205;
constexpr int RightValuesInset = 885;

// A long text of the detail pane: an ellipsis where it is cut, the whole text on hover.
QLabel *makeLongTextLabel(QWidget *parent, const QString &name, int left, int top)
{
    auto *label = new widgets::ElidedLabel(parent);
    label->setObjectName(name);
    widgets::placeTwips(label, left, top, 3735, 975);
    label->setFont(sansSerif(8.25));
    label->setBackgroundRole(QPalette::Base);
    label->setAutoFillBackground(true);
    return label;
}
} // namespace

ListDetailPanel::ListDetailPanel(mainwindow::MovieListModel *model, QWidget *parent) : QWidget(parent)
{
    // The text-entry background, as the browse panel has.
    widgets::stylePanel(this, "Picture2", "palette(base)");
    buildDetails();
    list_ = new QTableView(this);
    list_->setObjectName("fpList1");
    list_->setAccessibleName(QStringLiteral("Movies"));
    widgets::placeTwips(list_, 20, 40, 7695, 3735);
    list_->raise();
    configureList(model);
}

void ListDetailPanel::buildDetails()
{
    const QFont classic = sansSerif(9.75);
    const QFont classicBold = sansSerif(9.75, true);
    const char *captions[] = {"Title", "Rating", "Description", "Actors", "Review", "Year", "Time"};
    const int places[][2] = {{120, 240},  {5520, 240},  {120, 1200}, {120, 2400},
                             {120, 3600}, {5520, 1200}, {5520, 2400}};
    for (int i = 0; i < 7; ++i)
        captionLabels_[i] = makeLabel(this, QString("lblItem_%1").arg(i), captions[i], places[i][0], places[i][1], 1215,
                                      255, widgets::WhiteOnBlack, &classic);

    titleLabel_ =
        makeLabel(this, "lblTitle", {}, 1440, 240, 3855, 255, "background: rgb(255, 255, 192);", &classicBold);
    ratingLabel_ = makeLabel(this, "lblRating", {}, 6840, 240, 615, 255, {}, &classic);
    descriptionLabel_ = makeLongTextLabel(this, "lblDescription", 1440, 1200);
    yearLabel_ = makeLabel(this, "lblYear", {}, 6840, 1200, 615, 255, {}, &classic);
    actorsLabel_ = makeLongTextLabel(this, "lblActors", 1440, 2400);
    timeLabel_ = makeLabel(this, "lblTime", {}, 6840, 2400, 615, 255, {}, &classic);
    reviewLabel_ = makeLongTextLabel(this, "lblReview", 1440, 3600);
    for (QLabel *label :
         {titleLabel_, ratingLabel_, descriptionLabel_, yearLabel_, actorsLabel_, timeLabel_, reviewLabel_}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
    }
}

// The list shows eight columns of text in the window-text colour on white, with fixed
// row heights so that a long catalogue scrolls as fast as a short one.
void ListDetailPanel::configureList(mainwindow::MovieListModel *model)
{
    list_->setModel(model);
    list_->setItemDelegate(new MergeDelegate(list_));
    list_->setShowGrid(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control; the arrow keys move within it.
    list_->setTabKeyNavigation(false);
    list_->installEventFilter(this);
    list_->setWordWrap(false);
    list_->setStyleSheet("QTableView { color: palette(window-text); background: white; }");
    list_->setFont(sansSerif(8.25));
    QHeaderView *rows = list_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    list_->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {20, 24, 14, 18, 12, 8, 7, 7};
    const int charWidth = list_->fontMetrics().averageCharWidth();
    for (int column = 0; column < 8; ++column)
        list_->setColumnWidth(column, widths[column] * charWidth);

    connect(list_, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit rowChosen(index.row());
    });
    // Moving through the rows with the keyboard chooses a movie as a click does.
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        list_->viewport()->update();
        if (!selectingRow_ && current.isValid() && list_->hasFocus())
            emit rowChosen(current.row());
    });
    connect(list_, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowDoubleClicked(index.isValid() ? index.row() : -1); });
}

void ListDetailPanel::bindDetails(catalogue::RecordCursor &cursor)
{
    widgets::bindLabel(cursor, Field::Title, titleLabel_);
    widgets::bindLabel(cursor, Field::Rating, ratingLabel_);
    widgets::bindLabel(cursor, Field::Description, descriptionLabel_);
    widgets::bindLabel(cursor, Field::Year, yearLabel_);
    widgets::bindLabel(cursor, Field::Actors, actorsLabel_);
    widgets::bindLabel(cursor, Field::Time, timeLabel_);
    widgets::bindLabel(cursor, Field::Review, reviewLabel_);
}

void ListDetailPanel::selectRow(int row)
{
    selectingRow_ = true;
    list_->selectRow(row);
    list_->scrollTo(list_->model()->index(row, 0));
    selectingRow_ = false;
}

void ListDetailPanel::setListShown(bool shown) { list_->setVisible(shown); }

void ListDetailPanel::repaintCells() { list_->viewport()->update(); }

void ListDetailPanel::layoutControls()
{
    if (window()->isMinimized())
        return;
    const int width = widgets::toTwips(this->width());
    for (int i : {1, 5, 6})
        captionLabels_[i]->move(widgets::twips(width - RightLabelsInset), captionLabels_[i]->y());
    for (QLabel *label : {ratingLabel_, yearLabel_, timeLabel_})
        label->move(widgets::twips(width - RightValuesInset), label->y());
    // The list fills the panel from its place, so that its scroll bars stay in view.
    list_->resize(this->width() - list_->x(), height() - list_->y());
}

bool ListDetailPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The current row's frame comes and goes with the focus.
    if (watched == list_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        list_->viewport()->update();
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QModelIndex current = list_->currentIndex();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.isValid()) {
            emit rowDoubleClicked(current.row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ListDetailPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}
