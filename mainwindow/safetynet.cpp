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
#include <QMessageBox>

void FrmMain::showRestore()
{
    widgets::showSingle(restoreDialog_, [this] { return new maintenance::FrmRestore(*this, catalogueFile()); });
}

void FrmMain::startStartupBackup()
{
    if (findChild<maintenance::StartupBackup *>())
        return;
    auto *backup = new maintenance::StartupBackup(catalogueFile(), this);
    connect(backup, &maintenance::StartupBackup::finished, this, [this](bool made, const QString &problem) {
        if (!made && !problem.isEmpty())
            reportStartupBackupFailure(problem);
    });
}

// Told without a question, so that the start goes on; the next start tries again and
// tells again while the backup keeps failing.
void FrmMain::reportStartupBackupFailure(const QString &problem)
{
    QString reason = problem.trimmed();
    if (reason.endsWith('.'))
        reason.chop(1);
    if (reason.startsWith("The ") || reason.startsWith("No "))
        reason[0] = reason[0].toLower();
    auto *box = new QMessageBox(
        QMessageBox::Warning, "Moviary",
        QString("The automatic backup could not be written: %1. Your catalogue is unchanged.").arg(reason),
        QMessageBox::Ok, this);
    box->setObjectName("msgBackupFailed");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void FrmMain::toggleWarnDuplicates()
{
    QAction *warn = commandBar_->warnDuplicates();
    const bool on = !warn->isChecked();
    warn->setChecked(on);
    if (const platform::Failure error = platform::saveWarnAboutDuplicates(on))
        widgets::showMessage(this, QMessageBox::Warning, QStringLiteral("Moviary"), error.message);
}
