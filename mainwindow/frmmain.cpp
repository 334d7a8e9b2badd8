#include "frmmain.h"

#include "catalogue/searchquery.h"
#include "commandbar.h"
#include "platform/appfolder.h"
#include "platform/boundwidgets.h"
#include "platform/settings.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>

using catalogue::Field;

FrmMain::FrmMain(const QString &applicationFolder, QWidget *parent)
    : QMainWindow(parent), folder_(applicationFolder)
{
    Data1 = new catalogue::RecordCursor(this);
    Data1->setObjectName("Data1");
    listModel_ = new catalogue::MovieListModel(Data1, this);
    buildWindow();
    configureList();

    platform::bindLabel(*Data1, Field::Title, lblTitle);
    platform::bindLabel(*Data1, Field::Rating, lblRating);
    platform::bindLabel(*Data1, Field::Description, lblDescription);
    platform::bindLabel(*Data1, Field::Year, lblYear);
    platform::bindLabel(*Data1, Field::Actors, lblActors);
    platform::bindLabel(*Data1, Field::Time, lblTime);
    platform::bindLabel(*Data1, Field::Review, lblReview);
    connect(Data1, &catalogue::RecordCursor::validate, this, &FrmMain::Data1_Validate);
    connect(ActiveBar1, &CommandBar::toolClicked, this, &FrmMain::ActiveBar1_ToolClick);
}

FrmMain::~FrmMain()
{
    // The windows without an owner go with the main window.
    // An ending report would open the About box: not while the program ends.
    if (report_)
        report_->disconnect(this);
    delete report_.data();
    for (const QPointer<QWidget> &w : {addDialog_, editDialog_, compactDialog_, aboutBox_, tipWindow_})
        delete w.data();
}

bool FrmMain::Form_Load()
{
    ListAllRecords();
    // A file that opens but cannot be listed (damaged pages, say) is no catalogue to start on.
    if (!Data1->isOpen() || Data1->lastError()) {
        loadError_ = Data1->lastError().message;
        return false;
    }
    LoadSearchFields();
    CategoriesExpanded = false;
    ListHidden = false;
    ActiveBar1->tool("Ascending")->setChecked(true);
    showAboutBox();
    const int showTips = platform::showTipsAtStartup();
    if (showTips == 0) {
        ActiveBar1->tool("Tips")->setChecked(false);
    } else if (showTips == 1) {
        ActiveBar1->tool("Tips")->setChecked(true);
        showTipOfTheDay();
    }
    return true;
}

void FrmMain::LoadSearchFields()
{
    cboField->addItems(catalogue::searchFieldEntries());
    cboField->setEditText("Title");
}

void FrmMain::ListAllRecords()
{
    setBrowsePaneHeight(1200);
    CategoriesExpanded = false;
    lblFound->hide();
    lblCategoryName->setText("All DVD Movies");
    Data1->setDatabaseName(platform::catalogueFile(folder_));
    Data1->setRecordSource("select * from Movies order by Title");
    if (!countResult())
        lblRecordCount->setText("No Movies");
}

// Counts the result of Data1's query: refresh, and unless it is empty, visit the last
// and the first row, keep the count, show the counter for the first row and refresh.
bool FrmMain::countResult()
{
    if (!Data1->refresh() && isVisible())
        reportCatalogueError();
    if (Data1->bof())
        return false;
    Data1->moveLast();
    Data1->moveFirst();
    TotalRecords = Data1->recordCount();
    setRecordCounter(Data1->absolutePosition() + 1);
    Data1->refresh();
    selectCurrentRow();
    return true;
}

void FrmMain::setRecordCounter(int place)
{
    lblRecordCount->setText(QString("Record %1 of %2").arg(place).arg(TotalRecords));
}

// The list highlights the current movie, wherever its own sort order shows it.
void FrmMain::selectCurrentRow()
{
    const int row = listModel_->rowOfPosition(Data1->absolutePosition());
    if (row < 0)
        return;
    selectingRow_ = true;
    fpList1->selectRow(row);
    fpList1->scrollTo(listModel_->index(row, 0));
    selectingRow_ = false;
}

void FrmMain::reportCatalogueError()
{
    QMessageBox::warning(this, "Moviary", Data1->lastError().message);
}

void FrmMain::setCompactEnabled(bool enabled)
{
    ActiveBar1->tool("Compact")->setEnabled(enabled);
}
