#include "frmtip.h"

#include "tipsfile.h"

#include "platform/appfolder.h"
#include "platform/settings.h"
#include "platform/twips.h"
#include "platform/windows.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include <chrono>
#include <cmath>

namespace maintenance {

FrmTip::FrmTip(const QString &appFolder, QWidget *parent)
    : QDialog(parent), appFolder_(appFolder)
{
    using platform::placeTwips;
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setFont(platform::sansSerif(8.25));
    setFixedSize(platform::twips(4095), platform::twips(3720));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    placeTwips(cmdOK, 120, 3240, 1215, 375);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setLineWidth(2);
    Picture1->setAutoFillBackground(true);
    Picture1->setBackgroundRole(QPalette::Base);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/images/tip32.png")));
    placeTwips(Picture1, 120, 120, 3855, 2715);

    // Inside the panel, places count from the inner edge of its border.
    const QPoint inside = Picture1->contentsRect().topLeft();
    Label1 = new QLabel(QStringLiteral("Did you know..."), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(Label1, 480, 240, 2655, 255);
    Label1->move(Label1->pos() + inside);

    lblTipText = new QLabel(Picture1);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setFont(platform::sansSerif(9.75));
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(lblTipText, 120, 840, 3615, 1755);
    lblTipText->move(lblTipText->pos() + inside);

    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    placeTwips(cmdNextTip, 2760, 3240, 1215, 375);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    placeTwips(chkLoadTipsAtStartup, 120, 2880, 1815, 255);
    // The row is free to the right: a wider substitute font must not clip the caption.
    chkLoadTipsAtStartup->resize(qMax(chkLoadTipsAtStartup->width(), chkLoadTipsAtStartup->sizeHint().width()),
                                 chkLoadTipsAtStartup->height());

    setTabOrder(cmdOK, cmdNextTip);
    setTabOrder(cmdNextTip, chkLoadTipsAtStartup);

    connect(cmdOK, &QPushButton::clicked, this, &FrmTip::cmdOK_Click);
    connect(cmdNextTip, &QPushButton::clicked, this, &FrmTip::cmdNextTip_Click);
    connect(chkLoadTipsAtStartup, &QCheckBox::toggled, this, &FrmTip::chkLoadTipsAtStartup_Click);

    Form_Load();
}

QString FrmTip::missingFileText()
{
    const QString name = QStringLiteral("TIPOFDAY.TXT");
    return QStringLiteral("That the ") + name + QStringLiteral(" file was not found? ")
         + QStringLiteral("\r\n") + QStringLiteral("\r\n")
         + QStringLiteral("Create a text file named ") + name
         + QStringLiteral(" using NotePad with 1 tip per line. ")
         + QStringLiteral("Then place it in the same directory as the application. ");
}

void FrmTip::Form_Load()
{
    platform::makeTopMost(this);

    if (platform::showTipsAtStartup() == 0)
        return;
    chkLoadTipsAtStartup->setChecked(true);

    random_.seed(quint32(std::chrono::system_clock::now().time_since_epoch().count()));
    if (!LoadTips(platform::tipsFile(appFolder_)))
        lblTipText->setText(missingFileText());
}

bool FrmTip::LoadTips(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    const QFileInfo info(fileName);
    if (!info.isFile() || info.isHidden())
        return false;
    // An unreadable file is treated like a missing one: the window explains where
    // the tips belong instead of failing.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A character cut at the limit is held back by the decoder, not taken for an error.
    const QByteArray bytes = file.read(MaxTipsFileBytes);
    file.close();

    TipList += readTips(bytes);
    SelectRandomTip();
    return true;
}

void FrmTip::DisplayCurrentTip()
{
    if (CurrentTipIndex >= 1 && CurrentTipIndex <= TipList.size())
        lblTipText->setText(TipList.at(CurrentTipIndex - 1));
}

void FrmTip::SelectRandomTip()
{
    // A single-precision draw in [0, 1), so every index from 1 to the count is
    // equally likely and never past the end.
    const float r = float(random_.bounded(1u << 24)) / float(1u << 24);
    CurrentTipIndex = int(std::floor(double(r) * double(TipList.size()) + 1.0));
    DisplayCurrentTip();
}

void FrmTip::cmdNextTip_Click() { SelectRandomTip(); }

void FrmTip::cmdOK_Click() { close(); }

void FrmTip::chkLoadTipsAtStartup_Click()
{
    platform::saveShowTipsAtStartup(chkLoadTipsAtStartup->isChecked());
}

} // namespace maintenance
