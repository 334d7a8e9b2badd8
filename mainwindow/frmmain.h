// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/recordcursor.h"
#include "mainwindow/movielistmodel.h"
#include "platform/locations.h"
#include "widgets/cataloguehost.h"

#include <QMainWindow>
#include <QPointer>

class BrowsePanel;
class CommandBar;
class ListDetailPanel;
class SearchPanel;
class QSplitter;

namespace editor {
class FrmAddNew;
class FrmEdit;
class MovieDialog;
} // namespace editor

namespace importexport {
class FrmExport;
class FrmImport;
} // namespace importexport

namespace lookupwindows {
class FrmFillIn;
}

namespace maintenance {
class FrmCompact;
class FrmRestore;
} // namespace maintenance

namespace lookupwindows {
class LookupOptions;
}

namespace report {
class Report;
}

namespace startup {
class FrmAbout;
class FrmTip;
} // namespace startup

// The main window: it lists the catalogue, browses by category, searches one field,
// shows one movie in the detail pane, and runs every command of its command bar.
// It holds the record cursor and the listing flow; its three panels own their
// controls and tell it what the user asked for through signals.
//
// frmmain.cpp      construction, start-up, the listing flow (all, category, search)
// layout.cpp       the window's frame: command bar, splitters, panel heights, resizing
// navigation.cpp   choosing a row, Previous and Next
// commands.cpp     each command of the command bar to its handler; view and sort options; delete
// openwindows.cpp  the dialogs and tool windows the commands open, and the enabled state of
//                  "Compact", "Import" and "Restore"
// safetynet.cpp    backups (restore, the start-up backup) and the duplicate warning's option
class FrmMain : public QMainWindow, public widgets::CatalogueHost {
    Q_OBJECT
public:
    explicit FrmMain(const platform::Locations &locations, QWidget *parent = nullptr);
    // Everything in one folder, the program's.
    explicit FrmMain(const QString &applicationFolder, QWidget *parent = nullptr);
    ~FrmMain() override;

    // Opens the catalogue and lists every movie; false when the catalogue cannot be
    // opened, with loadError() naming the problem.
    bool load();
    QString loadError() const { return loadError_; }
    int loadErrorCode() const { return loadErrorCode_; }
    // Brings the windows the load opened (About box, tip window) in front again.
    void raiseStartupWindows();
    // Takes a backup of the catalogue on a thread of its own when one is due: call it
    // once the window is shown. A failure is told in a message that does not block.
    void startStartupBackup();

    // CatalogueHost
    QString catalogueFile() const override { return locations_.catalogueFile(); }
    QString compactionWorkFile() const override { return locations_.compactionWorkFile(); }
    QString helpFile() const override { return locations_.helpFile(); }
    catalogue::RecordCursor &mainCursor() override { return *cursor_; }
    // Reopens the catalogue and lists all movies in title order, the first one current.
    void listAllRecords() override;
    // The list's rows in the order it shows them, which a descending sort reverses.
    std::vector<int> listedPositions() override;
    bool editing() const override;

    int totalRecords() const { return totalRecords_; }
    bool categoriesExpanded() const;
    bool listHidden() const { return listHidden_; }
    CommandBar *commandBar() const { return commandBar_; }
    mainwindow::MovieListModel *listModel() const { return listModel_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void reportStartupBackupFailure(const QString &problem);
    // The window's frame (layout.cpp)
    void buildWindow();
    void layoutWindow();
    void setBrowsePaneHeight(int twipsHigh);

    // The listing flow (frmmain.cpp)
    void connectPanels();
    void onCategoryChosen(int index);
    void onSearchRequested();
    // Runs the counting steps on the cursor; false when the result is empty.
    bool countResult();
    void setRecordCounter(int place);
    void selectCurrentRow();
    void reportCatalogueError();

    // Navigation (navigation.cpp)
    void onRowChosen(int row);
    void onRowDoubleClicked(int row);
    void onNextClicked();
    void onPreviousClicked();
    bool canStep() const;
    void onCursorValidate(int action);

    // Commands and options (commands.cpp)
    void connectCommands();
    void setSortOrder(bool descending);
    void toggleMerge();
    void toggleView();
    void showListView();
    void toggleTips();
    void toggleWarnDuplicates();
    void deleteCurrentMovie();
    void exitProgram();

    // Windows (openwindows.cpp)
    void onAddMovieClicked();
    void showAddDialog();
    void editCurrentMovie();
    void watchEditor(editor::MovieDialog *dialog);
    void updateCompactEnabled();
    void showImport();
    void showExport();
    void showFillIn();
    void showHelp();
    void showAboutBox();
    void showTipOfTheDay();
    void showReport();
    void showCompaction();
    void showRestore();
    void showLookupOptions();

    platform::Locations locations_;
    QString loadError_;
    int loadErrorCode_ = 0;

    int totalRecords_ = 0;
    bool listHidden_ = false;

    catalogue::RecordCursor *cursor_ = nullptr;
    mainwindow::MovieListModel *listModel_ = nullptr;
    CommandBar *commandBar_ = nullptr;

    QWidget *clientArea_ = nullptr;
    QSplitter *mainSplit_ = nullptr;
    QSplitter *rightSplit_ = nullptr;
    SearchPanel *searchPanel_ = nullptr;
    BrowsePanel *browsePanel_ = nullptr;
    ListDetailPanel *listPanel_ = nullptr;

    // The windows the commands open, one instance each, without an owner on screen.
    QPointer<editor::FrmAddNew> addDialog_;
    QPointer<editor::FrmEdit> editDialog_;
    QPointer<maintenance::FrmCompact> compactDialog_;
    QPointer<importexport::FrmImport> importDialog_;
    QPointer<importexport::FrmExport> exportDialog_;
    QPointer<lookupwindows::FrmFillIn> fillInDialog_;
    QPointer<maintenance::FrmRestore> restoreDialog_;
    QPointer<startup::FrmAbout> aboutBox_;
    QPointer<startup::FrmTip> tipWindow_;
    QPointer<report::Report> report_;
    QPointer<lookupwindows::LookupOptions> lookupOptions_;
};
