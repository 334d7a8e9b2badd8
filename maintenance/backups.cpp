// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/backups.h"

#include "catalogue/backup.h"
#include "widgets/windows.h"

#include <QMessageBox>
#include <QThread>

namespace maintenance {

bool backupBeforeChange(QWidget *parent, const QString &catalogueFile, catalogue::BackupReason reason,
                        const QString &keep, QString *madePath)
{
    platform::Failure error;
    {
        widgets::WaitCursor hourglass;
        error = catalogue::backUpCatalogue(catalogueFile, madePath, keep, QDateTime::currentDateTime(), reason);
    }
    if (!error)
        return true;
    return widgets::askYesNo(parent, QStringLiteral("Backup"),
                             error.message + QStringLiteral("\n\nGo on without a backup?"), QMessageBox::No,
                             QMessageBox::Warning);
}

StartupBackup::StartupBackup(const QString &catalogueFile, QObject *parent) : QObject(parent)
{
    thread_ = QThread::create(
        [this, catalogueFile] { problem_ = catalogue::backUpAtStartupIfDue(catalogueFile, made_).message; });
    // Queued to this object's thread: the results are read only after the worker ended.
    connect(thread_, &QThread::finished, this, [this] { emit finished(made_, problem_); });
    thread_->setObjectName(QStringLiteral("startup backup"));
    thread_->start(QThread::LowPriority);
}

StartupBackup::~StartupBackup()
{
    thread_->wait();
    delete thread_;
}

bool StartupBackup::isRunning() const { return thread_->isRunning(); }

} // namespace maintenance
