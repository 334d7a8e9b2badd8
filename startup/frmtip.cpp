// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/frmtip.h"

#include "startup/tipsfile.h"

#include "platform/settings.h"
#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

#include <chrono>
#include <cmath>

namespace startup {

FrmTip::FrmTip(const QString &appFolder, QWidget *parent) : FrmTip(platform::Locations::portable(appFolder), parent) {}

FrmTip::FrmTip(const platform::Locations &locations, QWidget *parent) : QDialog(parent), locations_(locations)
{
    using widgets::placeTwips;
    setObjectName(QStringLiteral("frmTip"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setFont(widgets::sansSerif(8.25));
    setFixedSize(widgets::twips(4095), widgets::twips(3720));

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("cmdOK"));
    placeTwips(okButton_, 120, 3240, 1215, 375);

    tipPanel_ = new QLabel(this);
    tipPanel_->setObjectName(QStringLiteral("Picture1"));
    tipPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    tipPanel_->setLineWidth(2);
    tipPanel_->setAutoFillBackground(true);
    tipPanel_->setBackgroundRole(QPalette::Base);
    tipPanel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tipPanel_->setPixmap(QPixmap(QStringLiteral(":/images/tip32.png")));
    placeTwips(tipPanel_, 120, 120, 3855, 2715);

    // Inside the panel, places count from the inner edge of its border.
    const QPoint inside = tipPanel_->contentsRect().topLeft();
    auto *heading = new QLabel(QStringLiteral("Did you know..."), tipPanel_);
    heading->setObjectName(QStringLiteral("Label1"));
    placeTwips(heading, 480, 240, 2655, 255);
    heading->move(heading->pos() + inside);

    tipText_ = new QLabel(tipPanel_);
    tipText_->setObjectName(QStringLiteral("lblTipText"));
    tipText_->setFont(widgets::sansSerif(9.75));
    tipText_->setTextFormat(Qt::PlainText);
    tipText_->setWordWrap(true);
    tipText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(tipText_, 120, 840, 3615, 1755);
    tipText_->move(tipText_->pos() + inside);

    nextTipButton_ = new QPushButton(QStringLiteral("&Next Tip"), this);
    nextTipButton_->setObjectName(QStringLiteral("cmdNextTip"));
    placeTwips(nextTipButton_, 2760, 3240, 1215, 375);

    showAtStartup_ = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    showAtStartup_->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    placeTwips(showAtStartup_, 120, 2880, 1815, 255);
    // The row is free to the right: a wider substitute font must not clip the caption.
    showAtStartup_->resize(qMax(showAtStartup_->width(), showAtStartup_->sizeHint().width()), showAtStartup_->height());

    setTabOrder(okButton_, nextTipButton_);
    setTabOrder(nextTipButton_, showAtStartup_);

    connect(okButton_, &QPushButton::clicked, this, &FrmTip::onOkClicked);
    connect(nextTipButton_, &QPushButton::clicked, this, &FrmTip::onNextTipClicked);
    connect(showAtStartup_, &QCheckBox::toggled, this, &FrmTip::onShowAtStartupToggled);

    load();
}

QString FrmTip::missingFileText()
{
    const QString name = QStringLiteral("TIPOFDAY.TXT");
    return QStringLiteral("That the ") + name + QStringLiteral(" file was not found? ") + QStringLiteral("\r\n") +
           QStringLiteral("\r\n") + QStringLiteral("Create a text file named ") + name +
           QStringLiteral(" using NotePad with 1 tip per line. ") +
           QStringLiteral("Then place it in the same directory as the application. ");
}

void FrmTip::load()
{
    widgets::makeTopMost(this);

    if (platform::showTipsAtStartup() == 0)
        return;
    {
        // Stored again as "1" (a value that is not a number becomes valid); the user chose
        // nothing here, so a store that cannot be written is no reason to interrupt the start.
        const QSignalBlocker quiet(showAtStartup_);
        showAtStartup_->setChecked(true);
        (void)platform::saveShowTipsAtStartup(true);
    }

    random_.seed(quint32(std::chrono::system_clock::now().time_since_epoch().count()));
    if (!loadTips(locations_.tipsFile()))
        tipText_->setText(missingFileText());
}

bool FrmTip::loadTips(const QString &fileName)
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

    tips_ += readTips(bytes);
    selectRandomTip();
    return true;
}

void FrmTip::displayCurrentTip()
{
    if (currentTip_ >= 1 && currentTip_ <= tips_.size())
        tipText_->setText(tips_.at(currentTip_ - 1));
}

void FrmTip::selectRandomTip()
{
    // A single-precision draw in [0, 1), so every index from 1 to the count is
    // equally likely and never past the end.
    const float r = float(random_.bounded(1u << 24)) / float(1u << 24);
    currentTip_ = int(std::floor(double(r) * double(tips_.size()) + 1.0));
    displayCurrentTip();
}

void FrmTip::onNextTipClicked() { selectRandomTip(); }

void FrmTip::onOkClicked() { close(); }

void FrmTip::onShowAtStartupToggled()
{
    if (const platform::Failure error = platform::saveShowTipsAtStartup(showAtStartup_->isChecked()))
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(), error.message);
}

} // namespace startup
