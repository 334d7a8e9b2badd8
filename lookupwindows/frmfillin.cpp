// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookupwindows/frmfillin.h"

#include "catalogue/recordcursor.h"
#include "lookup/fillin.h"
#include "lookup/sourcefactory.h"
#include "platform/settings.h"
#include "widgets/cataloguehost.h"
#include "widgets/windows.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lookupwindows {

namespace {

const QString Caption = QStringLiteral("Fill In Details");

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
}

QString named(const QString &title, const QString &year)
{
    if (title.trimmed().isEmpty())
        return QStringLiteral("(a movie without a title)");
    return year.trimmed().isEmpty() ? title : QStringLiteral("%1 (%2)").arg(title, year.trimmed());
}

QString reasonFor(const lookup::SetAside &m)
{
    switch (m.reason) {
    case lookup::SetAside::Reason::NotFound:
        return m.detail.isEmpty() ? QStringLiteral("No match found.") : m.detail;
    case lookup::SetAside::Reason::MoreThanOne:
        return QStringLiteral("More than one match: ") + m.detail;
    case lookup::SetAside::Reason::Failed:
        return QStringLiteral("Not looked up: ") + m.detail;
    }
    return m.detail;
}

QTreeWidget *makeTree(QWidget *parent, const QString &name, const QString &accessibleName, const QStringList &headers)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(name);
    tree->setAccessibleName(accessibleName);
    tree->setHeaderLabels(headers);
    tree->setUniformRowHeights(true);
    tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    return tree;
}

} // namespace

FrmFillIn::FrmFillIn(widgets::CatalogueHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setObjectName(QStringLiteral("frmFillIn"));
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(Caption);
    resize(760, 560);

    allMovies_ = new QRadioButton(QStringLiteral("All movies"), this);
    allMovies_->setObjectName(QStringLiteral("optAll"));
    allMovies_->setChecked(true);
    listedMovies_ = new QRadioButton(QStringLiteral("The movies the list shows now"), this);
    listedMovies_->setObjectName(QStringLiteral("optListed"));
    onlyMissing_ = new QCheckBox(QStringLiteral("Only movies missing a field"), this);
    onlyMissing_->setObjectName(QStringLiteral("chkOnlyMissing"));
    startButton_ = new QPushButton(QStringLiteral("Start"), this);
    startButton_->setObjectName(QStringLiteral("cmdStart"));

    progressLabel_ = new QLabel(this);
    progressLabel_->setObjectName(QStringLiteral("lblProgress"));
    progressLabel_->setTextFormat(Qt::PlainText);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("prgFillIn"));
    progressBar_->setAccessibleName(QStringLiteral("Progress"));
    progressBar_->hide();
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
    cancelButton_->setEnabled(false);

    resultLabel_ = new QLabel(this);
    resultLabel_->setObjectName(QStringLiteral("lblResult"));
    resultLabel_->setTextFormat(Qt::PlainText);
    resultLabel_->setWordWrap(true);
    changes_ = makeTree(this, QStringLiteral("tvwChanges"), QStringLiteral("Changes found"),
                        {QStringLiteral("Movie and field"), QStringLiteral("Now"), QStringLiteral("Found")});
    setAside_ = makeTree(this, QStringLiteral("tvwSetAside"), QStringLiteral("Movies set aside"),
                         {QStringLiteral("Movie"), QStringLiteral("Why")});
    setAside_->setRootIsDecorated(false);
    summaryLabel_ = new QLabel(this);
    summaryLabel_->setObjectName(QStringLiteral("lblSummary"));
    summaryLabel_->setTextFormat(Qt::PlainText);
    summaryLabel_->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    applyButton_ = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::ApplyRole);
    applyButton_->setObjectName(QStringLiteral("cmdApply"));
    applyButton_->setEnabled(false);
    closeButton_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    closeButton_->setObjectName(QStringLiteral("cmdClose"));

    auto *startRow = new QHBoxLayout;
    startRow->addWidget(onlyMissing_, 1);
    startRow->addWidget(startButton_);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(progressBar_, 1);
    progressRow->addWidget(cancelButton_, 0, Qt::AlignRight);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(allMovies_);
    layout->addWidget(listedMovies_);
    layout->addLayout(startRow);
    layout->addWidget(progressLabel_);
    layout->addLayout(progressRow);
    layout->addWidget(resultLabel_);
    layout->addWidget(new QLabel(QStringLiteral("Check the changes to make:"), this));
    layout->addWidget(changes_, 3);
    layout->addWidget(new QLabel(QStringLiteral("Set aside, not changed:"), this));
    layout->addWidget(setAside_, 1);
    layout->addWidget(summaryLabel_);
    layout->addWidget(buttons);

    connect(startButton_, &QPushButton::clicked, this, &FrmFillIn::onStartClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &FrmFillIn::onCancelClicked);
    connect(applyButton_, &QPushButton::clicked, this, &FrmFillIn::onApplyClicked);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

FrmFillIn::~FrmFillIn()
{
    // The run ends before the source it talks to goes, without reporting to this window.
    if (fillIn_) {
        fillIn_->disconnect(this);
        fillIn_->cancel();
    }
}

void FrmFillIn::done(int result)
{
    if (fillIn_ && fillIn_->isRunning())
        fillIn_->cancel();
    QDialog::done(result);
}

void FrmFillIn::onStartClicked()
{
    std::vector<sqlite3_int64> rowIds;
    if (listedMovies_->isChecked()) {
        const catalogue::ResultSet &result = host_.mainCursor().result();
        for (int place : host_.listedPositions())
            rowIds.push_back(result.rowId(place));
        // No rows given means every movie to the look-up: an empty list is nothing to do.
        if (rowIds.empty()) {
            resultLabel_->setText(QStringLiteral("The list shows no movie to look up."));
            return;
        }
    }
    fillIn_.reset();
    source_ = lookup::sourceFor(platform::lookupSettings());
    if (!source_) {
        resultLabel_->setText(QStringLiteral("Online look-up is not available in this build."));
        return;
    }
    fillIn_ = std::make_unique<lookup::FillIn>(*source_);
    if (const platform::Failure error = fillIn_->load(host_.catalogueFile(), rowIds, onlyMissing_->isChecked())) {
        resultLabel_->setText(error.message);
        return;
    }
    changes_->clear();
    setAside_->clear();
    summaryLabel_->clear();
    if (fillIn_->total() == 0) {
        resultLabel_->setText(onlyMissing_->isChecked() ? QStringLiteral("No movie is missing a field.")
                                                        : QStringLiteral("There is no movie to look up."));
        return;
    }
    connect(fillIn_.get(), &lookup::FillIn::progressed, this, &FrmFillIn::onProgressed);
    connect(fillIn_.get(), &lookup::FillIn::finished, this, &FrmFillIn::onFinished);
    resultLabel_->clear();
    progressBar_->setRange(0, fillIn_->total());
    showRunning(true);
    onProgressed(0, fillIn_->total());
    fillIn_->start();
}

void FrmFillIn::onCancelClicked()
{
    if (fillIn_)
        fillIn_->cancel();
}

void FrmFillIn::onProgressed(int done, int total)
{
    progressBar_->setValue(done);
    if (done < total)
        progressLabel_->setText(QStringLiteral("Looking up movie %1 of %2: %3")
                                    .arg(done + 1)
                                    .arg(total)
                                    .arg(oneLine(fillIn_->titleAt(done))));
}

void FrmFillIn::showRunning(bool running)
{
    for (QWidget *w : {static_cast<QWidget *>(allMovies_), static_cast<QWidget *>(listedMovies_),
                       static_cast<QWidget *>(onlyMissing_), static_cast<QWidget *>(startButton_)})
        w->setEnabled(!running);
    cancelButton_->setEnabled(running);
    progressBar_->setVisible(running);
    if (running)
        applyButton_->setEnabled(false);
    else
        progressLabel_->clear();
    if (running)
        cancelButton_->setFocus();
}

void FrmFillIn::onFinished()
{
    showRunning(false);
    fillReview();
    const lookup::FillIn &run = *fillIn_;
    const int withChanges = int(run.proposals().size());
    QString text;
    if (!run.stopReason().isEmpty())
        text = QStringLiteral("The look-up in %1 stopped after %2 of %3 movies: %4")
                   .arg(run.sourceName())
                   .arg(run.done())
                   .arg(run.total())
                   .arg(run.stopReason());
    else if (run.wasCancelled())
        text = QStringLiteral("Cancelled after %1 of %2 movies.").arg(run.done()).arg(run.total());
    else
        text =
            QStringLiteral("%1 of %2 movies looked up in %3.").arg(run.done()).arg(run.total()).arg(run.sourceName());
    text += QStringLiteral(" %1 with details to add, %2 set aside, %3 already complete.")
                .arg(withChanges)
                .arg(run.setAside().size())
                .arg(run.unchanged());
    resultLabel_->setText(text);
    applyButton_->setEnabled(withChanges > 0);
    changes_->setEnabled(true);
    (withChanges > 0 ? static_cast<QWidget *>(changes_) : static_cast<QWidget *>(closeButton_))->setFocus();
}

void FrmFillIn::fillReview()
{
    const lookup::FillIn &run = *fillIn_;
    changes_->clear();
    for (size_t i = 0; i < run.proposals().size(); ++i) {
        const lookup::MovieChanges &movie = run.proposals()[i];
        auto *top = new QTreeWidgetItem(changes_);
        const QString found = movie.matchedYear > 0
                                  ? QStringLiteral("%1 (%2)").arg(movie.matchedTitle).arg(movie.matchedYear)
                                  : movie.matchedTitle;
        top->setText(0, named(movie.title, movie.row.movie()[catalogue::Field::Year]));
        top->setText(2, QStringLiteral("Found as %1").arg(found));
        top->setData(0, Qt::UserRole, qulonglong(i));
        // The movie's box follows its fields and sets them all.
        top->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        for (const lookup::FieldChange &change : movie.changes) {
            auto *item = new QTreeWidgetItem(top);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setText(0, catalogue::fieldName(change.field));
            item->setText(1, oneLine(change.oldValue));
            item->setToolTip(1, change.oldValue);
            item->setText(2, oneLine(change.newValue));
            item->setToolTip(2, change.newValue);
            item->setCheckState(0, change.proposed ? Qt::Checked : Qt::Unchecked);
        }
    }
    changes_->expandAll();
    changes_->resizeColumnToContents(0);

    setAside_->clear();
    for (const lookup::SetAside &m : run.setAside()) {
        auto *item = new QTreeWidgetItem(setAside_);
        item->setText(0, named(m.title, m.year));
        item->setText(1, reasonFor(m));
        item->setToolTip(1, item->text(1));
    }
    setAside_->resizeColumnToContents(0);
}

void FrmFillIn::onApplyClicked()
{
    if (!fillIn_ || fillIn_->isRunning() || widgets::refusedWhileEditing(this, host_))
        return;
    std::vector<lookup::MovieChanges> confirmed;
    for (int t = 0; t < changes_->topLevelItemCount(); ++t) {
        const QTreeWidgetItem *top = changes_->topLevelItem(t);
        lookup::MovieChanges movie = fillIn_->proposals()[size_t(top->data(0, Qt::UserRole).toULongLong())];
        std::vector<lookup::FieldChange> checked;
        for (int c = 0; c < top->childCount(); ++c)
            if (top->child(c)->checkState(0) == Qt::Checked)
                checked.push_back(movie.changes[size_t(c)]);
        movie.changes = std::move(checked);
        if (!movie.changes.empty())
            confirmed.push_back(std::move(movie));
    }
    if (confirmed.empty()) {
        widgets::showMessage(this, QMessageBox::Information, Caption,
                             QStringLiteral("No change is checked, so there is nothing to apply."));
        return;
    }
    lookup::ApplyResult result;
    {
        widgets::WaitCursor hourglass;
        result = lookup::applyChanges(host_.catalogueFile(), confirmed);
    }
    if (result.error) {
        widgets::showMessage(this, QMessageBox::Warning, Caption, result.error.message);
        return;
    }
    host_.listAllRecords();
    QString summary = QStringLiteral("%1 %2 changed, %3 %4 in all. The catalogue as it was before is kept in the "
                                     "backup %5.")
                          .arg(result.moviesChanged)
                          .arg(result.moviesChanged == 1 ? QStringLiteral("movie") : QStringLiteral("movies"))
                          .arg(result.fieldsChanged)
                          .arg(result.fieldsChanged == 1 ? QStringLiteral("field") : QStringLiteral("fields"))
                          .arg(QDir::toNativeSeparators(result.backupFile));
    if (!result.changedMeanwhile.isEmpty())
        summary += QStringLiteral(" Changed elsewhere meanwhile and left as they are: %1.")
                       .arg(result.changedMeanwhile.join(QStringLiteral(", ")));
    summaryLabel_->setText(summary);
    applyButton_->setEnabled(false);
    changes_->setEnabled(false);
    closeButton_->setFocus();
}

} // namespace lookupwindows
