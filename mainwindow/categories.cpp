// Browsing the catalogue by category.
#include "frmmain.h"

#include "catalogue/categories.h"
#include "catalogue/query.h"

#include <QLabel>

void FrmMain::cmdCat_Click()
{
    if (!CategoriesExpanded) {
        setBrowsePaneHeight(2800);
        CategoriesExpanded = true;
    } else {
        setBrowsePaneHeight(1200);
        CategoriesExpanded = false;
    }
    lblFound->hide();
}

void FrmMain::cmdCategory_Click(int index)
{
    lblFound->hide();
    const QString name = catalogue::categoryNames().value(index - 1);
    lblCategoryName->setText(name);
    Data1->setRecordSource("select * from Movies where Category = " + catalogue::quoteLiteral(name) +
                           " order by Title");
    if (!countResult())
        lblRecordCount->setText("No Movies");
    CategoriesExpanded = false;
    setBrowsePaneHeight(1200);
}
