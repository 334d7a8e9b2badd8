// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/moviedialog.h"

#include "catalogue/categories.h"
#include "catalogue/recordcursor.h"
#include "editor/duplicatewarning.h"
#include "help/help.h"
#include "lookupwindows/frmlookup.h"
#include "widgets/boundwidgets.h"
#include "widgets/cataloguehost.h"
#include "widgets/twips.h"
#include "widgets/windows.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <climits>

namespace editor {

using catalogue::Field;

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int l, int t, int w, int h)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    widgets::placeTwips(label, l, t, w, h);
    return label;
}

QLineEdit *makeLineEdit(QWidget *parent, const char *name, int l, int t, int w, int h)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(INT_MAX);
    widgets::placeTwips(edit, l, t, w, h);
    return edit;
}

QPlainTextEdit *makeTextBox(QWidget *parent, const char *name, int l, int t, int w, int h)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(name);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A scroll bar shows when the text is longer than the box.
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);
    widgets::placeTwips(edit, l, t, w, h);
    return edit;
}

QComboBox *makeCombo(QWidget *parent, const char *name, int l, int t, int w, int h)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    // Typed text is kept as typed: no completion, and nothing is added to the list.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->lineEdit()->setMaxLength(INT_MAX);
    widgets::placeTwips(combo, l, t, w, h);
    return combo;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, int l, int t, int w, int h)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    widgets::placeTwips(button, l, t, w, h);
    return button;
}

void appendKeepingText(QComboBox *combo, const QStringList &entries)
{
    const QString shown = combo->currentText();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
}

} // namespace

MovieDialog::MovieDialog(widgets::CatalogueHost &host, const Look &look)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      host_(host)
{
    widgets::exposeAsDialog(this);
    setAttribute(Qt::WA_DeleteOnClose);
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(look.caption);
    setWindowIcon(QIcon(QStringLiteral(":/images/moviary32.png")));
    setFont(widgets::sansSerif(8.25));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(widgets::twips(6000), widgets::twips(5805));

    QLabel *categoryLabel = makeLabel(this, "Label1", "Select a Category :", 120, 120, 1455, 255);
    categoryBox_ = makeCombo(this, "cboCat", 120, 360, 1935, 315);
    QLabel *titleLabel = makeLabel(this, "Label2", "Enter the Title :", 120, 840, 1215, 255);
    titleText_ = makeLineEdit(this, "Text1", 120, 1080, 3735, 285);
    QLabel *descriptionLabel = makeLabel(this, "Label3", "Enter a Description :", 120, 1560, 1575, 255);
    descriptionText_ = makeTextBox(this, "Text2", 120, 1800, 3735, 975);
    QLabel *actorsLabel = makeLabel(this, "Label4", "Enter the Actor & Actress Names :", 120, 3000, 2535, 255);
    actorsText_ = makeTextBox(this, "Text3", 120, 3240, 3735, 975);
    QLabel *reviewLabel = makeLabel(this, "Label5", "Enter Your Review of the Movie :", 120, 4440, 2535, 255);
    reviewText_ = makeTextBox(this, "Text4", 120, 4680, 3735, 975);

    auto *image = new QLabel(this);
    image->setObjectName("Image1");
    image->setPixmap(QPixmap(QStringLiteral(":/images/moviary32.png")));
    widgets::placeTwips(image, look.imagePlace.x(), look.imagePlace.y(), 480, 480);
    QLabel *header = makeLabel(this, "Label8", look.header, look.headerPlace.x(), look.headerPlace.y(),
                               look.headerPlace.width(), look.headerPlace.height());
    header->setFont(widgets::sansSerif(13.5, true));

    QLabel *ratingLabel = makeLabel(this, "Label6", "Select a Rating :", 4680, 840, 1215, 255);
    ratingBox_ = makeCombo(this, "cboRating", 4680, 1080, 1215, 315);
    QLabel *yearLabel = makeLabel(this, "Label7", "Enter the Year :", 4680, 1560, 1215, 255);
    yearText_ = makeLineEdit(this, "Text5", 4680, 1800, 1215, 285);
    QLabel *timeLabel = makeLabel(this, "Label9", "Running Time :", 4680, 2280, 1215, 255);
    timeText_ = makeLineEdit(this, "Text6", 4680, 2520, 735, 285);
    if (look.minutesLabel)
        makeLabel(this, "Label10", "Min.", 5475, 2625, 375, 255);
    finishButton_ = makeButton(this, "cmdFinish", "Finish", 4680, 3240, 1215, 375);
    cancelButton_ = makeButton(this, "cmdCancel", "Cancel", 4680, 3840, 1215, 375);
    helpButton_ = makeButton(this, "cmdHelp", "Help", 4680, 5280, 1215, 375);
    lookupButton_ = makeButton(this, "cmdLookup", "Look Up...", 4680, 4440, 1215, 375);
    lookupButton_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    lookupButton_->setToolTip(QStringLiteral("Fill in the details from an online movie database (Ctrl+L)"));

    cursor_ = new catalogue::RecordCursor(this);
    cursor_->setObjectName("Data1");
    widgets::bindComboBox(*cursor_, Field::Category, categoryBox_);
    widgets::bindLineEdit(*cursor_, Field::Title, titleText_);
    widgets::bindTextEdit(*cursor_, Field::Description, descriptionText_);
    widgets::bindTextEdit(*cursor_, Field::Actors, actorsText_);
    widgets::bindTextEdit(*cursor_, Field::Review, reviewText_);
    widgets::bindComboBox(*cursor_, Field::Rating, ratingBox_);
    widgets::bindLineEdit(*cursor_, Field::Year, yearText_);
    widgets::bindLineEdit(*cursor_, Field::Time, timeText_);

    // A screen reader names each input by the label beside it.
    const std::pair<QWidget *, QLabel *> named[] = {
        {categoryBox_, categoryLabel}, {titleText_, titleLabel},   {descriptionText_, descriptionLabel},
        {actorsText_, actorsLabel},    {reviewText_, reviewLabel}, {ratingBox_, ratingLabel},
        {yearText_, yearLabel},        {timeText_, timeLabel}};
    for (auto [input, label] : named)
        input->setAccessibleName(label->text().remove(':').trimmed());
    // The typing part of a box is read as the box, not by what it holds.
    for (QComboBox *box : {categoryBox_, ratingBox_})
        box->lineEdit()->setAccessibleName(box->accessibleName());
    timeText_->setAccessibleDescription(QStringLiteral("minutes"));

    connect(finishButton_, &QPushButton::clicked, this, &MovieDialog::onFinishClicked);
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        closingByButton_ = true;
        onCancelClicked();
        closingByButton_ = false;
    });
    // Escape does what Cancel does, and nothing while Cancel cannot be used.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (cancelButton_->isEnabled() && cancelButton_->isVisible())
            cancelButton_->click();
    });
    connect(helpButton_, &QPushButton::clicked, this, &MovieDialog::onHelpClicked);
    connect(lookupButton_, &QPushButton::clicked, this, &MovieDialog::onLookupClicked);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    widgets::makeTopMost(this);
}

// A dialog deleted without being closed (its main window went first) still drops its
// pending row or edit.
MovieDialog::~MovieDialog()
{
    if (!unloaded_)
        dropPending();
}

void MovieDialog::loadCategories() { appendKeepingText(categoryBox_, catalogue::categoryNames()); }

void MovieDialog::loadRatings() { appendKeepingText(ratingBox_, catalogue::ratingCodes()); }

void MovieDialog::setTabOrderChain(std::initializer_list<QWidget *> chain)
{
    QWidget *previous = nullptr;
    for (QWidget *w : chain) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

void MovieDialog::rememberEntries() { remembered_ = entries(); }

QStringList MovieDialog::entries() const
{
    return {categoryBox_->currentText(), titleText_->text(),         descriptionText_->toPlainText(),
            actorsText_->toPlainText(),  reviewText_->toPlainText(), ratingBox_->currentText(),
            yearText_->text(),           timeText_->text()};
}

bool MovieDialog::hasUnsavedEntries() const { return !unloaded_ && entries() != remembered_; }

bool MovieDialog::mayDiscardEntries()
{
    if (!hasUnsavedEntries())
        return true;
    return widgets::askYesNo(isVisible() ? this : nullptr, windowTitle(),
                             QStringLiteral("Discard the changes to this movie?"), QMessageBox::No);
}

QString MovieDialog::catalogueFile() const { return host_.catalogueFile(); }

void MovieDialog::showProblem(const QString &message)
{
    widgets::showMessage(isVisible() ? this : nullptr, QMessageBox::Warning, windowTitle(), message);
}

void MovieDialog::onFinishClicked()
{
    if (!confirmUnlessDuplicate(this, *cursor_, catalogueFile(), titleText_->text(), yearText_->text()))
        return;
    // A refused save leaves the dialog as it is, the pending row or edit included,
    // so that the user can try again or copy the entries.
    if (!cursor_->updateRecord()) {
        showProblem(cursor_->lastError().message);
        return;
    }
    // The dialog closes at once, so its own cursor is closed rather than run again. The
    // main window's connection stays open: a save through it brought the rows it keeps
    // in step, so listing all movies again needs no read of the file (a save through a
    // connection of the dialog's own is seen as a change and read again).
    cursor_->closeDatabase();
    host_.listAllRecords();
    closingByButton_ = true;
    close();
}

void MovieDialog::onHelpClicked() { help::showHelp(this, host_.helpFile()); }

void MovieDialog::onLookupClicked()
{
    if (lookup_) {
        lookup_->raise();
        lookup_->activateWindow();
        return;
    }
    lookup_ = lookupwindows::FrmLookup::start(
        this, {categoryBox_, titleText_, descriptionText_, actorsText_, ratingBox_, yearText_, timeText_});
}

void MovieDialog::unload()
{
    if (unloaded_)
        return;
    dropPending();
    emit unloaded();
}

void MovieDialog::dropPending()
{
    unloaded_ = true;
    // A look-up still in flight is stopped with the dialog.
    if (lookup_)
        lookup_->abandon();
    if (cursor_->editMode() != catalogue::RecordCursor::EditMode::None)
        cursor_->cancelUpdate();
}

void MovieDialog::closeEvent(QCloseEvent *event)
{
    // The close box never drops typed text without a word.
    if (!closingByButton_ && !mayDiscardEntries()) {
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

} // namespace editor
