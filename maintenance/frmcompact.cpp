// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/frmcompact.h"

#include "catalogue/compaction.h"
#include "catalogue/recordcursor.h"
#include "help/help.h"
#include "maintenance/backups.h"
#include "widgets/cataloguehost.h"
#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

namespace maintenance {

namespace {
const QString Finish = QStringLiteral("Finish");
} // namespace

FrmCompact::FrmCompact(widgets::CatalogueHost &host, QWidget *parent) : QWidget(parent, Qt::Dialog), host_(host)
{
    using widgets::placeTwips;
    widgets::exposeAsDialog(this);
    setObjectName(QStringLiteral("frmCompact"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(QStringLiteral("Database"));
    setFont(widgets::sansSerif(8.25));
    setFixedSize(widgets::twips(4575), widgets::twips(2265));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap(QStringLiteral(":/images/compact32.png")));
    placeTwips(image, 240, 240, 480, 480);

    statusLabel_ = new QLabel(QStringLiteral("Compact Database ?"), this);
    statusLabel_->setObjectName(QStringLiteral("lblStatus"));
    statusLabel_->setFont(widgets::sansSerif(13.5, true));
    placeTwips(statusLabel_, 840, 360, 3615, 375);

    // Says why a compaction failed, in the place of the bar.
    reasonLabel_ = new QLabel(this);
    reasonLabel_->setObjectName(QStringLiteral("lblReason"));
    reasonLabel_->setTextFormat(Qt::PlainText);
    reasonLabel_->setWordWrap(true);
    reasonLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(reasonLabel_, 240, 780, 4095, 600);
    reasonLabel_->hide();

    progressBar_ = new QFrame(this);
    progressBar_->setObjectName(QStringLiteral("shpStat"));
    QPalette red = progressBar_->palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    progressBar_->setPalette(red);
    progressBar_->setAutoFillBackground(true);
    placeTwips(progressBar_, 240, 960, 4095, 135);
    progressBar_->hide();

    compactButton_ = new QPushButton(QStringLiteral("Do It Now"), this);
    compactButton_->setObjectName(QStringLiteral("cmdCompact"));
    placeTwips(compactButton_, 240, 1440, 1215, 615);

    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
    placeTwips(cancelButton_, 1680, 1440, 1215, 615);

    helpButton_ = new QPushButton(QStringLiteral("Help"), this);
    helpButton_->setObjectName(QStringLiteral("cmdHelp"));
    placeTwips(helpButton_, 3120, 1440, 1215, 615);

    setTabOrder(compactButton_, cancelButton_);
    setTabOrder(cancelButton_, helpButton_);

    connect(compactButton_, &QPushButton::clicked, this, &FrmCompact::onCompactClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &FrmCompact::onCancelClicked);
    connect(helpButton_, &QPushButton::clicked, this, &FrmCompact::onHelpClicked);
    // Escape does what Cancel does, and nothing once Cancel is disabled.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (cancelButton_->isEnabled())
            cancelButton_->click();
    });

    load();
}

void FrmCompact::load() { widgets::makeTopMost(this); }

void FrmCompact::closeEvent(QCloseEvent *event)
{
    event->accept();
    unload();
}

void FrmCompact::unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    host_.listAllRecords();
}

void FrmCompact::setBarWidth(int twips) { progressBar_->resize(widgets::twips(twips), progressBar_->height()); }

void FrmCompact::onCompactClicked()
{
    if (compactButton_->text() == Finish) {
        close();
        return;
    }
    if (widgets::refusedWhileEditing(this, host_))
        return;
    // A backup comes first; when none can be made, the user decides whether to go on.
    if (!backupBeforeChange(this, host_.catalogueFile(), catalogue::BackupReason::BeforeCompaction))
        return;
    cancelButton_->setEnabled(false);
    progressBar_->show();
    statusLabel_->setText(QStringLiteral("Please Wait..."));

    platform::Failure error;
    {
        widgets::WaitCursor hourglass;
        host_.mainCursor().closeDatabase();
        error = catalogue::compactCatalogue(host_.catalogueFile(), host_.compactionWorkFile(),
                                            [this](catalogue::CompactionStep step) {
                                                switch (step) {
                                                case catalogue::CompactionStep::Started:
                                                    setBarWidth(1435);
                                                    break;
                                                case catalogue::CompactionStep::Copied:
                                                    setBarWidth(2415);
                                                    break;
                                                case catalogue::CompactionStep::Checked:
                                                    setBarWidth(3255);
                                                    break;
                                                case catalogue::CompactionStep::Replaced:
                                                    break;
                                                }
                                            });
    }

    if (error) {
        // The bar gives way to the reason; the catalogue file is as it was.
        progressBar_->hide();
        statusLabel_->setText(QStringLiteral("Compaction failed"));
        reasonLabel_->setText(error.message + QStringLiteral(" The catalogue was not changed."));
        reasonLabel_->setToolTip(reasonLabel_->text());
        reasonLabel_->show();
    } else {
        statusLabel_->setText(QStringLiteral("Database Compacted !"));
    }
    compactButton_->setText(Finish);
    QFont bold = compactButton_->font();
    bold.setBold(true);
    compactButton_->setFont(bold);
    if (!error)
        setBarWidth(4095);
}

void FrmCompact::onCancelClicked() { close(); }

void FrmCompact::onHelpClicked() { help::showHelp(this, host_.helpFile()); }

} // namespace maintenance
