// SPDX-License-Identifier: GPL-3.0-or-later
#include "importexport/frmexport.h"

#include "catalogue/recordcursor.h"
#include "exchange/exporter.h"
#include "platform/counted.h"
#include "widgets/cataloguehost.h"
#include "widgets/filechooser.h"
#include "widgets/windows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace importexport {

namespace {

const QString Caption = QStringLiteral("Export Movies");
const char *const Extensions[] = {".csv", ".tc"};

} // namespace

FrmExport::FrmExport(widgets::CatalogueHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setObjectName(QStringLiteral("frmExport"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(Caption);

    fileText_ = new QLineEdit(QDir::homePath() + QStringLiteral("/Movies.csv"), this);
    fileText_->setObjectName(QStringLiteral("txtFile"));
    fileText_->setMinimumWidth(360);
    browseButton_ = new QPushButton(QStringLiteral("Browse..."), this);
    browseButton_->setObjectName(QStringLiteral("cmdBrowse"));
    formatCombo_ = new QComboBox(this);
    formatCombo_->setObjectName(QStringLiteral("cboFormat"));
    formatCombo_->addItems({QStringLiteral("CSV (UTF-8, comma-separated)"), QStringLiteral("Tellico collection")});
    allMovies_ = new QRadioButton(QStringLiteral("All movies, in title order"), this);
    allMovies_->setObjectName(QStringLiteral("optAll"));
    allMovies_->setChecked(true);
    listedMovies_ = new QRadioButton(QStringLiteral("The movies the list shows now, in its order"), this);
    listedMovies_->setObjectName(QStringLiteral("optListed"));
    fileText_->setAccessibleName(QStringLiteral("File"));
    formatCombo_->setAccessibleName(QStringLiteral("Format"));

    auto *buttons = new QDialogButtonBox(this);
    exportButton_ = buttons->addButton(QStringLiteral("Export"), QDialogButtonBox::AcceptRole);
    exportButton_->setObjectName(QStringLiteral("cmdExport"));
    cancelButton_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(fileText_, 1);
    fileRow->addWidget(browseButton_);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), fileRow);
    form->addRow(QStringLiteral("Format:"), formatCombo_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(allMovies_);
    layout->addWidget(listedMovies_);
    layout->addWidget(buttons);

    connect(browseButton_, &QPushButton::clicked, this, &FrmExport::onBrowseClicked);
    connect(formatCombo_, &QComboBox::currentIndexChanged, this, &FrmExport::onFormatChanged);
    connect(exportButton_, &QPushButton::clicked, this, &FrmExport::onExportClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void FrmExport::onBrowseClicked()
{
    const QString path = widgets::chooseFileToSave(this, Caption, fileText_->text(),
                                                   QStringLiteral("CSV files (*.csv);;Tellico files (*.tc)"));
    if (path.isEmpty())
        return;
    fileText_->setText(QDir::toNativeSeparators(path));
    formatCombo_->setCurrentIndex(exchange::exportFormatFor(path) == exchange::ExportFormat::Tellico ? 1 : 0);
}

void FrmExport::onFormatChanged(int index)
{
    // The file name follows the format: "Movies.csv" becomes "Movies.tc".
    QString path = fileText_->text();
    for (const char *ext : Extensions)
        if (path.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            path.chop(int(qstrlen(ext)));
    if (!path.isEmpty())
        fileText_->setText(path + QLatin1String(Extensions[index == 1 ? 1 : 0]));
}

void FrmExport::onExportClicked()
{
    const QString path = QDir::fromNativeSeparators(fileText_->text().trimmed());
    if (path.isEmpty()) {
        widgets::showMessage(this, QMessageBox::Warning, Caption,
                             QStringLiteral("Give the name of the file to write."));
        return;
    }
    const auto format =
        formatCombo_->currentIndex() == 1 ? exchange::ExportFormat::Tellico : exchange::ExportFormat::Csv;
    platform::Failure error;
    int count = 0;
    {
        widgets::WaitCursor hourglass;
        if (listedMovies_->isChecked()) {
            const std::vector<int> places = host_.listedPositions();
            count = int(places.size());
            error = exchange::exportMovies(host_.mainCursor().result(), places, path, format);
        } else {
            error = exchange::exportCatalogue(host_.catalogueFile(), path, format, count);
        }
    }
    if (error) {
        widgets::showMessage(this, QMessageBox::Warning, Caption, error.message);
        return;
    }
    widgets::showMessage(
        this, QMessageBox::Information, Caption,
        QString("%1 exported to %2.").arg(platform::counted(count, "movie", "movies"), QDir::toNativeSeparators(path)));
    accept();
}

} // namespace importexport
