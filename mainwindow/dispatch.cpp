// The command dispatcher: every tool of the command bar reaches its command by name.
#include "commandbar.h"
#include "frmmain.h"

#include <QAction>
#include <QCoreApplication>

void FrmMain::ActiveBar1_ToolClick(QAction *tool)
{
    const QString name = tool->objectName();
    if (name == "New")
        showAddDialog();
    else if (name == "Edit")
        EditCurrentMovie();
    else if (name == "Delete")
        DeleteCurrentMovie();
    else if (name == "Print")
        showReport();
    else if (name == "ListAll")
        ListAllRecords();
    else if (name == "Merge")
        ToggleMerge();
    else if (name == "Ascending")
        setSortOrder(false);
    else if (name == "Descending")
        setSortOrder(true);
    else if (name == "List")
        toggleView();
    else if (name == "Compact")
        showCompaction();
    else if (name == "Tips")
        ToggleTips();
    else if (name == "Help")
        showHelp();
    else if (name == "About")
        showAboutBox();
    else if (name == "Exit")
        QCoreApplication::exit(0);
}

void FrmMain::cmdAddMovie_Click()
{
    showAddDialog();
    setBrowsePaneHeight(1200);
    CategoriesExpanded = false;
}
