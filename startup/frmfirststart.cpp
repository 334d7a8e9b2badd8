// SPDX-License-Identifier: GPL-3.0-or-later
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
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(QStringLiteral("Welcome to Moviary"));

    introLabel_ =
        new QLabel(QStringLiteral("Moviary keeps your movies in a catalogue file. New catalogues are kept in %1.\n\n"
                                  "How would you like to start?")
                       .arg(QDir::toNativeSeparators(locations.dataFolder())),
                   this);
    introLabel_->setObjectName(QStringLiteral("lblIntro"));
    introLabel_->setWordWrap(true);
    introLabel_->setTextFormat(Qt::PlainText);

    // A catalogue chosen on an earlier start that is no longer where it was.
    missingLabel_ = new QLabel(this);
    missingLabel_->setObjectName(QStringLiteral("lblMissing"));
    missingLabel_->setWordWrap(true);
    missingLabel_->setTextFormat(Qt::PlainText);
    const QString catalogue = locations.catalogueFile();
    missingLabel_->setVisible(catalogue != locations.dataCatalogueFile());
    missingLabel_->setText(QStringLiteral("The catalogue %1 was not found.").arg(QDir::toNativeSeparators(catalogue)));

    emptyButton_ = button(QStringLiteral("cmdEmpty"), QStringLiteral("Start an &Empty Catalogue"), this);
    sampleButton_ = button(QStringLiteral("cmdSample"), QStringLiteral("Start with the &Sample Films"), this);
    openButton_ = button(QStringLiteral("cmdOpen"), QStringLiteral("&Open an Existing Catalogue..."), this);
    copyOption_ = new QRadioButton(QStringLiteral("&Copy it into Moviary's data folder"), this);
    copyOption_->setObjectName(QStringLiteral("optCopy"));
    copyOption_->setChecked(true);
    inPlaceOption_ = new QRadioButton(QStringLiteral("&Use it where it is"), this);
    inPlaceOption_->setObjectName(QStringLiteral("optInPlace"));
    cancelButton_ = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(introLabel_);
    layout->addWidget(missingLabel_);
    layout->addWidget(emptyButton_);
    layout->addWidget(sampleButton_);
    layout->addWidget(openButton_);
    auto *openChoice = new QVBoxLayout;
    openChoice->setContentsMargins(24, 0, 0, 0);
    openChoice->addWidget(copyOption_);
    openChoice->addWidget(inPlaceOption_);
    layout->addLayout(openChoice);
    layout->addSpacing(12);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    introLabel_->setFixedWidth(fontMetrics().averageCharWidth() * 60);
    missingLabel_->setFixedWidth(introLabel_->width());

    connect(emptyButton_, &QPushButton::clicked, this, &FrmFirstStart::onEmptyClicked);
    connect(sampleButton_, &QPushButton::clicked, this, &FrmFirstStart::onSampleClicked);
    connect(openButton_, &QPushButton::clicked, this, &FrmFirstStart::onOpenClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmFirstStart::onEmptyClicked() { startNew(int(StartWith::Empty)); }
void FrmFirstStart::onSampleClicked() { startNew(int(StartWith::Sample)); }

void FrmFirstStart::startNew(int contents)
{
    const QString target = locations_.dataCatalogueFile();
    QString error;
    if (!makeStartCatalogue(target, StartWith(contents), &error))
        return complain(error);
    finish(locations_.withCatalogue(target), QString());
}

void FrmFirstStart::onOpenClicked()
{
    const QString picked = widgets::chooseFileToOpen(this, QStringLiteral("Open a Catalogue"),
                                                     QStringLiteral("Catalogues (*.mdb *.sqlite *.db);;All files (*)"));
    if (picked.isEmpty())
        return;
    const QString source = QFileInfo(picked).absoluteFilePath();
    QString error;
    if (inPlaceOption_->isChecked()) {
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
    // Not remembered, the choice is asked again at the next start; this start goes on.
    if (const platform::Failure error = platform::rememberCatalogue(remembered))
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(), error.message);
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
