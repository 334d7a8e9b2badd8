// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/frmaddnew.h"

#include "catalogue/recordcursor.h"
#include "widgets/cataloguehost.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace editor {

FrmAddNew::FrmAddNew(widgets::CatalogueHost &host, QWidget *parent)
    : MovieDialog(host, {"Add New Movie", "Add a New Movie", QRect(3360, 120, 2535, 375), QPoint(2760, 60), true})
{
    setObjectName("frmAddNew");
    if (parent)
        setParent(parent, windowFlags());
    setTabOrderChain({categoryBox_, titleText_, descriptionText_, actorsText_, reviewText_, ratingBox_, yearText_,
                      timeText_, finishButton_, cancelButton_, lookupButton_, helpButton_});
    categoryBox_->setFocus();

    loadCategories();
    loadRatings();
    cursor_->setDatabaseName(catalogueFile());
    cursor_->setRecordSource("Movies");
    // Written through the main window's connection, the new movie joins its listing in
    // place. The new row needs no rows of the table; a catalogue that cannot be read now
    // is reported, and Finish tries to open it again.
    if (!cursor_->shareConnectionOf(host.mainCursor()) || !cursor_->refresh())
        showProblem(cursor_->lastError().message);
    cursor_->addNew();
    rememberEntries();
}

void FrmAddNew::onCancelClicked()
{
    for (QLineEdit *box : {titleText_, yearText_, timeText_})
        box->clear();
    for (QPlainTextEdit *box : {descriptionText_, actorsText_, reviewText_})
        box->clear();
    for (QComboBox *combo : {categoryBox_, ratingBox_}) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
    cursor_->cancelUpdate();
    close();
}

} // namespace editor
