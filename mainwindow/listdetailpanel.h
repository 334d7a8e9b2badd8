// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QModelIndex;
class QTableView;

namespace catalogue {
class RecordCursor;
}

namespace mainwindow {
class MovieListModel;
}

// The list and detail panel at the bottom right of the main window ("Picture2"): the
// list of the current result over the detail labels of the current movie, which show
// when the list is hidden.
class ListDetailPanel : public QWidget {
    Q_OBJECT
public:
    explicit ListDetailPanel(mainwindow::MovieListModel *model, QWidget *parent = nullptr);

    // The detail labels show the cursor's current movie from now on.
    void bindDetails(catalogue::RecordCursor &cursor);

    // Highlights a row of the list and scrolls it into view, without reporting it as chosen.
    void selectRow(int row);
    void setListShown(bool shown);
    // Draws the visible cells again, as after merging is turned on or off.
    void repaintCells();

    // Keeps the right-hand column at its distance from the right edge; the list fills the panel.
    void layoutControls();

signals:
    // The user chose a row: a click, or moving through the rows with the keyboard.
    void rowChosen(int row);
    // The user double-clicked the list (row -1 off the rows), or pressed Enter on a row.
    void rowDoubleClicked(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildDetails();
    void configureList(mainwindow::MovieListModel *model);

    bool selectingRow_ = false; // the list's highlight is being moved by the program

    QTableView *list_ = nullptr;
    std::array<QLabel *, 7> captionLabels_{};
    QLabel *titleLabel_ = nullptr;
    QLabel *descriptionLabel_ = nullptr;
    QLabel *actorsLabel_ = nullptr;
    QLabel *reviewLabel_ = nullptr;
    QLabel *ratingLabel_ = nullptr;
    QLabel *yearLabel_ = nullptr;
    QLabel *timeLabel_ = nullptr;
};
