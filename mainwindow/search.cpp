// Finding movies by a piece of text in one field.
#include "commandbar.h"
#include "frmmain.h"

#include "catalogue/searchquery.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

void FrmMain::cmdSearch_Click()
{
    // A field selector that names no field runs no query: the search finds nothing.
    Data1->setRecordSource(catalogue::searchQuery(cboField->currentText(), txtSearch->text()));
    lblFound->setText(QString());
    lblCategoryName->setText("Browse Results");
    if (!countResult()) {
        lblFound->show();
        lblFound->setText("Movies Found : 0");
        lblRecordCount->setText("No Matches");
    } else {
        lblFound->setText(QString("Movies Found : %1").arg(TotalRecords));
        lblFound->show();
    }
    showListView();
}

void FrmMain::cboField_Change(const QString &text)
{
    if (text.isEmpty())
        cboField->setEditText("Title");
}
