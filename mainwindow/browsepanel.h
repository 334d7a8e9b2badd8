// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

// The browse panel at the top right of the main window ("Picture1"): the name of what
// is listed, Previous and Next (covered by the version plate while the list shows),
// the Category button that opens the twelve category buttons, Add Movie, and the merge,
// sort and record-count labels.
class BrowsePanel : public QWidget {
    Q_OBJECT
public:
    // The panel's height in twips, closed and with the category buttons open.
    static constexpr int ClosedHeight = 1200;
    static constexpr int ExpandedHeight = 2800;
    // The narrowest width, in twips, at which every control is in view and none covers another.
    static constexpr int MinimumWidth = 7635;

    explicit BrowsePanel(QWidget *parent = nullptr);

    // Whether the category buttons are open; setting it asks for the matching height.
    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);

    void setCategoryName(const QString &name);
    void setRecordCountText(const QString &text);
    void setMergeShown(bool on);
    void setSortShown(bool descending);
    // Previous and Next show while the list is hidden; the version plate covers them otherwise.
    void setNavigationShown(bool shown);

    // Keeps the status labels at their distance from the right edge, the record counter
    // wide enough for its text, and the focus off controls that cannot be seen.
    void layoutControls();

signals:
    // The panel wants this height, in twips.
    void heightWanted(int twipsHigh);
    // The Category button opened or closed the category buttons.
    void categoriesToggled();
    // A category button was clicked: 1 to 12.
    void categoryChosen(int index);
    void previousClicked();
    void nextClicked();
    void addMovieClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void onCategoriesClicked();
    void fitRecordCounter();
    void updateFocusable();

    bool expanded_ = false;

    QLabel *categoryLabel_ = nullptr;
    QPushButton *previousButton_ = nullptr;
    QPushButton *nextButton_ = nullptr;
    QWidget *versionPlate_ = nullptr;
    QPushButton *categoriesButton_ = nullptr;
    std::array<QPushButton *, 13> categoryButtons_{}; // 1 to 12
    QPushButton *addMovieButton_ = nullptr;
    QLabel *mergeLabel_ = nullptr;
    QLabel *sortLabel_ = nullptr;
    QLabel *recordCountLabel_ = nullptr;
};
