// Finding movies by a piece of text in one field.
#include "commandbar.h"
#include "frmmain.h"

#include "catalogue/query.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

// The field each entry of the field selector searches. Typed text names an entry when
// it equals one without regard to letter case; any other text names no field.
std::optional<QString> searchField(const QString &entry)
{
    static const QStringList entries{"Title", "Description", "Category", "Actors", "Review", "Rating", "Year",
                                     "Running Time"};
    static const QStringList fields{"Title", "Description", "Category", "Actors", "Review", "Rating", "Year",
                                    "Time"};
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].compare(entry.trimmed(), Qt::CaseInsensitive) == 0)
            return fields[i];
    return std::nullopt;
}

} // namespace

void FrmMain::cmdSearch_Click()
{
    const auto field = searchField(cboField->currentText());
    // A field selector that names no field runs no query: the search finds nothing.
    Data1->setRecordSource(field ? "select * from Movies where " + *field + " Like " +
                                       catalogue::quoteLiteral("*" + txtSearch->text() + "*") + " Order by " + *field
                                 : QString());
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
