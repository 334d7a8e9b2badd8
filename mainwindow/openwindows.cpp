// SPDX-License-Identifier: GPL-3.0-or-later
// The windows the commands open, one instance each and without an owner on screen, and
// the "Compact", "Import" and "Restore" commands, which stay off while an editor is loaded.
#include "mainwindow/browsepanel.h"
#include "mainwindow/commandbar.h"
#include "mainwindow/frmmain.h"

#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "help/help.h"
#include "importexport/frmexport.h"
#include "importexport/frmimport.h"
#include "lookupwindows/frmfillin.h"
#include "lookupwindows/lookupoptions.h"
#include "maintenance/frmcompact.h"
#include "report/report.h"
#include "startup/frmabout.h"
#include "startup/frmtip.h"
#include "widgets/windows.h"

#include <QAction>

void FrmMain::onAddMovieClicked()
{
    showAddDialog();
    browsePanel_->setExpanded(false);
}

void FrmMain::showAddDialog()
{
    watchEditor(widgets::showSingle(addDialog_, [this] { return new editor::FrmAddNew(*this); }));
}

void FrmMain::editCurrentMovie()
{
    if (cursor_->bof() || cursor_->eof())
        return;
    watchEditor(editor::FrmEdit::open(*this, editDialog_));
}

// Compaction and import must not run under an editor's pending row or edit: "Compact"
// and "Import" are off while any editor is loaded. An editor says when it closes; one deleted without
// closing is counted out once it is gone.
void FrmMain::watchEditor(editor::MovieDialog *dialog)
{
    if (dialog) {
        connect(dialog, &editor::MovieDialog::unloaded, this, &FrmMain::updateCompactEnabled, Qt::UniqueConnection);
        connect(dialog, &QObject::destroyed, this, &FrmMain::updateCompactEnabled,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    }
    updateCompactEnabled();
}

bool FrmMain::editing() const
{
    return (addDialog_ && addDialog_->isLoaded()) || (editDialog_ && editDialog_->isLoaded());
}

// A window opened before the editor checks editing() itself when it is about to change the file.
void FrmMain::updateCompactEnabled()
{
    const bool editing = this->editing();
    commandBar_->compact()->setEnabled(!editing);
    commandBar_->importMovies()->setEnabled(!editing);
    commandBar_->restore()->setEnabled(!editing);
    commandBar_->fillIn()->setEnabled(!editing);
}

// The import window opens only once a readable file was picked.
void FrmMain::showImport()
{
    if (!importDialog_) {
        auto dialog = std::make_unique<importexport::FrmImport>(*this);
        if (!dialog->chooseFile())
            return;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        importDialog_ = dialog.release();
    }
    importDialog_->show();
    importDialog_->raise();
    importDialog_->activateWindow();
}

void FrmMain::showExport()
{
    widgets::showSingle(exportDialog_, [this] { return new importexport::FrmExport(*this); });
}

void FrmMain::showFillIn()
{
    widgets::showSingle(fillInDialog_, [this] { return new lookupwindows::FrmFillIn(*this); });
}

void FrmMain::showCompaction()
{
    widgets::showSingle(compactDialog_, [this] { return new maintenance::FrmCompact(*this); });
}

void FrmMain::showLookupOptions()
{
    widgets::showSingle(lookupOptions_, [] { return new lookupwindows::LookupOptions; });
}

void FrmMain::showAboutBox()
{
    widgets::showSingle(aboutBox_, [] { return new startup::FrmAbout; });
}

void FrmMain::showTipOfTheDay()
{
    widgets::showSingle(tipWindow_, [this] { return new startup::FrmTip(locations_); });
}

// The report is made once; when it ends, the About box opens.
void FrmMain::showReport()
{
    if (!report_) {
        report_ = new report::Report(locations_);
        connect(report_, &report::Report::terminated, this, &FrmMain::showAboutBox);
    }
    report_->showReport();
}

void FrmMain::showHelp() { help::showHelp(this, locations_.helpFile()); }

void FrmMain::raiseStartupWindows()
{
    for (QWidget *w : {static_cast<QWidget *>(aboutBox_.data()), static_cast<QWidget *>(tipWindow_.data())}) {
        if (w && w->isVisible()) {
            w->raise();
            w->activateWindow();
        }
    }
}
