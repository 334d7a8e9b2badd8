// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/frmrestore.h"

#include "catalogue/backup.h"
#include "catalogue/recordcursor.h"
#include "catalogue/replace.h"
#include "maintenance/backups.h"
#include "platform/counted.h"
#include "widgets/cataloguehost.h"
#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QThread>
#include <QVBoxLayout>

namespace maintenance {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int TakenRole = Qt::UserRole + 1;
constexpr int MoviesRole = Qt::UserRole + 2;
constexpr int ReasonRole = Qt::UserRole + 3;

QString moviesText(qint64 n) { return platform::counted(n, "movie", "movies"); }

// The list aligns its columns with two blanks between date and time; a sentence has one.
QString whenText(const QDateTime &taken, const char *gap = "  ")
{
    return QLocale().toString(taken.date(), QLocale::ShortFormat) + gap + taken.time().toString("HH:mm:ss");
}

} // namespace

FrmRestore::FrmRestore(widgets::CatalogueHost &host, const QString &catalogueFile, QWidget *parent)
    : QWidget(parent, Qt::Dialog), host_(host), catalogueFile_(catalogueFile)
{
    widgets::exposeAsDialog(this);
    setObjectName(QStringLiteral("frmRestore"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(QStringLiteral("Restore from Backup"));
    setFont(widgets::sansSerif(8.25));
    resize(widgets::twips(6000), widgets::twips(4200));

    currentLabel_ = new QLabel(this);
    currentLabel_->setObjectName(QStringLiteral("lblCurrent"));
    currentLabel_->setTextFormat(Qt::PlainText);
    currentLabel_->setWordWrap(true);

    backupList_ = new QListWidget(this);
    backupList_->setObjectName(QStringLiteral("lstBackups"));
    backupList_->setSelectionMode(QAbstractItemView::SingleSelection);
    backupList_->setAccessibleName(QStringLiteral("Backups"));

    restoreButton_ = new QPushButton(QStringLiteral("Restore"), this);
    restoreButton_->setObjectName(QStringLiteral("cmdRestore"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(restoreButton_);
    buttons->addWidget(cancelButton_);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(currentLabel_);
    layout->addWidget(backupList_, 1);
    layout->addLayout(buttons);

    connect(backupList_, &QListWidget::itemSelectionChanged, this, &FrmRestore::updateRestoreEnabled);
    connect(restoreButton_, &QPushButton::clicked, this, &FrmRestore::onRestoreClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QWidget::close);
    // Escape does what Cancel does.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cancelButton_, &QPushButton::click);

    widgets::makeTopMost(this);
    loadBackups();
}

FrmRestore::~FrmRestore() { stopChecking(); }

void FrmRestore::stopChecking()
{
    if (!checker_)
        return;
    stop_->store(true);
    checker_->wait();
    delete checker_;
    checker_ = nullptr;
}

void FrmRestore::loadBackups()
{
    stopChecking();
    backupList_->clear();
    currentMovies_ = catalogue::catalogueMovieCount(catalogueFile_);
    QString now = currentMovies_ < 0 ? QStringLiteral("The catalogue cannot be read now.")
                                     : QString("The catalogue now holds %1.").arg(moviesText(currentMovies_));
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(catalogueFile_);
    if (backups.isEmpty())
        now += QStringLiteral(" There are no backups yet.");
    currentLabel_->setText(now);

    QStringList paths;
    for (const catalogue::BackupFile &b : backups) {
        auto *item = new QListWidgetItem(whenText(b.taken) + QStringLiteral("   checking..."), backupList_);
        item->setData(PathRole, b.path);
        item->setData(TakenRole, b.taken);
        item->setData(ReasonRole, catalogue::backupReasonText(b.reason));
        item->setFlags(Qt::NoItemFlags);
        paths << b.path;
    }
    updateRestoreEnabled();
    if (paths.isEmpty())
        return;

    stop_ = std::make_shared<std::atomic<bool>>(false);
    QPointer<FrmRestore> self(this);
    auto stop = stop_;
    checker_ = QThread::create([self, stop, paths] {
        for (int row = 0; row < paths.size() && !stop->load(); ++row) {
            const catalogue::BackupContents c = catalogue::inspectBackup(paths[row]);
            if (stop->load())
                return;
            // Queued to the window's thread; dropped if the window is gone by then.
            QMetaObject::invokeMethod(
                self.data(),
                [self, row, c] {
                    if (self)
                        self->showChecked(row, c.intact, c.movies);
                },
                Qt::QueuedConnection);
        }
    });
    checker_->start();
}

void FrmRestore::showChecked(int row, bool intact, qint64 movies)
{
    QListWidgetItem *item = backupList_->item(row);
    if (!item)
        return;
    const QString when = whenText(item->data(TakenRole).toDateTime());
    if (intact) {
        const QString reason = item->data(ReasonRole).toString();
        item->setText(when + QStringLiteral("   ") + moviesText(movies) +
                      (reason.isEmpty() ? QString() : QStringLiteral("   ") + reason));
        item->setData(MoviesRole, movies);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    } else {
        item->setText(when + QStringLiteral("   damaged: cannot be restored"));
        item->setFlags(Qt::NoItemFlags);
    }
    updateRestoreEnabled();
}

void FrmRestore::updateRestoreEnabled()
{
    const QList<QListWidgetItem *> chosen = backupList_->selectedItems();
    restoreButton_->setEnabled(chosen.size() == 1 && (chosen.first()->flags() & Qt::ItemIsSelectable));
}

void FrmRestore::onRestoreClicked()
{
    const QList<QListWidgetItem *> chosen = backupList_->selectedItems();
    if (chosen.size() != 1 || !(chosen.first()->flags() & Qt::ItemIsSelectable))
        return;
    if (widgets::refusedWhileEditing(this, host_))
        return;
    const QListWidgetItem *item = chosen.first();
    const QString backup = item->data(PathRole).toString();
    const QString backupText = QString("%1 (%2)").arg(whenText(item->data(TakenRole).toDateTime(), " "),
                                                      moviesText(item->data(MoviesRole).toLongLong()));
    if (const qint64 now = catalogue::catalogueMovieCount(catalogueFile_); now >= 0)
        currentMovies_ = now;
    const QString currentText = currentMovies_ < 0 ? QStringLiteral("unreadable") : moviesText(currentMovies_);
    if (!widgets::askYesNo(this, windowTitle(),
                           QString("Replace the catalogue (%1) with the backup of %2? The catalogue as it is now is "
                                   "backed up first.")
                               .arg(currentText, backupText),
                           QMessageBox::No))
        return;
    stopChecking();

    host_.mainCursor().closeDatabase();
    // Refused before the backup is taken, so that a refusal costs nothing.
    if (const platform::Failure refused = catalogue::refusalIfInUse(catalogueFile_)) {
        host_.listAllRecords();
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(), refused.message);
        return;
    }
    QString before;
    if (!backupBeforeChange(this, catalogueFile_, catalogue::BackupReason::BeforeRestore, backup, &before)) {
        host_.listAllRecords();
        loadBackups();
        return;
    }
    platform::Failure error;
    {
        widgets::WaitCursor hourglass;
        error = catalogue::restoreBackup(backup, catalogueFile_);
    }
    host_.listAllRecords();
    if (error) {
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(),
                             error.message + QStringLiteral(" The catalogue was not changed."));
        loadBackups();
        return;
    }
    const QString kept = before.isEmpty() ? QStringLiteral("No backup was taken of the catalogue as it was before.")
                                          : QString("The catalogue as it was before (%1) is kept in the backup %2.")
                                                .arg(currentText, QFileInfo(before).fileName());
    widgets::showMessage(
        this, QMessageBox::Information, windowTitle(),
        QString("The backup %1 of %2 was restored. %3").arg(QFileInfo(backup).fileName(), backupText, kept));
    close();
}

} // namespace maintenance
