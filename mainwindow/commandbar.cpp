// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/commandbar.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

CommandBar::CommandBar(QMainWindow *window) : QObject(window), window_(window)
{
    menuBar_ = new QMenuBar(window);
    menuBar_->setObjectName("MnuBand1");
    toolBar_ = new QToolBar(window);
    toolBar_->setObjectName("Band1");
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar_->toggleViewAction()->setVisible(false);
    QFont arial("Arial");
    arial.setStyleHint(QFont::SansSerif);
    arial.setPointSizeF(QApplication::font().pointSizeF());
    menuBar_->setFont(arial);
    toolBar_->setFont(arial);

    newMovie_ = addTool("New", "Create New", "document-new", QStyle::SP_FileIcon);
    deleteMovie_ = addTool("Delete", "Delete Movie", "edit-delete", QStyle::SP_TrashIcon);
    editMovie_ = addTool("Edit", "Edit Movie", "document-edit", QStyle::SP_FileDialogDetailedView);
    listAll_ = addTool("ListAll", "List All", "view-refresh", QStyle::SP_BrowserReload);
    print_ = addTool("Print", "Print...", "document-print", QStyle::SP_DialogSaveButton);
    importMovies_ = addTool("Import", "Import Movies...", "document-import", QStyle::SP_DialogOpenButton);
    exportMovies_ = addTool("Export", "Export Movies...", "document-export", QStyle::SP_DialogSaveButton);
    fillIn_ = addTool("FillIn", "Fill In Details...", "edit-find", QStyle::SP_FileDialogContentsView);
    exit_ = addTool("Exit", "&Exit", "application-exit", QStyle::SP_DialogCloseButton, false,
                    "Close all documents and exit");
    compact_ = addTool("Compact", "Compact DB", "edit-clear", QStyle::SP_DriveHDIcon);
    tips_ = addTool("Tips", "Tip of the Day", "help-hint", QStyle::SP_MessageBoxInformation, true);
    merge_ = addTool("Merge", "Merge Data", "format-justify-fill", QStyle::SP_FileDialogListView, true,
                     "Show equal values in a column as one merged cell");
    ascending_ = addTool("Ascending", "Ascending", "view-sort-ascending", QStyle::SP_ArrowUp, true);
    descending_ = addTool("Descending", "Descending", "view-sort-descending", QStyle::SP_ArrowDown, true);
    help_ = addTool("Help", "Help Using...", "help-contents", QStyle::SP_DialogHelpButton);
    about_ = addTool("About", "About...", "help-about", QStyle::SP_MessageBoxQuestion);
    listView_ = addTool("List", "Browse Buttons", "view-list-details", QStyle::SP_FileDialogContentsView);
    restore_ = addTool("Restore", "Restore from Backup...", "document-revert", QStyle::SP_DialogResetButton);
    warnDuplicates_ =
        addTool("Duplicates", "Warn About Duplicates", "dialog-warning", QStyle::SP_MessageBoxWarning, true);
    lookupOptions_ = addTool("Lookup", "Online Look-Up...", "network-server", QStyle::SP_DriveNetIcon);

    // The keys a desktop program is expected to have; the menus show them.
    newMovie_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    deleteMovie_->setShortcut(QKeySequence(Qt::Key_Delete));
    editMovie_->setShortcut(QKeySequence(Qt::Key_F2));
    print_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    listAll_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    help_->setShortcut(QKeySequence(Qt::Key_F1));
    exit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    listView_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    // A tool button shortens its caption ("Help Using", "Exit"); these show as named.
    help_->setIconText(help_->text());
    exit_->setIconText(exit_->text());

    addPopup("mnuFile", "&File",
             {newMovie_, nullptr, deleteMovie_, editMovie_, nullptr, listAll_, print_, importMovies_, exportMovies_,
              fillIn_, restore_, nullptr, exit_});
    addPopup("mnuOptions", "&Options", {compact_, nullptr, tips_, warnDuplicates_, nullptr, lookupOptions_});
    addPopup("mnuSort", "&Sort Method", {merge_, nullptr, ascending_, descending_});
    // The switch between the list and the browse buttons, reachable without the toolbar.
    addPopup("mnuView", "&View", {listView_});
    addPopup("mnuHelp", "&Help", {help_, nullptr, about_});

    toolBar_->addAction(newMovie_);
    toolBar_->addSeparator();
    toolBar_->addAction(listAll_);
    toolBar_->addAction(listView_);
    toolBar_->addSeparator();
    toolBar_->addAction(help_);
    toolBar_->addAction(exit_);

    window->setMenuBar(menuBar_);
    window->addToolBar(Qt::TopToolBarArea, toolBar_);
}

QStringList CommandBar::toolNames() const
{
    QStringList names;
    for (const QAction *tool : tools_)
        names << tool->objectName();
    return names;
}

QAction *CommandBar::addTool(const QString &name, const QString &caption, const QString &themeIcon, int fallbackIcon,
                             bool checkable, const QString &description)
{
    const QIcon fallback = window_->style()->standardIcon(QStyle::StandardPixmap(fallbackIcon));
    auto *action = new QAction(QIcon::fromTheme(themeIcon, fallback), caption, window_);
    action->setObjectName(name);
    action->setCheckable(checkable);
    action->setStatusTip(description);
    action->setProperty("description", description);
    // A menu marks a checked command with a check mark only where it shows no icon.
    action->setIconVisibleInMenu(!checkable);
    // Qt flips a checkable action's mark before it reports the click; put the mark back
    // so that only the command decides it. Connected first, this runs before any handler.
    if (checkable) {
        connect(action, &QAction::triggered, this, [action](bool checked) {
            const QSignalBlocker block(action);
            action->setChecked(!checked);
        });
    }
    tools_ << action;
    return action;
}

QMenu *CommandBar::addPopup(const QString &band, const QString &title, std::initializer_list<QAction *> items)
{
    auto *menu = new QMenu(title, menuBar_);
    menu->setObjectName(band);
    for (QAction *item : items) {
        if (item)
            menu->addAction(item);
        else
            menu->addSeparator();
    }
    menuBar_->addMenu(menu);
    return menu;
}
