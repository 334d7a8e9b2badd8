// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/frmmain.h"

#include "catalogue/categories.h"
#include "catalogue/query.h"
#include "catalogue/searchquery.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "help/help.h"
#include "importexport/frmexport.h"
#include "importexport/frmimport.h"
#include "lookupwindows/frmfillin.h"
#include "lookupwindows/lookupoptions.h"
#include "maintenance/frmcompact.h"
#include "maintenance/frmrestore.h"
#include "mainwindow/browsepanel.h"
#include "mainwindow/commandbar.h"
#include "mainwindow/listdetailpanel.h"
#include "mainwindow/searchpanel.h"
#include "platform/settings.h"
#include "report/report.h"
#include "startup/frmabout.h"
#include "startup/frmtip.h"
#include "widgets/windows.h"

#include <QAction>

FrmMain::FrmMain(const QString &applicationFolder, QWidget *parent)
    : FrmMain(platform::Locations::portable(applicationFolder), parent)
{
}

FrmMain::FrmMain(const platform::Locations &locations, QWidget *parent) : QMainWindow(parent), locations_(locations)
{
    cursor_ = new catalogue::RecordCursor(this);
    cursor_->setObjectName("Data1");
    listModel_ = new mainwindow::MovieListModel(cursor_, this);
    buildWindow();

    listPanel_->bindDetails(*cursor_);
    connect(cursor_, &catalogue::RecordCursor::validate, this, &FrmMain::onCursorValidate);
    connectPanels();
    connectCommands();
}

// The windows without an owner go with the main window, before it: the editors, the
// import, export, compaction and restore windows hold a reference to it.
FrmMain::~FrmMain()
{
    delete report_.data();
    delete addDialog_.data();
    delete editDialog_.data();
    delete compactDialog_.data();
    delete importDialog_.data();
    delete exportDialog_.data();
    delete fillInDialog_.data();
    delete restoreDialog_.data();
    delete aboutBox_.data();
    delete tipWindow_.data();
    delete lookupOptions_.data();
    help::closeHelp();
}

bool FrmMain::load()
{
    listAllRecords();
    // A file that opens but cannot be listed (damaged pages, say) is no catalogue to start on.
    if (!cursor_->isOpen() || cursor_->lastError()) {
        loadError_ = cursor_->lastError().message;
        loadErrorCode_ = cursor_->lastError().code;
        return false;
    }
    searchPanel_->loadSearchFields();
    listHidden_ = false;
    commandBar_->ascending()->setChecked(true);
    showAboutBox();
    const int showTips = platform::showTipsAtStartup();
    if (showTips == 0) {
        commandBar_->tips()->setChecked(false);
    } else if (showTips == 1) {
        commandBar_->tips()->setChecked(true);
        showTipOfTheDay();
    }
    commandBar_->warnDuplicates()->setChecked(platform::warnAboutDuplicates());
    return true;
}

void FrmMain::connectPanels()
{
    connect(searchPanel_, &SearchPanel::searchRequested, this, &FrmMain::onSearchRequested);
    connect(browsePanel_, &BrowsePanel::heightWanted, this, &FrmMain::setBrowsePaneHeight);
    connect(browsePanel_, &BrowsePanel::categoriesToggled, searchPanel_, &SearchPanel::hideFound);
    connect(browsePanel_, &BrowsePanel::categoryChosen, this, &FrmMain::onCategoryChosen);
    connect(browsePanel_, &BrowsePanel::previousClicked, this, &FrmMain::onPreviousClicked);
    connect(browsePanel_, &BrowsePanel::nextClicked, this, &FrmMain::onNextClicked);
    connect(browsePanel_, &BrowsePanel::addMovieClicked, this, &FrmMain::onAddMovieClicked);
    connect(listPanel_, &ListDetailPanel::rowChosen, this, &FrmMain::onRowChosen);
    connect(listPanel_, &ListDetailPanel::rowDoubleClicked, this, &FrmMain::onRowDoubleClicked);
}

bool FrmMain::categoriesExpanded() const { return browsePanel_->isExpanded(); }

void FrmMain::listAllRecords()
{
    browsePanel_->setExpanded(false);
    searchPanel_->hideFound();
    browsePanel_->setCategoryName("All DVD Movies");
    cursor_->setDatabaseName(locations_.catalogueFile());
    cursor_->setRecordSource("select * from Movies order by Title");
    if (!countResult())
        browsePanel_->setRecordCountText("No Movies");
}

std::vector<int> FrmMain::listedPositions()
{
    std::vector<int> places(size_t(listModel_->rowCount()));
    for (int row = 0; row < int(places.size()); ++row)
        places[size_t(row)] = listModel_->positionOfRow(row);
    return places;
}

void FrmMain::onCategoryChosen(int index)
{
    searchPanel_->hideFound();
    const QString name = catalogue::categoryNames().value(index - 1);
    browsePanel_->setCategoryName(name);
    cursor_->setRecordSource("select * from Movies where Category = " + catalogue::quoteLiteral(name) +
                             " order by Title");
    if (!countResult())
        browsePanel_->setRecordCountText("No Movies");
    browsePanel_->setExpanded(false);
}

void FrmMain::onSearchRequested()
{
    // A field selector that names no field runs no query: the search finds nothing.
    cursor_->setRecordSource(catalogue::searchQuery(searchPanel_->searchField(), searchPanel_->searchText()));
    searchPanel_->clearFound();
    browsePanel_->setCategoryName("Browse Results");
    if (!countResult()) {
        searchPanel_->showFound(0);
        browsePanel_->setRecordCountText("No Matches");
    } else {
        searchPanel_->showFound(totalRecords_);
    }
    showListView();
}

// Counts the result of the cursor's query: refresh, and unless it is empty, visit the
// last and the first row, keep the count, show the counter for the first row and refresh.
bool FrmMain::countResult()
{
    if (!cursor_->refresh() && isVisible())
        reportCatalogueError();
    if (cursor_->bof())
        return false;
    cursor_->moveLast();
    cursor_->moveFirst();
    totalRecords_ = cursor_->recordCount();
    setRecordCounter(cursor_->absolutePosition() + 1);
    cursor_->refresh();
    selectCurrentRow();
    return true;
}

void FrmMain::setRecordCounter(int place)
{
    browsePanel_->setRecordCountText(QString("Record %1 of %2").arg(place).arg(totalRecords_));
}

// The list highlights the current movie, wherever its own sort order shows it.
void FrmMain::selectCurrentRow()
{
    const int row = listModel_->rowOfPosition(cursor_->absolutePosition());
    if (row >= 0)
        listPanel_->selectRow(row);
}

void FrmMain::reportCatalogueError()
{
    widgets::showMessage(this, QMessageBox::Warning, "Moviary", cursor_->lastError().message);
}
