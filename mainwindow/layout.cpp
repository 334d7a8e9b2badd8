// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's frame: the command bar, the splitters that hold the three panels,
// the browse panel's height, and laying the panels out again when the window changes size.
#include "mainwindow/browsepanel.h"
#include "mainwindow/commandbar.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/listdetailpanel.h"
#include "mainwindow/searchpanel.h"
#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QIcon>
#include <QSplitter>
#include <QToolBar>

using widgets::twips;

namespace {

constexpr int ClientWidth = 10890;
constexpr int ClientHeight = 7005;
constexpr int SplitterBar = 75;
constexpr int SearchPaneWidth = 2175;
constexpr int BrowsePaneDesignHeight = 3180;

} // namespace

void FrmMain::buildWindow()
{
    setObjectName("frmMain");
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle("Moviary");
    setWindowIcon(QIcon(":/images/moviary32.png"));
    setFont(widgets::sansSerif(8.25));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    commandBar_ = new CommandBar(this);

    clientArea_ = new QWidget(this);
    clientArea_->setObjectName("clientArea");
    setCentralWidget(clientArea_);

    mainSplit_ = new QSplitter(Qt::Horizontal, clientArea_);
    mainSplit_->setObjectName("Split1");
    mainSplit_->setHandleWidth(twips(SplitterBar));
    mainSplit_->setChildrenCollapsible(false);
    rightSplit_ = new QSplitter(Qt::Vertical);
    rightSplit_->setObjectName("Split1_right");
    rightSplit_->setHandleWidth(twips(SplitterBar));
    rightSplit_->setChildrenCollapsible(false);

    searchPanel_ = new SearchPanel;
    browsePanel_ = new BrowsePanel;
    listPanel_ = new ListDetailPanel(listModel_);
    searchPanel_->setMinimumWidth(twips(SearchPaneWidth));
    browsePanel_->setMinimumHeight(twips(BrowsePanel::ClosedHeight));
    listPanel_->setMinimumHeight(twips(1200));
    mainSplit_->addWidget(searchPanel_);
    mainSplit_->addWidget(rightSplit_);
    rightSplit_->addWidget(browsePanel_);
    rightSplit_->addWidget(listPanel_);
    mainSplit_->setStretchFactor(0, 0);
    mainSplit_->setStretchFactor(1, 1);
    rightSplit_->setStretchFactor(0, 0);
    rightSplit_->setStretchFactor(1, 1);
    mainSplit_->setSizes({twips(SearchPaneWidth), twips(ClientWidth - SearchPaneWidth - SplitterBar)});
    setBrowsePaneHeight(BrowsePaneDesignHeight);

    // The height below the command bar is fixed; only the width can change.
    adjustSize();
    const int barHeight = menuWidget()->sizeHint().height() + commandBar_->toolBand()->sizeHint().height();
    setFixedHeight(barHeight + twips(ClientHeight));
    // At the narrowest, every control of the panels is in view and none covers another.
    browsePanel_->setMinimumWidth(twips(BrowsePanel::MinimumWidth));
    setMinimumWidth(twips(SearchPaneWidth + SplitterBar + BrowsePanel::MinimumWidth) + 1);
    resize(twips(ClientWidth), height());
}

void FrmMain::setBrowsePaneHeight(int twipsHigh)
{
    const int total = rightSplit_->height() > 0 ? rightSplit_->height() : twips(ClientHeight) - 1;
    const int top = twips(twipsHigh);
    rightSplit_->setSizes({top, std::max(1, total - top - rightSplit_->handleWidth())});
}

void FrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutWindow();
}

void FrmMain::layoutWindow()
{
    if (isMinimized())
        return;
    const int browseHeight = browsePanel_->height();
    mainSplit_->setGeometry(0, 0, std::max(0, clientArea_->width() - 1), std::max(0, clientArea_->height() - 1));
    // Keep the browse pane at its height when the whole window changes size.
    if (browseHeight > 0)
        rightSplit_->setSizes(
            {browseHeight, std::max(1, rightSplit_->height() - browseHeight - rightSplit_->handleWidth())});
    browsePanel_->layoutControls();
    listPanel_->layoutControls();
}
