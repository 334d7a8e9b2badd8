#include "frmcompact.h"

#include "catalogue/cataloguehost.h"
#include "catalogue/compaction.h"
#include "catalogue/recordcursor.h"
#include "platform/appfolder.h"
#include "platform/help.h"
#include "platform/twips.h"
#include "platform/windows.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace maintenance {

namespace {
const QString Finish = QStringLiteral("Finish");
} // namespace

FrmCompact::FrmCompact(catalogue::CatalogueHost &host, QWidget *parent)
    : QWidget(parent, Qt::Dialog), host_(host)
{
    using platform::placeTwips;
    setObjectName(QStringLiteral("frmCompact"));
    setWindowTitle(QStringLiteral("Database"));
    setFont(platform::sansSerif(8.25));
    setFixedSize(platform::twips(4575), platform::twips(2265));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/compact32.png")));
    placeTwips(Image1, 240, 240, 480, 480);

    lblStatus = new QLabel(QStringLiteral("Compact Database ?"), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFont(platform::sansSerif(13.5, true));
    placeTwips(lblStatus, 840, 360, 3615, 375);

    // Says why a compaction failed, in the place of the bar.
    lblReason = new QLabel(this);
    lblReason->setObjectName(QStringLiteral("lblReason"));
    lblReason->setTextFormat(Qt::PlainText);
    lblReason->setWordWrap(true);
    lblReason->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(lblReason, 240, 780, 4095, 600);
    lblReason->hide();

    shpStat = new QFrame(this);
    shpStat->setObjectName(QStringLiteral("shpStat"));
    QPalette red = shpStat->palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    shpStat->setPalette(red);
    shpStat->setAutoFillBackground(true);
    placeTwips(shpStat, 240, 960, 4095, 135);
    shpStat->hide();

    cmdCompact = new QPushButton(QStringLiteral("Do It Now"), this);
    cmdCompact->setObjectName(QStringLiteral("cmdCompact"));
    placeTwips(cmdCompact, 240, 1440, 1215, 615);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    placeTwips(cmdCancel, 1680, 1440, 1215, 615);

    cmdHelp = new QPushButton(QStringLiteral("Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    placeTwips(cmdHelp, 3120, 1440, 1215, 615);

    setTabOrder(cmdCompact, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);

    connect(cmdCompact, &QPushButton::clicked, this, &FrmCompact::cmdCompact_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmCompact::cmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmCompact::cmdHelp_Click);

    Form_Load();
}

void FrmCompact::Form_Load() { platform::makeTopMost(this); }

void FrmCompact::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}

void FrmCompact::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    host_.listAllRecords();
}

void FrmCompact::setBarWidth(int twips)
{
    shpStat->resize(platform::twips(twips), shpStat->height());
}

void FrmCompact::cmdCompact_Click()
{
    if (cmdCompact->text() == Finish) {
        close();
        return;
    }
    cmdCancel->setEnabled(false);
    shpStat->show();
    lblStatus->setText(QStringLiteral("Please Wait..."));

    catalogue::CatalogueError error;
    {
        platform::WaitCursor hourglass;
        host_.mainCursor().closeDatabase();
        const QString folder = host_.applicationFolder();
        error = catalogue::compactCatalogue(platform::catalogueFile(folder), platform::compactionWorkFile(folder),
                                            [this](catalogue::CompactionStep step) {
                                                switch (step) {
                                                case catalogue::CompactionStep::Started: setBarWidth(1435); break;
                                                case catalogue::CompactionStep::Copied: setBarWidth(2415); break;
                                                case catalogue::CompactionStep::Checked: setBarWidth(3255); break;
                                                case catalogue::CompactionStep::Replaced: break;
                                                }
                                            });
    }

    if (error) {
        // The bar gives way to the reason; the catalogue file is as it was.
        shpStat->hide();
        lblStatus->setText(QStringLiteral("Compaction failed"));
        lblReason->setText(error.message + QStringLiteral(" The catalogue was not changed."));
        lblReason->setToolTip(lblReason->text());
        lblReason->show();
    } else {
        lblStatus->setText(QStringLiteral("Database Compacted !"));
    }
    cmdCompact->setText(Finish);
    QFont bold = cmdCompact->font();
    bold.setBold(true);
    cmdCompact->setFont(bold);
    if (!error)
        setBarWidth(4095);
}

void FrmCompact::cmdCancel_Click() { close(); }

void FrmCompact::cmdHelp_Click() { platform::showHelp(this, platform::helpFile(host_.applicationFolder())); }

} // namespace maintenance
