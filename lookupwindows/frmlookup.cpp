// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookupwindows/frmlookup.h"

#include "catalogue/categories.h"
#include "lookup/sourcefactory.h"
#include "platform/settings.h"
#include "widgets/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lookupwindows {

using catalogue::Field;

namespace {

const QString Caption = QStringLiteral("Online Look-Up");

// The fields a look-up proposes, in the order the comparison lists them, with their captions.
const std::pair<Field, const char *> Offered[] = {
    {Field::Title, "Title"},      {Field::Category, "Category"}, {Field::Description, "Description"},
    {Field::Actors, "Actors"},    {Field::Rating, "Rating"},     {Field::Year, "Year"},
    {Field::Time, "Running Time"}};

QString quotedWithYear(const QString &title, int year)
{
    return year > 0 ? QStringLiteral("\"%1\" (%2)").arg(title).arg(year) : QStringLiteral("\"%1\"").arg(title);
}

QLabel *valueLabel(const QString &name, const QString &text)
{
    auto *label = new QLabel(text.isEmpty() ? QStringLiteral("(empty)") : text);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

// The category of the twelve that a proposed one names, letter case aside; empty when none.
QString knownCategory(const QString &proposed)
{
    for (const QString &name : catalogue::categoryNames())
        if (name.trimmed().compare(proposed.trimmed(), Qt::CaseInsensitive) == 0)
            return name;
    return {};
}

// Selects the entry that matches the value, or types the value when the list has none.
void putInCombo(QComboBox *combo, const QString &value)
{
    const int at = combo->findText(value, Qt::MatchFixedString);
    if (at >= 0) {
        combo->setCurrentIndex(at);
        combo->setEditText(combo->itemText(at));
    } else {
        combo->setCurrentIndex(-1);
        combo->setEditText(value);
    }
}

} // namespace

FrmLookup *FrmLookup::start(QWidget *dialog, const MovieBoxes &boxes)
{
    const QString title = boxes.title->text().trimmed();
    if (title.isEmpty()) {
        widgets::showMessage(dialog, QMessageBox::Information, Caption,
                             QStringLiteral("Type the title of the movie first, then look it up."));
        boxes.title->setFocus();
        return nullptr;
    }
    bool isNumber = false;
    const int year = boxes.year->text().trimmed().toInt(&isNumber);
    std::unique_ptr<lookup::Source> source = lookup::sourceFor(platform::lookupSettings());
    if (!source) {
        widgets::showMessage(dialog, QMessageBox::Warning, Caption,
                             QStringLiteral("The online look-up is not available in this copy of the program."));
        return nullptr;
    }
    auto *window = new FrmLookup(dialog, boxes, std::move(source));
    window->show();
    window->search(title, isNumber && year > 0 ? year : 0);
    return window;
}

FrmLookup::FrmLookup(QWidget *dialog, const MovieBoxes &boxes, std::unique_ptr<lookup::Source> source)
    : QDialog(dialog), dialog_(dialog), boxes_(boxes), source_(std::move(source))
{
    setObjectName("frmLookup");
    widgets::pressFocusedButtonOnReturn(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Caption);
    setWindowModality(Qt::WindowModal);
    widgets::makeTopMost(this);
    resize(560, 380);

    pages_ = new QStackedWidget(this);

    auto *statusPage = new QWidget;
    auto *statusLayout = new QVBoxLayout(statusPage);
    statusLabel_ = new QLabel;
    statusLabel_->setObjectName("lblStatus");
    statusLabel_->setTextFormat(Qt::PlainText);
    statusLabel_->setWordWrap(true);
    auto *busy = new QProgressBar;
    busy->setObjectName("prgBusy");
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setAccessibleName(QStringLiteral("Working"));
    statusLayout->addStretch();
    statusLayout->addWidget(statusLabel_);
    statusLayout->addWidget(busy);
    statusLayout->addStretch();

    candidateList_ = new QTreeWidget;
    candidateList_->setObjectName("lstCandidates");
    candidateList_->setAccessibleName(QStringLiteral("Movies found"));
    candidateList_->setRootIsDecorated(false);
    candidateList_->setUniformRowHeights(true);
    candidateList_->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Year"), QStringLiteral("Description")});
    candidateList_->header()->setStretchLastSection(true);
    candidateList_->setColumnWidth(0, 200);
    candidateList_->setColumnWidth(1, 50);

    comparison_ = new QWidget;
    auto *comparisonLayout = new QVBoxLayout(comparison_);
    comparisonLayout->setContentsMargins(0, 0, 0, 0);
    comparisonNote_ = new QLabel;
    comparisonNote_->setObjectName("lblCompare");
    comparisonNote_->setTextFormat(Qt::PlainText);
    comparisonNote_->setWordWrap(true);
    auto *scroll = new QScrollArea;
    scroll->setObjectName("scrCompare");
    scroll->setWidgetResizable(true);
    scroll->setAccessibleName(QStringLiteral("Values now and found"));
    auto *grid = new QWidget;
    grid->setAccessibleName(QStringLiteral("Values now and found"));
    comparisonGrid_ = new QGridLayout(grid);
    comparisonGrid_->setColumnStretch(1, 1);
    comparisonGrid_->setColumnStretch(2, 1);
    scroll->setWidget(grid);
    comparisonLayout->addWidget(comparisonNote_);
    comparisonLayout->addWidget(scroll);

    pages_->addWidget(statusPage);
    pages_->addWidget(candidateList_);
    pages_->addWidget(comparison_);

    okButton_ = new QPushButton(QStringLiteral("OK"));
    okButton_->setObjectName("cmdOK");
    applyButton_ = new QPushButton(QStringLiteral("Apply"));
    applyButton_->setObjectName("cmdApply");
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"));
    cancelButton_->setObjectName("cmdCancel");
    cancelButton_->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(applyButton_);
    buttons->addWidget(cancelButton_);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);

    connect(okButton_, &QPushButton::clicked, this, &FrmLookup::chooseCandidate);
    connect(candidateList_, &QTreeWidget::itemActivated, this, &FrmLookup::chooseCandidate);
    connect(applyButton_, &QPushButton::clicked, this, &FrmLookup::apply);
    connect(cancelButton_, &QPushButton::clicked, this, &FrmLookup::reject);
}

FrmLookup::~FrmLookup() { dropRequest(); }

void FrmLookup::abandon()
{
    dropRequest();
    hide();
    deleteLater();
}

void FrmLookup::reject()
{
    dropRequest();
    QDialog::reject();
}

void FrmLookup::showStep(Step step, const QString &status)
{
    const bool working = step == Step::Searching || step == Step::Reading;
    if (working)
        statusLabel_->setText(status);
    pages_->setCurrentIndex(working ? 0 : step == Step::Choosing ? 1 : 2);
    okButton_->setVisible(step == Step::Choosing);
    applyButton_->setVisible(step == Step::Comparing);
    okButton_->setDefault(step == Step::Choosing);
    applyButton_->setDefault(step == Step::Comparing);
    if (working)
        cancelButton_->setFocus();
    else if (step == Step::Choosing)
        candidateList_->setFocus();
    else
        applyButton_->setFocus();
}

void FrmLookup::search(const QString &title, int year)
{
    title_ = title;
    year_ = year;
    showStep(Step::Searching,
             QStringLiteral("Searching %1 for %2...").arg(source_->name(), quotedWithYear(title, year)));
    follow(source_->search(title, year), &FrmLookup::onSearchFinished);
}

void FrmLookup::follow(std::unique_ptr<lookup::Request> request, void (FrmLookup::*done)())
{
    dropRequest();
    if (!request) {
        endWithMessage(true, QStringLiteral("%1 could not be asked.").arg(source_->name()));
        return;
    }
    request_ = std::move(request);
    connect(request_.get(), &lookup::Request::finished, this, done);
}

lookup::Request *FrmLookup::takeFinished()
{
    // Deleting a request inside its own signal is avoided: it lives on until the next one ends.
    finished_ = std::move(request_);
    return finished_.get();
}

void FrmLookup::dropRequest()
{
    if (!request_)
        return;
    disconnect(request_.get(), nullptr, this, nullptr);
    if (!request_->isFinished())
        request_->abort();
    request_.reset();
}

void FrmLookup::endWithMessage(bool problem, const QString &text)
{
    dropRequest();
    hide();
    // Shown once the request's signal has returned, so that nothing the message box lets run
    // can delete the request while it is still emitting.
    QTimer::singleShot(0, this, [this, problem, text] {
        // A dialog closed meanwhile took the look-up with it: nothing is left to tell.
        if (dialog_ && dialog_->isVisible()) {
            QPointer<FrmLookup> self(this);
            widgets::showMessage(dialog_, problem ? QMessageBox::Warning : QMessageBox::Information, Caption, text);
            if (!self)
                return;
        }
        deleteLater();
    });
}

void FrmLookup::onSearchFinished()
{
    lookup::Request *done = takeFinished();
    if (done->failure() != lookup::Failure::None) {
        const QString why = done->errorMessage();
        endWithMessage(true,
                       why.isEmpty() ? QStringLiteral("%1 did not answer the search.").arg(source_->name()) : why);
        return;
    }
    candidates_ = done->candidates();
    if (candidates_.isEmpty()) {
        const QString what =
            year_ > 0 ? QStringLiteral("No movie called \"%1\" from %2 was found in %3.")
                            .arg(title_)
                            .arg(year_)
                            .arg(source_->name())
                      : QStringLiteral("No movie called \"%1\" was found in %2.").arg(title_, source_->name());
        endWithMessage(false, what);
        return;
    }
    candidateList_->clear();
    for (const lookup::Candidate &c : candidates_) {
        auto *item = new QTreeWidgetItem(
            candidateList_, {c.title, c.year > 0 ? QString::number(c.year) : QString(), c.summary.simplified()});
        item->setToolTip(2, c.summary);
    }
    candidateList_->setCurrentItem(candidateList_->topLevelItem(0));
    showStep(Step::Choosing);
}

void FrmLookup::chooseCandidate()
{
    const int chosen = candidateList_->indexOfTopLevelItem(candidateList_->currentItem());
    if (chosen < 0 || chosen >= candidates_.size() || pages_->currentIndex() != 1)
        return;
    const lookup::Candidate candidate = candidates_.at(chosen);
    showStep(Step::Reading, QStringLiteral("Reading the details of %1 from %2...")
                                .arg(quotedWithYear(candidate.title, candidate.year), source_->name()));
    follow(source_->details(candidate), &FrmLookup::onDetailsFinished);
}

void FrmLookup::onDetailsFinished()
{
    lookup::Request *done = takeFinished();
    if (done->failure() != lookup::Failure::None) {
        const QString why = done->errorMessage();
        endWithMessage(true, why.isEmpty() ? QStringLiteral("%1 did not send the movie's details.").arg(source_->name())
                                           : why);
        return;
    }
    showComparison(done->details());
}

QString FrmLookup::current(Field field) const
{
    switch (field) {
    case Field::Title:
        return boxes_.title->text();
    case Field::Description:
        return boxes_.description->toPlainText();
    case Field::Category:
        return boxes_.category->currentText();
    case Field::Actors:
        return boxes_.actors->toPlainText();
    case Field::Rating:
        return boxes_.rating->currentText();
    case Field::Year:
        return boxes_.year->text();
    case Field::Time:
        return boxes_.time->text();
    case Field::Review:
        break;
    }
    return {};
}

void FrmLookup::put(Field field, const QString &value)
{
    switch (field) {
    case Field::Title:
        boxes_.title->setText(value);
        break;
    case Field::Description:
        boxes_.description->setPlainText(value);
        break;
    case Field::Category:
        putInCombo(boxes_.category, value);
        break;
    case Field::Actors:
        boxes_.actors->setPlainText(value);
        break;
    case Field::Rating:
        putInCombo(boxes_.rating, value);
        break;
    case Field::Year:
        boxes_.year->setText(value);
        break;
    case Field::Time:
        boxes_.time->setText(value);
        break;
    case Field::Review:
        break;
    }
}

void FrmLookup::showComparison(const catalogue::Movie &proposed)
{
    offers_.clear();
    int row = 0;
    const auto header = [&](int column, const QString &text) {
        auto *label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        comparisonGrid_->addWidget(label, row, column);
    };
    header(0, QStringLiteral("Field"));
    header(1, QStringLiteral("Now"));
    header(2, QStringLiteral("Found in %1").arg(source_->name()));
    ++row;
    for (auto [field, caption] : Offered) {
        const QString now = current(field);
        QString found = proposed[field].trimmed();
        if (found.isEmpty() || found == now.trimmed())
            continue;
        QString shownFound = found;
        bool usable = true;
        if (field == Field::Category) {
            const QString known = knownCategory(found);
            usable = !known.isEmpty();
            if (usable)
                found = shownFound = known;
            else
                shownFound =
                    QStringLiteral("%1 (not one of the twelve categories, so the category stays as it is)").arg(found);
            if (usable && known == now)
                continue;
        }
        const QString name = catalogue::fieldName(field);
        auto *check = new QCheckBox(QString::fromLatin1(caption));
        check->setObjectName("chk" + name);
        check->setChecked(usable && now.trimmed().isEmpty());
        check->setEnabled(usable);
        check->setAccessibleDescription(
            QStringLiteral("Now: %1. Found: %2.")
                .arg(now.isEmpty() ? QStringLiteral("empty") : now.left(200), shownFound.left(200)));
        comparisonGrid_->addWidget(check, row, 0, Qt::AlignTop);
        comparisonGrid_->addWidget(valueLabel("lblNow" + name, now), row, 1);
        comparisonGrid_->addWidget(valueLabel("lblFound" + name, shownFound), row, 2);
        offers_.push_back({field, found, check});
        ++row;
    }
    comparisonGrid_->setRowStretch(row, 1);
    if (offers_.empty()) {
        endWithMessage(false, QStringLiteral("%1 holds nothing for %2 that the boxes do not already show.")
                                  .arg(source_->name(), quotedWithYear(title_, year_)));
        return;
    }
    comparisonNote_->setText(
        QStringLiteral("Check the values to put into the boxes. Empty boxes are checked; nothing is saved until "
                       "you choose Finish."));
    showStep(Step::Comparing);
}

void FrmLookup::apply()
{
    for (const Offer &offer : offers_)
        if (offer.check->isEnabled() && offer.check->isChecked())
            put(offer.field, offer.value);
    accept();
}

} // namespace lookupwindows
