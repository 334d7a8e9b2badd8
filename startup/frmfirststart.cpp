#include "startup/frmfirststart.h"

#include "startup/firststart.h"
#include "widgets/filechooser.h"

#include "platform/settings.h"
#include "widgets/windows.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace startup {

namespace {

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

FrmFirstStart::FrmFirstStart(const platform::Locations &locations, QWidget *parent)
    : QDialog(parent), locations_(locations)
{
    setObjectName(QStringLiteral("frmFirstStart"));
    setWindowTitle(QStringLiteral("Welcome to Moviary"));

    lblIntro =
        new QLabel(QStringLiteral("Moviary keeps your movies in a catalogue file. New catalogues are kept in %1.\n\n"
                                  "How would you like to start?")
                       .arg(QDir::toNativeSeparators(locations.dataFolder())),
                   this);
    lblIntro->setObjectName(QStringLiteral("lblIntro"));
    lblIntro->setWordWrap(true);
    lblIntro->setTextFormat(Qt::PlainText);

    // A catalogue chosen on an earlier start that is no longer where it was.
    lblMissing = new QLabel(this);
    lblMissing->setObjectName(QStringLiteral("lblMissing"));
    lblMissing->setWordWrap(true);
    lblMissing->setTextFormat(Qt::PlainText);
    const QString catalogue = locations.catalogueFile();
    lblMissing->setVisible(catalogue != locations.dataCatalogueFile());
    lblMissing->setText(QStringLiteral("The catalogue %1 was not found.").arg(QDir::toNativeSeparators(catalogue)));

    cmdEmpty = button(QStringLiteral("cmdEmpty"), QStringLiteral("Start an &Empty Catalogue"), this);
    cmdSample = button(QStringLiteral("cmdSample"), QStringLiteral("Start with the &Sample Films"), this);
    cmdOpen = button(QStringLiteral("cmdOpen"), QStringLiteral("&Open an Existing Catalogue..."), this);
    optCopy = new QRadioButton(QStringLiteral("&Copy it into Moviary's data folder"), this);
    optCopy->setObjectName(QStringLiteral("optCopy"));
    optCopy->setChecked(true);
    optInPlace = new QRadioButton(QStringLiteral("&Use it where it is"), this);
    optInPlace->setObjectName(QStringLiteral("optInPlace"));
    cmdCancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblIntro);
    layout->addWidget(lblMissing);
    layout->addWidget(cmdEmpty);
    layout->addWidget(cmdSample);
    layout->addWidget(cmdOpen);
    auto *openChoice = new QVBoxLayout;
    openChoice->setContentsMargins(24, 0, 0, 0);
    openChoice->addWidget(optCopy);
    openChoice->addWidget(optInPlace);
    layout->addLayout(openChoice);
    layout->addSpacing(12);
    layout->addWidget(cmdCancel, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    lblIntro->setFixedWidth(fontMetrics().averageCharWidth() * 60);
    lblMissing->setFixedWidth(lblIntro->width());

    connect(cmdEmpty, &QPushButton::clicked, this, &FrmFirstStart::cmdEmpty_Click);
    connect(cmdSample, &QPushButton::clicked, this, &FrmFirstStart::cmdSample_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &FrmFirstStart::cmdOpen_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmFirstStart::cmdEmpty_Click() { startNew(int(StartWith::Empty)); }
void FrmFirstStart::cmdSample_Click() { startNew(int(StartWith::Sample)); }

void FrmFirstStart::startNew(int contents)
{
    const QString target = locations_.dataCatalogueFile();
    QString error;
    if (!makeStartCatalogue(target, StartWith(contents), &error))
        return complain(error);
    finish(locations_.withCatalogue(target), QString());
}

void FrmFirstStart::cmdOpen_Click()
{
    const QString picked = widgets::chooseFileToOpen(this, QStringLiteral("Open a Catalogue"),
                                                     QStringLiteral("Catalogues (*.mdb *.sqlite *.db);;All files (*)"));
    if (picked.isEmpty())
        return;
    const QString source = QFileInfo(picked).absoluteFilePath();
    QString error;
    if (optInPlace->isChecked()) {
        if (!isCatalogue(source, &error))
            return complain(error);
        return finish(locations_.withCatalogue(source), source);
    }
    const QString target = locations_.dataCatalogueFile();
    if (!copyCatalogue(source, target, &error))
        return complain(error);
    finish(locations_.withCatalogue(target), QString());
}

void FrmFirstStart::finish(const platform::Locations &locations, const QString &remembered)
{
    platform::rememberCatalogue(remembered);
    chosen_ = locations;
    accept();
}

void FrmFirstStart::complain(const QString &why)
{
    widgets::showMessage(this, QMessageBox::Warning, QStringLiteral("Moviary"), why);
}

std::optional<platform::Locations> runFirstStart(const platform::Locations &locations)
{
    FrmFirstStart window(locations);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.chosen();
}

} // namespace startup
