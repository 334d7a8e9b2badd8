// SPDX-License-Identifier: GPL-3.0-or-later
// The safety net: bringing a backup back, the backup a start takes, and the option
// that warns before a movie is saved twice.
#include "mainwindow/commandbar.h"
#include "mainwindow/frmmain.h"

#include "maintenance/backups.h"
#include "maintenance/frmrestore.h"
#include "platform/settings.h"
#include "widgets/windows.h"

#include <QAction>

void FrmMain::showRestore()
{
    widgets::showSingle(restoreDialog_, [this] { return new maintenance::FrmRestore(*this, catalogueFile()); });
}

void FrmMain::startStartupBackup()
{
    if (findChild<maintenance::StartupBackup *>())
        return;
    new maintenance::StartupBackup(catalogueFile(), this);
}

void FrmMain::toggleWarnDuplicates()
{
    QAction *warn = commandBar_->warnDuplicates();
    const bool on = !warn->isChecked();
    warn->setChecked(on);
    platform::saveWarnAboutDuplicates(on);
}
