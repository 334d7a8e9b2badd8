#include "commandbar.h"

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

    addTool("New", "Create New", "document-new", QStyle::SP_FileIcon);
    addTool("Delete", "Delete Movie", "edit-delete", QStyle::SP_TrashIcon);
    addTool("Edit", "Edit Movie", "document-edit", QStyle::SP_FileDialogDetailedView);
    addTool("ListAll", "List All", "view-refresh", QStyle::SP_BrowserReload);
    addTool("Print", "Print...", "document-print", QStyle::SP_DialogSaveButton);
    addTool("Exit", "&Exit", "application-exit", QStyle::SP_DialogCloseButton, false,
            "Close all documents and exit");
    addTool("Compact", "Compact DB", "edit-clear", QStyle::SP_DriveHDIcon);
    addTool("Tips", "Tip of the Day", "help-hint", QStyle::SP_MessageBoxInformation, true);
    addTool("Merge", "Merge Data", "format-justify-fill", QStyle::SP_FileDialogListView, true, "Page Break");
    addTool("Ascending", "Ascending", "view-sort-ascending", QStyle::SP_ArrowUp, true);
    addTool("Descending", "Descending", "view-sort-descending", QStyle::SP_ArrowDown, true);
    addTool("Help", "Help Using...", "help-contents", QStyle::SP_DialogHelpButton);
    addTool("About", "About...", "help-about", QStyle::SP_MessageBoxQuestion);
    addTool("List", "Browse Buttons", "view-list-details", QStyle::SP_FileDialogContentsView);

    // Popup menus; nullptr marks a separator before the next item.
    addPopup("mnuFile", "&File", {"New", nullptr, "Delete", "Edit", nullptr, "ListAll", "Print", nullptr, "Exit"});
    addPopup("mnuOptions", "&Options", {"Compact", nullptr, "Tips"});
    addPopup("mnuSort", "&Sort Method", {"Merge", nullptr, "Ascending", "Descending"});
    addPopup("mnuHelp", "&Help", {"Help", nullptr, "About"});

    toolBar_->addAction(tools_["New"]);
    toolBar_->addSeparator();
    toolBar_->addAction(tools_["ListAll"]);
    toolBar_->addAction(tools_["List"]);
    toolBar_->addSeparator();
    toolBar_->addAction(tools_["Help"]);
    toolBar_->addAction(tools_["Exit"]);

    window->setMenuBar(menuBar_);
    window->addToolBar(Qt::TopToolBarArea, toolBar_);
}

QAction *CommandBar::tool(const QString &name) const { return tools_.value(name); }

QAction *CommandBar::addTool(const QString &name, const QString &caption, const QString &themeIcon,
                             int fallbackIcon, bool checkable, const QString &description)
{
    const QIcon fallback = window_->style()->standardIcon(QStyle::StandardPixmap(fallbackIcon));
    auto *action = new QAction(QIcon::fromTheme(themeIcon, fallback), caption, window_);
    action->setObjectName(name);
    action->setCheckable(checkable);
    action->setStatusTip(description);
    action->setProperty("description", description);
    action->setIconVisibleInMenu(true);
    // Qt flips a checkable action's mark before it reports the click; put the mark back
    // so that only the command decides it.
    connect(action, &QAction::triggered, this, [this, action](bool checked) {
        if (action->isCheckable()) {
            const QSignalBlocker block(action);
            action->setChecked(!checked);
        }
        emit toolClicked(action);
    });
    tools_.insert(name, action);
    order_ << name;
    return action;
}

QMenu *CommandBar::addPopup(const QString &band, const QString &title, std::initializer_list<const char *> items)
{
    auto *menu = new QMenu(title, menuBar_);
    menu->setObjectName(band);
    for (const char *item : items) {
        if (item)
            menu->addAction(tools_.value(item));
        else
            menu->addSeparator();
    }
    menuBar_->addMenu(menu);
    return menu;
}
