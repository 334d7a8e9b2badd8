// The view and sort options: list order, merged cells, list or browse buttons, and
// whether the tips open at start-up.
#include "commandbar.h"
#include "frmmain.h"

#include "platform/settings.h"

#include <QAction>
#include <QLabel>
#include <QTableView>
#include <QToolBar>

void FrmMain::setSortOrder(bool descending)
{
    ActiveBar1->tool(descending ? "Descending" : "Ascending")->setChecked(true);
    ActiveBar1->tool(descending ? "Ascending" : "Descending")->setChecked(false);
    lblSort->setText(descending ? "Sort: Descending" : "Sort: Ascending");
    listModel_->setDescending(descending);
    selectCurrentRow();
}

void FrmMain::ToggleMerge()
{
    QAction *merge = ActiveBar1->tool("Merge");
    const bool on = !merge->isChecked();
    merge->setChecked(on);
    lblMerge->setText(on ? "Merge: On" : "Merge: Off");
    listModel_->setMerged(on);
    fpList1->viewport()->update();
}

void FrmMain::toggleView()
{
    if (ListHidden) {
        showListView();
    } else {
        ActiveBar1->tool("List")->setText("ListView");
        picHideButtons->hide();
        fpList1->hide();
        ListHidden = true;
    }
    ActiveBar1->toolBand()->update();
}

void FrmMain::showListView()
{
    ActiveBar1->tool("List")->setText("Browse Buttons");
    picHideButtons->show();
    fpList1->show();
    ListHidden = false;
}

void FrmMain::ToggleTips()
{
    QAction *tips = ActiveBar1->tool("Tips");
    const bool show = !tips->isChecked();
    tips->setChecked(show);
    platform::saveShowTipsAtStartup(show);
}
