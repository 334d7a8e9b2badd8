// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/frmabout.h"

#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace startup {

namespace {
QLabel *picture(const char *name, const QString &resource, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(QPixmap(resource));
    return label;
}

QLabel *caption(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}
} // namespace

FrmAbout::FrmAbout(QWidget *parent) : QDialog(parent)
{
    using widgets::placeTwips;
    setObjectName(QStringLiteral("frmAbout"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(QStringLiteral("About Moviary"));
    setFont(widgets::sansSerif(8.25));
    setFixedSize(widgets::twips(4185), widgets::twips(2415));

    auto *band = new QFrame(this);
    band->setObjectName(QStringLiteral("Shape1"));
    band->setAutoFillBackground(true);
    QPalette blue = band->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    band->setPalette(blue);
    placeTwips(band, 0, 0, 735, 2415);

    auto *icon = picture("Image2", QStringLiteral(":/images/moviary32.png"), this);
    placeTwips(icon, 120, 120, 480, 480);

    auto *banner = picture("Image1", QStringLiteral(":/images/banner.png"), this);
    placeTwips(banner, 840, 0, 3270, 735);

    auto *link = caption("Label2", QStringLiteral("www.moviary.example"), this);
    QPalette linkColour = link->palette();
    linkColour.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(linkColour);
    placeTwips(link, 1080, 1200, 2175, 255);

    auto *maker = caption("Label1", QStringLiteral("Moviary by Moviary Team"), this);
    placeTwips(maker, 1080, 960, 2655, 255);

    okButton_ = new QPushButton(QStringLiteral("Ok"), this);
    okButton_->setObjectName(QStringLiteral("cmdOk"));
    placeTwips(okButton_, 1680, 1920, 855, 375);
    connect(okButton_, &QPushButton::clicked, this, &FrmAbout::onOkClicked);

    load();
}

void FrmAbout::load() { widgets::makeTopMost(this); }

void FrmAbout::onOkClicked() { close(); }

} // namespace startup
