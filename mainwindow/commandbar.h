// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <initializer_list>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

// The main window's command bar: a menu bar with five popup menus and a toolbar. Every
// menu item and toolbar button is a tool, one QAction named by its command and shared
// by every band that shows it, so a caption, check mark or enabled state set once shows
// everywhere. Check marks are set by the program only: a click never flips one itself.
//
// A new command is one member here, one addTool() line and its place in a band in the
// constructor, and one connection to its handler in the main window.
class CommandBar : public QObject {
    Q_OBJECT
public:
    explicit CommandBar(QMainWindow *window);

    // File menu
    QAction *newMovie() const { return newMovie_; }
    QAction *deleteMovie() const { return deleteMovie_; }
    QAction *editMovie() const { return editMovie_; }
    QAction *listAll() const { return listAll_; }
    QAction *print() const { return print_; }
    QAction *importMovies() const { return importMovies_; }
    QAction *exportMovies() const { return exportMovies_; }
    QAction *fillIn() const { return fillIn_; }
    QAction *restore() const { return restore_; }
    QAction *exit() const { return exit_; }
    // Options menu
    QAction *compact() const { return compact_; }
    QAction *tips() const { return tips_; }
    QAction *warnDuplicates() const { return warnDuplicates_; }
    QAction *lookupOptions() const { return lookupOptions_; }
    // Sort Method menu
    QAction *merge() const { return merge_; }
    QAction *ascending() const { return ascending_; }
    QAction *descending() const { return descending_; }
    // Help menu
    QAction *help() const { return help_; }
    QAction *about() const { return about_; }
    // Toolbar and View menu
    QAction *listView() const { return listView_; }

    // Every tool, in the order they were made.
    const QList<QAction *> &tools() const { return tools_; }
    // Their command names ("New", "Edit", ...), in the same order.
    QStringList toolNames() const;

    QMenuBar *menuBand() const { return menuBar_; }
    QToolBar *toolBand() const { return toolBar_; }

private:
    QAction *addTool(const QString &name, const QString &caption, const QString &themeIcon, int fallbackIcon,
                     bool checkable = false, const QString &description = {});
    // A popup menu of the menu bar; nullptr marks a separator before the next item.
    QMenu *addPopup(const QString &band, const QString &title, std::initializer_list<QAction *> items);

    QMainWindow *window_;
    QMenuBar *menuBar_;
    QToolBar *toolBar_;
    QList<QAction *> tools_;

    QAction *newMovie_;
    QAction *deleteMovie_;
    QAction *editMovie_;
    QAction *listAll_;
    QAction *print_;
    QAction *importMovies_;
    QAction *exportMovies_;
    QAction *fillIn_;
    QAction *restore_;
    QAction *exit_;
    QAction *compact_;
    QAction *tips_;
    QAction *warnDuplicates_;
    QAction *lookupOptions_;
    QAction *merge_;
    QAction *ascending_;
    QAction *descending_;
    QAction *help_;
    QAction *about_;
    QAction *listView_;
};
