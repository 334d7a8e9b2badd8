// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/frmedit.h"

#include "catalogue/recordcursor.h"
#include "widgets/cataloguehost.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace editor {

FrmEdit::FrmEdit(widgets::CatalogueHost &host)
    : MovieDialog(host, {"Edit Movie", "Edit Movie", QRect(4320, 120, 1575, 375), QPoint(3720, 60), false})
{
    setObjectName("frmEdit");
    setTabOrderChain({timeText_, ratingBox_, yearText_, reviewText_, actorsText_, descriptionText_, titleText_,
                      categoryBox_, finishButton_, cancelButton_, lookupButton_, helpButton_});
    timeText_->setFocus();

    catalogue::RecordCursor &main = host.mainCursor();
    const auto chosenRow = main.currentRowId();
    const catalogue::Movie chosen = main.currentMovie();
    const bool hasChosen = main.hasCurrent();

    // Through the main window's connection: while its listing is current the rows come
    // from memory instead of running its query again, and the save keeps them in step.
    cursor_->setDatabaseName(catalogueFile());
    if (!cursor_->shareConnectionOf(main)) {
        problem_ = cursor_->lastError().message;
        return;
    }
    cursor_->setRecordSource(main.recordSource());
    if (!cursor_->refresh()) {
        problem_ = cursor_->lastError().message;
        return;
    }
    cursor_->setAbsolutePosition(main.absolutePosition());
    // The place alone does not name a movie: another window or another running copy
    // may have changed the catalogue since the main window listed it.
    const bool same =
        hasChosen && cursor_->hasCurrent() && cursor_->currentRowId() == chosenRow && cursor_->currentMovie() == chosen;
    if (!same) {
        problem_ = "The movie you chose has been changed or deleted since the list was shown, so it was not "
                   "opened for editing. List the movies again and choose it anew.";
        return;
    }
    loadCategories();
    loadRatings();
    cursor_->edit();
    rememberEntries();
}

FrmEdit *FrmEdit::create(widgets::CatalogueHost &host)
{
    auto *dialog = new FrmEdit(host);
    if (dialog->problem_.isEmpty())
        return dialog;
    dialog->showProblem(dialog->problem_);
    dialog->unload();
    delete dialog;
    return nullptr;
}

FrmEdit *FrmEdit::open(widgets::CatalogueHost &host, QPointer<FrmEdit> &slot)
{
    if (!slot && !(slot = create(host)))
        return nullptr;
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

void FrmEdit::onCancelClicked()
{
    cursor_->cancelUpdate();
    close();
}

} // namespace editor
