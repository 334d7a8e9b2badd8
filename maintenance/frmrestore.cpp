#include "maintenance/frmrestore.h"

#include "catalogue/backup.h"
#include "catalogue/recordcursor.h"
#include "catalogue/replace.h"
#include "maintenance/backups.h"
#include "widgets/cataloguehost.h"
#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace maintenance {

namespace {

constexpr int PathRole = Qt::UserRole;

QString moviesText(qint64 n) { return n == 1 ? QStringLiteral("1 movie") : QString("%1 movies").arg(n); }

QString whenText(const QDateTime &taken)
{
    return QLocale().toString(taken.date(), QLocale::ShortFormat) + "  " + taken.time().toString("HH:mm:ss");
}

} // namespace

FrmRestore::FrmRestore(widgets::CatalogueHost &host, const QString &catalogueFile, QWidget *parent)
    : QWidget(parent, Qt::Dialog), host_(host), catalogueFile_(catalogueFile)
{
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("Restore from Backup"));
    setFont(widgets::sansSerif(8.25));
    resize(widgets::twips(6000), widgets::twips(4200));

    lblCurrent = new QLabel(this);
    lblCurrent->setObjectName(QStringLiteral("lblCurrent"));
    lblCurrent->setTextFormat(Qt::PlainText);
    lblCurrent->setWordWrap(true);

    lstBackups = new QListWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    lstBackups->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdRestore = new QPushButton(QStringLiteral("Restore"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblCurrent);
    layout->addWidget(lstBackups, 1);
    layout->addLayout(buttons);

    connect(lstBackups, &QListWidget::itemSelectionChanged, this, &FrmRestore::updateRestoreEnabled);
    connect(cmdRestore, &QPushButton::clicked, this, &FrmRestore::cmdRestore_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);

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
    lstBackups->clear();
    const qint64 current = catalogue::catalogueMovieCount(catalogueFile_);
    QString now = current < 0 ? QStringLiteral("The catalogue cannot be read now.")
                              : QString("The catalogue now holds %1.").arg(moviesText(current));
    const QList<catalogue::BackupFile> backups = catalogue::listBackups(catalogueFile_);
    if (backups.isEmpty())
        now += QStringLiteral(" There are no backups yet.");
    lblCurrent->setText(now);

    QStringList paths;
    for (const catalogue::BackupFile &b : backups) {
        auto *item = new QListWidgetItem(whenText(b.taken) + QStringLiteral("   checking..."), lstBackups);
        item->setData(PathRole, b.path);
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
    QListWidgetItem *item = lstBackups->item(row);
    if (!item)
        return;
    const QString when = item->text().section(QStringLiteral("   "), 0, 0);
    if (intact) {
        item->setText(when + QStringLiteral("   ") + moviesText(movies));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    } else {
        item->setText(when + QStringLiteral("   damaged: cannot be restored"));
        item->setFlags(Qt::NoItemFlags);
    }
    updateRestoreEnabled();
}

void FrmRestore::updateRestoreEnabled()
{
    const QList<QListWidgetItem *> chosen = lstBackups->selectedItems();
    cmdRestore->setEnabled(chosen.size() == 1 && (chosen.first()->flags() & Qt::ItemIsSelectable));
}

void FrmRestore::cmdRestore_Click()
{
    const QList<QListWidgetItem *> chosen = lstBackups->selectedItems();
    if (chosen.size() != 1 || !(chosen.first()->flags() & Qt::ItemIsSelectable))
        return;
    const QString backup = chosen.first()->data(PathRole).toString();
    stopChecking();

    host_.mainCursor().closeDatabase();
    // Refused before the backup is taken, so that a refusal costs nothing.
    if (const catalogue::CatalogueError refused = catalogue::refusalIfInUse(catalogueFile_)) {
        host_.listAllRecords();
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(), refused.message);
        return;
    }
    if (!backupBeforeChange(this, catalogueFile_, backup)) {
        host_.listAllRecords();
        loadBackups();
        return;
    }
    catalogue::CatalogueError error;
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
    close();
}

} // namespace maintenance
