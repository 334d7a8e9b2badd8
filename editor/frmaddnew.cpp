#include "frmaddnew.h"

#include "catalogue/recordcursor.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace editor {

FrmAddNew::FrmAddNew(catalogue::CatalogueHost &host, QWidget *parent)
    : MovieDialog(host, {"Add New Movie", "Add a New Movie", QRect(3360, 120, 2535, 375), QPoint(2760, 60), true})
{
    setObjectName("frmAddNew");
    if (parent)
        setParent(parent, windowFlags());
    setTabOrderChain({cboCat, Text1, Text2, Text3, Text4, cboRating, Text5, Text6, cmdFinish, cmdCancel, cmdHelp});
    cboCat->setFocus();

    loadCategories();
    loadRatings();
    Data1->setDatabaseName(catalogueFile());
    Data1->setRecordSource("Movies");
    // The new row needs no rows of the table; a catalogue that cannot be read now is
    // reported, and Finish tries to open it again.
    if (!Data1->refresh())
        showProblem(Data1->lastError().message);
    Data1->addNew();
}

void FrmAddNew::cmdCancel_Click()
{
    for (QLineEdit *box : {Text1, Text5, Text6})
        box->clear();
    for (QPlainTextEdit *box : {Text2, Text3, Text4})
        box->clear();
    for (QComboBox *combo : {cboCat, cboRating}) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
    Data1->cancelUpdate();
    close();
}

} // namespace editor
