// SPDX-License-Identifier: GPL-3.0-or-later
#include "importexport/frmimport.h"

#include "catalogue/recordcursor.h"
#include "maintenance/backups.h"
#include "platform/counted.h"
#include "widgets/cataloguehost.h"
#include "widgets/filechooser.h"
#include "widgets/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace importexport {

namespace {

constexpr int PreviewRows = 20;
constexpr int PreviewChars = 200;
const QString Caption = QStringLiteral("Import Movies");
const QString NotImported = QStringLiteral("(not imported)");

QString shortened(QByteArrayView utf8)
{
    QString text = QString::fromUtf8(utf8.first(std::min<qsizetype>(utf8.size(), PreviewChars * 4))).left(PreviewChars);
    text.replace(QLatin1Char('\n'), QChar(0x21B5)).remove(QLatin1Char('\r'));
    return text;
}

} // namespace

FrmImport::FrmImport(widgets::CatalogueHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setObjectName(QStringLiteral("frmImport"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(Caption);
    resize(820, 600);

    fileLabel_ = new QLabel(this);
    fileLabel_->setObjectName(QStringLiteral("lblFile"));
    fileLabel_->setTextFormat(Qt::PlainText);
    formatLabel_ = new QLabel(this);
    formatLabel_->setObjectName(QStringLiteral("lblFormat"));
    formatLabel_->setTextFormat(Qt::PlainText);

    header_ = new QCheckBox(QStringLiteral("First row holds column names"), this);
    header_->setObjectName(QStringLiteral("chkHeader"));
    header_->hide();

    mappingTable_ = new QTableWidget(0, 2, this);
    mappingTable_->setObjectName(QStringLiteral("tblMapping"));
    mappingTable_->setHorizontalHeaderLabels({QStringLiteral("Column in the file"), QStringLiteral("Moviary field")});
    mappingTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    mappingTable_->verticalHeader()->hide();
    mappingTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mappingTable_->setAccessibleName(QStringLiteral("Columns and fields"));

    preview_ = new QTableWidget(0, catalogue::FieldCount, this);
    preview_->setObjectName(QStringLiteral("tblPreview"));
    preview_->setHorizontalHeaderLabels(catalogue::fieldNames());
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setAccessibleName(QStringLiteral("Preview"));
    preview_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("lblCount"));
    countLabel_->setWordWrap(true);
    skipDuplicates_ = new QCheckBox(QStringLiteral("Skip movies already in the catalogue"), this);
    skipDuplicates_->setObjectName(QStringLiteral("chkSkipDuplicates"));
    skipDuplicates_->setChecked(true);
    onlyMovies_ = new QCheckBox(QStringLiteral("Only movies"), this);
    onlyMovies_->setToolTip(QStringLiteral("Leaves out TV series, episodes and games"));
    onlyMovies_->setObjectName(QStringLiteral("chkOnlyMovies"));
    onlyMovies_->setChecked(true);
    onlyMovies_->hide();

    auto *buttons = new QDialogButtonBox(this);
    importButton_ = buttons->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    importButton_->setObjectName(QStringLiteral("cmdImport"));
    cancelButton_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel_);
    layout->addWidget(formatLabel_);
    layout->addWidget(header_);
    layout->addWidget(mappingTable_, 2);
    layout->addWidget(new QLabel(QStringLiteral("The first movies, as they will be stored:"), this));
    layout->addWidget(preview_, 3);
    layout->addWidget(countLabel_);
    layout->addWidget(skipDuplicates_);
    layout->addWidget(onlyMovies_);
    layout->addWidget(buttons);

    connect(importButton_, &QPushButton::clicked, this, &FrmImport::onImportClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(skipDuplicates_, &QCheckBox::toggled, this, &FrmImport::showCounts);
    connect(header_, &QCheckBox::toggled, this, &FrmImport::onHeaderToggled);
    connect(onlyMovies_, &QCheckBox::toggled, this, &FrmImport::replan);
}

bool FrmImport::chooseFile()
{
    const QString path = widgets::chooseFileToOpen(this, Caption,
                                                   QStringLiteral("Movie lists (*.csv *.tsv *.txt *.tc *.xml *.gcs);;"
                                                                  "All files (*)"));
    return !path.isEmpty() && openFile(path);
}

bool FrmImport::openFile(const QString &path)
{
    platform::Failure error;
    exchange::DuplicateIndex present;
    exchange::ImportSource source;
    {
        widgets::WaitCursor hourglass;
        error = exchange::readCatalogueKeys(host_.catalogueFile(), present);
        if (!error)
            error = exchange::readImportFile(path, source);
    }
    if (error) {
        widgets::showMessage(this, QMessageBox::Warning, Caption, error.message);
        return false;
    }
    plan_ = {}; // it points into the text of the file read before
    source_ = std::move(source);
    present_ = std::move(present);
    mapping_ = source_.mapping;
    {
        const QSignalBlocker quiet(header_);
        header_->setChecked(source_.table.firstRowIsHeader());
    }
    header_->setVisible(source_.format == exchange::SourceFormat::DelimitedText);
    fileLabel_->setText(QStringLiteral("File: ") + QDir::toNativeSeparators(path));
    formatLabel_->setText(QStringLiteral("Format: ") + source_.description +
                          (source_.exact ? QStringLiteral(" - this program's own layout, stored exactly") : QString()));
    fillMapping();
    replan();
    return true;
}

void FrmImport::onHeaderToggled(bool header)
{
    plan_ = {};
    exchange::setFirstRowIsHeader(source_, header);
    mapping_ = source_.mapping;
    fillMapping();
    replan();
}

void FrmImport::fillMapping()
{
    onlyMovies_->setVisible(source_.titleTypeColumn >= 0);
    const bool named = source_.table.firstRowIsHeader() || source_.format != exchange::SourceFormat::DelimitedText;
    // The table deletes replaced combo boxes later: until then they must neither answer nor be found.
    for (QComboBox *old : fieldCombos_) {
        old->disconnect(this);
        old->setObjectName(QString());
    }
    mappingTable_->setRowCount(int(source_.table.columns.size()));
    fieldCombos_.clear();
    for (int c = 0; c < source_.table.columns.size(); ++c) {
        // Without names, the first value of a column tells what it holds.
        QString label = source_.table.columns[c];
        if (!named && source_.table.rowCount() > 0)
            label += QStringLiteral(": ") + shortened(source_.table.cell(0, c));
        auto *name = new QTableWidgetItem(label);
        mappingTable_->setItem(c, 0, name);
        auto *combo = new QComboBox;
        combo->setObjectName(QString("cboField_%1").arg(c));
        combo->setAccessibleName(QString("Field for %1").arg(source_.table.columns[c]));
        combo->addItem(NotImported);
        combo->addItems(catalogue::fieldNames());
        const auto &f = mapping_[size_t(c)];
        combo->setCurrentIndex(f ? catalogue::index(*f) + 1 : 0);
        combo->setEnabled(source_.mappingChangeable && !source_.exact);
        connect(combo, &QComboBox::currentIndexChanged, this, &FrmImport::onMappingChanged);
        mappingTable_->setCellWidget(c, 1, combo);
        fieldCombos_.push_back(combo);
    }
}

void FrmImport::onMappingChanged()
{
    for (size_t c = 0; c < fieldCombos_.size(); ++c) {
        const int i = fieldCombos_[c]->currentIndex();
        mapping_[c] = i > 0 ? std::optional(catalogue::fieldAt(i - 1)) : std::nullopt;
    }
    replan();
}

void FrmImport::replan()
{
    {
        widgets::WaitCursor hourglass;
        plan_ = exchange::planImport(source_, mapping_, present_, onlyMovies_->isChecked());
    }
    showPreview();
    showCounts();
}

void FrmImport::showPreview()
{
    const int rows = int(std::min<size_t>(plan_.movies.size(), PreviewRows));
    preview_->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const exchange::PlannedMovie &m = plan_.movies[size_t(r)];
        for (int f = 0; f < catalogue::FieldCount; ++f) {
            auto *item = new QTableWidgetItem(shortened(m.values[size_t(f)]));
            if (m.duplicate) {
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                item->setToolTip(QStringLiteral("Already in the catalogue or earlier in the file"));
            }
            preview_->setItem(r, f, item);
        }
    }
}

void FrmImport::showCounts()
{
    QString text;
    if (!exchange::mapsTitle(mapping_)) {
        text = QString("%1 in the file. Choose the column that holds the titles.")
                   .arg(platform::counted(source_.table.rowCount(), "row", "rows"));
    } else {
        text = QString("%1 found; %2 of them already in the catalogue or earlier in the file.")
                   .arg(platform::counted(qint64(plan_.movies.size()), "movie", "movies"))
                   .arg(plan_.duplicates);
        if (plan_.skippedRows > 0)
            text += QString(" %1 will be skipped (%2).")
                        .arg(platform::counted(plan_.skippedRows, "row", "rows"), plan_.skipReasons.first());
    }
    if (plan_.notMovies > 0)
        text += QString(" %1 left out as not movies (TV series, episodes, games).")
                    .arg(platform::counted(plan_.notMovies, "title", "titles"));
    countLabel_->setText(text);
    importButton_->setEnabled(!plan_.toStore(skipDuplicates_->isChecked()).empty());
}

platform::Failure FrmImport::storeWithProgress(const std::vector<qsizetype> &chosen)
{
    const QString catalogueFile = host_.catalogueFile();
    if (qsizetype(chosen.size()) <= progressThreshold_) {
        widgets::WaitCursor hourglass;
        return exchange::storeMovies(catalogueFile, source_, plan_, chosen);
    }
    QProgressDialog progress(QStringLiteral("Importing movies..."), QStringLiteral("Cancel"), 0, int(chosen.size()),
                             this);
    progress.setObjectName(QStringLiteral("dlgImportProgress"));
    progress.setWindowTitle(Caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    return exchange::storeMovies(catalogueFile, source_, plan_, chosen, [&progress](qsizetype done) {
        progress.setValue(int(done));
        return !progress.wasCanceled();
    });
}

void FrmImport::onImportClicked()
{
    const bool skip = skipDuplicates_->isChecked();
    const std::vector<qsizetype> chosen = plan_.toStore(skip);
    if (widgets::refusedWhileEditing(this, host_))
        return;
    // A backup comes first; when none can be made, the user decides whether to go on.
    if (!maintenance::backupBeforeChange(this, host_.catalogueFile(), catalogue::BackupReason::BeforeImport))
        return;
    host_.mainCursor().closeDatabase();
    // The catalogue is still untouched here; the next line writes it in one transaction.
    const platform::Failure error = storeWithProgress(chosen);
    host_.listAllRecords();
    if (error) {
        widgets::showMessage(this, QMessageBox::Warning, Caption, error.message);
        return;
    }
    widgets::showMessage(this, QMessageBox::Information, Caption,
                         exchange::importSummary(qsizetype(chosen.size()), skip ? plan_.duplicates : 0, plan_));
    accept();
}

} // namespace importexport
