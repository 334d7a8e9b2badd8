// SPDX-License-Identifier: GPL-3.0-or-later
// Each command of the command bar reaches its own handler; the view and sort options
// (list order, merged cells, list or browse buttons, tips at start-up); deleting the
// current movie.
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "mainwindow/browsepanel.h"
#include "mainwindow/commandbar.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/listdetailpanel.h"
#include "mainwindow/searchpanel.h"
#include "platform/settings.h"
#include "widgets/windows.h"

#include <QAction>
#include <QCoreApplication>
#include <QShortcut>
#include <QToolBar>

void FrmMain::connectCommands()
{
    const CommandBar &bar = *commandBar_;
    connect(bar.newMovie(), &QAction::triggered, this, &FrmMain::showAddDialog);
    connect(bar.editMovie(), &QAction::triggered, this, &FrmMain::editCurrentMovie);
    connect(bar.deleteMovie(), &QAction::triggered, this, &FrmMain::deleteCurrentMovie);
    connect(bar.print(), &QAction::triggered, this, &FrmMain::showReport);
    connect(bar.listAll(), &QAction::triggered, this, &FrmMain::listAllRecords);
    connect(bar.merge(), &QAction::triggered, this, &FrmMain::toggleMerge);
    connect(bar.ascending(), &QAction::triggered, this, [this] { setSortOrder(false); });
    connect(bar.descending(), &QAction::triggered, this, [this] { setSortOrder(true); });
    connect(bar.listView(), &QAction::triggered, this, &FrmMain::toggleView);
    connect(bar.compact(), &QAction::triggered, this, &FrmMain::showCompaction);
    connect(bar.importMovies(), &QAction::triggered, this, &FrmMain::showImport);
    connect(bar.exportMovies(), &QAction::triggered, this, &FrmMain::showExport);
    connect(bar.fillIn(), &QAction::triggered, this, &FrmMain::showFillIn);
    connect(bar.tips(), &QAction::triggered, this, &FrmMain::toggleTips);
    connect(bar.restore(), &QAction::triggered, this, &FrmMain::showRestore);
    connect(bar.warnDuplicates(), &QAction::triggered, this, &FrmMain::toggleWarnDuplicates);
    connect(bar.lookupOptions(), &QAction::triggered, this, &FrmMain::showLookupOptions);
    connect(bar.help(), &QAction::triggered, this, &FrmMain::showHelp);
    connect(bar.about(), &QAction::triggered, this, &FrmMain::showAboutBox);
    connect(bar.exit(), &QAction::triggered, this, &FrmMain::exitProgram);
    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, searchPanel_, &SearchPanel::focusSearchText);
}

// Typed entries of an open editor are never dropped without a word.
void FrmMain::exitProgram()
{
    for (editor::MovieDialog *dialog : {static_cast<editor::MovieDialog *>(addDialog_.data()),
                                        static_cast<editor::MovieDialog *>(editDialog_.data())}) {
        if (dialog && !dialog->mayDiscardEntries())
            return;
    }
    QCoreApplication::exit(0);
}

void FrmMain::setSortOrder(bool descending)
{
    QAction *chosen = descending ? commandBar_->descending() : commandBar_->ascending();
    QAction *other = descending ? commandBar_->ascending() : commandBar_->descending();
    chosen->setChecked(true);
    other->setChecked(false);
    browsePanel_->setSortShown(descending);
    listModel_->setDescending(descending);
    selectCurrentRow();
}

void FrmMain::toggleMerge()
{
    QAction *merge = commandBar_->merge();
    const bool on = !merge->isChecked();
    merge->setChecked(on);
    browsePanel_->setMergeShown(on);
    listModel_->setMerged(on);
    listPanel_->repaintCells();
}

void FrmMain::toggleView()
{
    if (listHidden_) {
        showListView();
    } else {
        commandBar_->listView()->setText("ListView");
        browsePanel_->setNavigationShown(true);
        listPanel_->setListShown(false);
        listHidden_ = true;
    }
    commandBar_->toolBand()->update();
}

void FrmMain::showListView()
{
    commandBar_->listView()->setText("Browse Buttons");
    browsePanel_->setNavigationShown(false);
    listPanel_->setListShown(true);
    listHidden_ = false;
}

void FrmMain::toggleTips()
{
    QAction *tips = commandBar_->tips();
    const bool show = !tips->isChecked();
    tips->setChecked(show);
    if (const platform::Failure error = platform::saveShowTipsAtStartup(show))
        widgets::showMessage(this, QMessageBox::Warning, QStringLiteral("Moviary"), error.message);
}

void FrmMain::deleteCurrentMovie()
{
    if (cursor_->bof() || cursor_->eof())
        return;
    // Above every window, an open editor included, so that it is seen before it is answered.
    if (!widgets::askYesNo(this, "Please Confirm !", "Are you sure you want to delete this movie ?", QMessageBox::Yes))
        return;
    if (!cursor_->deleteCurrent()) {
        // Nothing was removed: say why and leave the listing as it is.
        widgets::showMessage(this, QMessageBox::Warning, "Moviary",
                             "The movie could not be deleted.\n\n" + cursor_->lastError().message);
        return;
    }
    cursor_->refresh();
    listAllRecords();
}
