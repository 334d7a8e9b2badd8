#include "frmabout.h"

#include "platform/twips.h"
#include "platform/windows.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace maintenance {

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

FrmAbout::FrmAbout(QWidget *parent)
    : QDialog(parent)
{
    using platform::placeTwips;
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Moviary"));
    setFont(platform::sansSerif(8.25));
    setFixedSize(platform::twips(4185), platform::twips(2415));

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAutoFillBackground(true);
    QPalette blue = Shape1->palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    Shape1->setPalette(blue);
    placeTwips(Shape1, 0, 0, 735, 2415);

    Image2 = picture("Image2", QStringLiteral(":/images/moviary32.png"), this);
    placeTwips(Image2, 120, 120, 480, 480);

    Image1 = picture("Image1", QStringLiteral(":/images/banner.png"), this);
    placeTwips(Image1, 840, 0, 3270, 735);

    Label2 = caption("Label2", QStringLiteral("www.moviary.example"), this);
    QPalette link = Label2->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label2->setPalette(link);
    placeTwips(Label2, 1080, 1200, 2175, 255);

    Label1 = caption("Label1", QStringLiteral("Moviary by Moviary Team"), this);
    placeTwips(Label1, 1080, 960, 2655, 255);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    placeTwips(cmdOk, 1680, 1920, 855, 375);
    connect(cmdOk, &QPushButton::clicked, this, &FrmAbout::cmdOk_Click);

    Form_Load();
}

void FrmAbout::Form_Load() { platform::makeTopMost(this); }

void FrmAbout::cmdOk_Click() { close(); }

} // namespace maintenance
