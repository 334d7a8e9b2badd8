#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

// The main window's command bar: a menu bar with four popup menus and a toolbar. Every
// menu item and toolbar button is a tool, one QAction named by its command and shared
// by every band that shows it, so a caption, check mark or enabled state set once shows
// everywhere. Check marks are set by the program only: a click never flips one itself.
class CommandBar : public QObject {
    Q_OBJECT
public:
    explicit CommandBar(QMainWindow *window);

    // The tool with that command name ("New", "Edit", ...), or nullptr.
    QAction *tool(const QString &name) const;
    // Command names in the order the bands were built.
    QStringList toolNames() const { return order_; }

    QMenuBar *menuBand() const { return menuBar_; }
    QToolBar *toolBand() const { return toolBar_; }

signals:
    // A tool was clicked, in a menu or on the toolbar.
    void toolClicked(QAction *tool);

private:
    QAction *addTool(const QString &name, const QString &caption, const QString &themeIcon, int fallbackIcon,
                     bool checkable = false, const QString &description = {});
    QMenu *addPopup(const QString &band, const QString &title, std::initializer_list<const char *> items);

    QMainWindow *window_;
    QMenuBar *menuBar_;
    QToolBar *toolBar_;
    QHash<QString, QAction *> tools_;
    QStringList order_;
};
