// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/searchpanel.h"

#include "catalogue/searchquery.h"
#include "widgets/controls.h"
#include "widgets/twips.h"

#include <QComboBox>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using widgets::makeButton;
using widgets::makeLabel;
using widgets::WhiteOnBlack;

SearchPanel::SearchPanel(QWidget *parent) : QWidget(parent)
{
    // The grey nearest to mid-grey on which white text reads at a contrast of 4.5:1.
    widgets::stylePanel(this, "Picture0", "rgb(118, 118, 118)");
    const QFont labelFont = widgets::sansSerif(9.75);
    auto *title = makeLabel(this, "Label1", " Search for Movies", 0, 0, 2175, 255, WhiteOnBlack, &labelFont);
    title->setIndent(widgets::twips(240)); // the caption starts beside the picture that sits on it
    auto *image = makeLabel(this, "Image1", {}, 0, 0, 240, 240);
    image->setPixmap(QIcon(":/images/search16.png").pixmap(16, 16));
    makeLabel(this, "Label2", "Search For :", 120, 600, 1215, 255, "color: white;");
    searchText_ = new QLineEdit(this);
    searchText_->setObjectName("txtSearch");
    widgets::placeTwips(searchText_, 100, 840, 1905, 330);
    searchText_->installEventFilter(this);
    makeLabel(this, "Label4", "Look In :", 120, 1440, 975, 255, "color: white;");
    searchField_ = new QComboBox(this);
    searchField_->setObjectName("cboField");
    searchField_->setEditable(true);
    searchField_->setInsertPolicy(QComboBox::NoInsert);
    searchField_->setEditText("Title");
    widgets::placeTwips(searchField_, 100, 1680, 1935, 315);
    // Named by their labels, not by what they hold.
    searchText_->setAccessibleName(QStringLiteral("Search For"));
    searchField_->setAccessibleName(QStringLiteral("Look In"));
    searchField_->lineEdit()->setAccessibleName(searchField_->accessibleName());
    searchButton_ = makeButton(this, "cmdSearch", "Find Movies...", 100, 2400, 1935, 375);
    foundLabel_ = makeLabel(this, "lblFound", "Movies Found :", 0, 3240, 2175, 255, WhiteOnBlack, &labelFont);
    foundLabel_->hide();

    connect(searchButton_, &QPushButton::clicked, this, &SearchPanel::searchRequested);
    connect(searchField_, &QComboBox::editTextChanged, this, &SearchPanel::onFieldEdited);
}

void SearchPanel::focusSearchText()
{
    searchText_->setFocus(Qt::ShortcutFocusReason);
    searchText_->selectAll();
}

void SearchPanel::loadSearchFields()
{
    searchField_->addItems(catalogue::searchFieldEntries());
    searchField_->setEditText("Title");
}

QString SearchPanel::searchText() const { return searchText_->text(); }

QString SearchPanel::searchField() const { return searchField_->currentText(); }

void SearchPanel::hideFound() { foundLabel_->hide(); }

void SearchPanel::clearFound() { foundLabel_->setText(QString()); }

void SearchPanel::showFound(int count)
{
    if (count == 0) {
        foundLabel_->show();
        foundLabel_->setText("Movies Found : 0");
    } else {
        foundLabel_->setText(QString("Movies Found : %1").arg(count));
        foundLabel_->show();
    }
}

// An emptied field selector shows "Title" again.
void SearchPanel::onFieldEdited(const QString &text)
{
    if (text.isEmpty())
        searchField_->setEditText("Title");
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchText_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !searchField_->currentText().isEmpty()) {
            emit searchRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
