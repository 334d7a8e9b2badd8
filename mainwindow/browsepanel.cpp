// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/browsepanel.h"

#include "catalogue/categories.h"
#include "widgets/controls.h"
#include "widgets/twips.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

using widgets::makeButton;
using widgets::makeLabel;
using widgets::sansSerif;

namespace {
// The status labels keep this distance from the panel's right edge, in twips.
constexpr int RightLabelsInset = 2205;
constexpr int StatusLabelWidth = 2055;
constexpr int StatusPointSize = 975; // hundredths of a point
constexpr int SmallestPointSize = 600;
// The room kept between the Category button and a record counter that grew to the left.
constexpr int CounterGap = 60;
} // namespace

BrowsePanel::BrowsePanel(QWidget *parent) : QWidget(parent)
{
    // The text-entry background, as the detail pane has.
    widgets::stylePanel(this, "Picture1", "palette(base)");
    const QFont status = sansSerif(StatusPointSize / 100.0);
    categoryLabel_ = makeLabel(this, "lblCategoryName", "All DVD Movies", 120, 120, 4335, 375, {}, nullptr);
    categoryLabel_->setFont(sansSerif(13.5, true));

    previousButton_ = makeButton(this, "cmdPrev", "Previous", 120, 600, 1095, 375);
    nextButton_ = makeButton(this, "cmdNext", "Next", 1560, 600, 1095, 375);
    versionPlate_ = new QWidget(this);
    versionPlate_->setObjectName("picHideButtons");
    versionPlate_->setAttribute(Qt::WA_StyledBackground);
    versionPlate_->setStyleSheet("#picHideButtons { background: palette(base); }");
    widgets::placeTwips(versionPlate_, 120, 560, 2655, 495);
    auto *icon = makeLabel(versionPlate_, "picHideButtonsIcon", {}, 0, 0, 480, 495);
    icon->setPixmap(QIcon(":/images/moviary32.png").pixmap(32, 32));
    const QFont versionFont = sansSerif(8.25, true);
    makeLabel(versionPlate_, "lblVersion", "Moviary v1.0", 600, 140, 1335, 255, {}, &versionFont);
    versionPlate_->raise();

    categoriesButton_ = makeButton(this, "cmdCat", "Category", 3240, 600, 1095, 375);
    const int lefts[] = {120, 1560, 3000, 4440};
    const int tops[] = {1320, 1800, 2280};
    for (int i = 1; i <= 12; ++i) {
        categoryButtons_[i] = makeButton(this, QString("cmdCategory_%1").arg(i), catalogue::categoryButtonCaption(i),
                                         lefts[(i - 1) % 4], tops[(i - 1) / 4], 1335, 375);
        // The caption keeps its blanks; a screen reader is told the name alone.
        categoryButtons_[i]->setAccessibleName(categoryButtons_[i]->text().trimmed());
        connect(categoryButtons_[i], &QPushButton::clicked, this, [this, i] { emit categoryChosen(i); });
    }
    addMovieButton_ = makeButton(this, "cmdAddMovie_0", "Add Movie", 6060, 2280, 1335, 375);

    mergeLabel_ = makeLabel(this, "lblMerge", "Merge: Off", 5520, 120, 2055, 255, "color: black;", &status);
    sortLabel_ = makeLabel(this, "lblSort", "Sort: Ascending", 5520, 360, 2055, 255, "color: black; background: white;",
                           &status);
    recordCountLabel_ =
        makeLabel(this, "lblRecordCount", "Select a Category", 5520, 720, 2055, 255, widgets::WhiteOnBlack, &status);
    auto *browseHint = makeLabel(this, "Label6", "Select a Movie Category to Browse.", 5880, 1300, 1695, 480,
                                 "color: rgb(128, 128, 128);");
    auto *addHint = makeLabel(this, "Label7", "Click below to Add a New Movie.", 5880, 1840, 1695, 420,
                              "color: rgb(128, 128, 128);");
    browseHint->setWordWrap(true);
    addHint->setWordWrap(true);

    connect(previousButton_, &QPushButton::clicked, this, &BrowsePanel::previousClicked);
    connect(nextButton_, &QPushButton::clicked, this, &BrowsePanel::nextClicked);
    connect(categoriesButton_, &QPushButton::clicked, this, &BrowsePanel::onCategoriesClicked);
    connect(addMovieButton_, &QPushButton::clicked, this, &BrowsePanel::addMovieClicked);
}

void BrowsePanel::setExpanded(bool expanded)
{
    emit heightWanted(expanded ? ExpandedHeight : ClosedHeight);
    expanded_ = expanded;
}

void BrowsePanel::onCategoriesClicked()
{
    setExpanded(!expanded_);
    emit categoriesToggled();
}

void BrowsePanel::setCategoryName(const QString &name) { categoryLabel_->setText(name); }

void BrowsePanel::setRecordCountText(const QString &text)
{
    recordCountLabel_->setText(text);
    fitRecordCounter();
}

void BrowsePanel::setMergeShown(bool on) { mergeLabel_->setText(on ? "Merge: On" : "Merge: Off"); }

void BrowsePanel::setSortShown(bool descending)
{
    sortLabel_->setText(descending ? "Sort: Descending" : "Sort: Ascending");
}

void BrowsePanel::setNavigationShown(bool shown)
{
    versionPlate_->setVisible(!shown);
    updateFocusable();
}

void BrowsePanel::layoutControls()
{
    if (window()->isMinimized())
        return;
    const int width = widgets::toTwips(this->width());
    for (QLabel *label : {recordCountLabel_, mergeLabel_, sortLabel_})
        label->move(widgets::twips(width - RightLabelsInset), label->y());
    fitRecordCounter();
    updateFocusable();
}

// The counter keeps its right edge under the other status labels and shows its whole
// text ("Record 9999999 of 9999999"): it grows to the left as far as the Category
// button allows, and past that its font shrinks.
void BrowsePanel::fitRecordCounter()
{
    using widgets::twips;
    const int right = mergeLabel_->x() + twips(StatusLabelWidth);
    const int leftmost = categoriesButton_->geometry().right() + 1 + twips(CounterGap);
    QFont font = sansSerif(StatusPointSize / 100.0);
    auto needed = [this](const QFont &f) {
        return std::max(twips(StatusLabelWidth), QFontMetrics(f).horizontalAdvance(recordCountLabel_->text()) + 4);
    };
    for (int size = StatusPointSize; size > SmallestPointSize && right - needed(font) < leftmost; size -= 25)
        font.setPointSizeF((size - 25) / 100.0);
    const int width = std::min(needed(font), std::max(twips(StatusLabelWidth), right - leftmost));
    recordCountLabel_->setFont(font);
    recordCountLabel_->setGeometry(right - width, recordCountLabel_->y(), width, recordCountLabel_->height());
}

// A button covered by the version plate or outside the panel's visible part cannot be
// seen: it takes no focus, so that neither Tab nor Space reaches it.
void BrowsePanel::updateFocusable()
{
    for (QPushButton *button : findChildren<QPushButton *>(Qt::FindDirectChildrenOnly)) {
        const bool covered = !versionPlate_->isHidden() && versionPlate_->geometry().intersects(button->geometry());
        const bool seen = rect().contains(button->geometry()) && !covered;
        button->setFocusPolicy(seen ? Qt::StrongFocus : Qt::NoFocus);
        if (!seen && button->hasFocus())
            categoriesButton_->setFocus(Qt::OtherFocusReason);
    }
}

void BrowsePanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}
