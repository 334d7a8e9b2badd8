#include "frmedit.h"

#include "catalogue/cataloguehost.h"
#include "catalogue/recordcursor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace editor {

FrmEdit::FrmEdit(catalogue::CatalogueHost &host)
    : MovieDialog(host, {"Edit Movie", "Edit Movie", QRect(4320, 120, 1575, 375), QPoint(3720, 60), false})
{
    setObjectName("frmEdit");
    setTabOrderChain({Text6, cboRating, Text5, Text4, Text3, Text2, Text1, cboCat, cmdFinish, cmdCancel, cmdHelp});
    Text6->setFocus();

    catalogue::RecordCursor &main = host.mainCursor();
    const auto chosenRow = main.currentRowId();
    const catalogue::Movie chosen = main.currentMovie();
    const bool hasChosen = main.hasCurrent();

    Data1->setDatabaseName(catalogueFile());
    Data1->setRecordSource(main.recordSource());
    if (!Data1->refresh()) {
        problem_ = Data1->lastError().message;
        return;
    }
    Data1->setAbsolutePosition(main.absolutePosition());
    // The place alone does not name a movie: another window or another running copy
    // may have changed the catalogue since the main window listed it.
    const bool same = hasChosen && Data1->hasCurrent() && Data1->currentRowId() == chosenRow &&
                      Data1->currentMovie() == chosen;
    if (!same) {
        problem_ = "The movie you chose has been changed or deleted since the list was shown, so it was not "
                   "opened for editing. List the movies again and choose it anew.";
        return;
    }
    loadCategories();
    loadRatings();
    Data1->edit();
}

FrmEdit *FrmEdit::create(catalogue::CatalogueHost &host)
{
    auto *dialog = new FrmEdit(host);
    if (dialog->problem_.isEmpty())
        return dialog;
    dialog->showProblem(dialog->problem_);
    dialog->unload();
    delete dialog;
    return nullptr;
}

FrmEdit *FrmEdit::open(catalogue::CatalogueHost &host, QPointer<FrmEdit> &slot)
{
    if (!slot && !(slot = create(host)))
        return nullptr;
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

void FrmEdit::cmdCancel_Click()
{
    Data1->cancelUpdate();
    close();
}

} // namespace editor
