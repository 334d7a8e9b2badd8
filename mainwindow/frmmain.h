#pragma once

#include "catalogue/cataloguehost.h"
#include "catalogue/movielistmodel.h"
#include "catalogue/recordcursor.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class CommandBar;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTableView;
class QWidget;

// The main window: it lists the catalogue, browses by category, searches one field,
// shows one movie in the detail pane, and runs every command of its command bar.
class FrmMain : public QMainWindow, public catalogue::CatalogueHost {
    Q_OBJECT
public:
    explicit FrmMain(const QString &applicationFolder, QWidget *parent = nullptr);
    ~FrmMain() override;

    // Opens the catalogue and lists every movie; false when the catalogue cannot be
    // opened, with loadError() naming the problem.
    bool Form_Load();
    QString loadError() const { return loadError_; }
    // Brings the windows the load opened (About box, tip window) in front again.
    void raiseStartupWindows();

    // Reopens the catalogue and lists all movies in title order, the first one current.
    void ListAllRecords();

    // CatalogueHost
    QString applicationFolder() const override { return folder_; }
    catalogue::RecordCursor &mainCursor() override { return *Data1; }
    void listAllRecords() override { ListAllRecords(); }
    void setCompactEnabled(bool enabled) override;

    int totalRecords() const { return TotalRecords; }
    bool categoriesExpanded() const { return CategoriesExpanded; }
    bool listHidden() const { return ListHidden; }
    CommandBar *commandBar() const { return ActiveBar1; }
    catalogue::MovieListModel *listModel() const { return listModel_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the window (layout.cpp)
    void buildWindow();
    void buildSearchPanel();
    void buildBrowsePanel();
    void buildDetailPanel();
    void configureList();
    void Form_Resize();
    void layoutPanels();
    void setBrowsePaneHeight(int twipsHigh);

    // Listing (frmmain.cpp)
    void LoadSearchFields();
    // Runs the counting rule on Data1; false when the result is empty.
    bool countResult();
    void setRecordCounter(int place);
    void selectCurrentRow();
    void reportCatalogueError();

    // Commands (dispatch.cpp)
    void ActiveBar1_ToolClick(QAction *tool);
    void cmdAddMovie_Click();
    void showAddDialog();
    void showHelp();
    void showAboutBox();
    void showTipOfTheDay();
    void showReport();
    void showCompaction();

    // Navigation (navigation.cpp)
    void fpList1_Click(const QModelIndex &index);
    void fpList1_DblClick(const QModelIndex &index);
    void cmdNext_Click();
    void cmdPrev_Click();
    bool canStep() const;
    void Data1_Validate(int action);

    // Categories (categories.cpp)
    void cmdCat_Click();
    void cmdCategory_Click(int index);

    // Search (search.cpp)
    void cmdSearch_Click();
    void cboField_Change(const QString &text);

    // View and sort options (options.cpp)
    void setSortOrder(bool descending);
    void ToggleMerge();
    void toggleView();
    void showListView();
    void ToggleTips();

    // Delete and edit (editcommands.cpp)
    void DeleteCurrentMovie();
    void EditCurrentMovie();

    QString folder_;
    QString loadError_;

    // Window state
    int TotalRecords = 0;
    bool CategoriesExpanded = false;
    bool ListHidden = false;
    bool selectingRow_ = false; // the list's highlight is being moved by the program

    catalogue::RecordCursor *Data1 = nullptr;
    catalogue::MovieListModel *listModel_ = nullptr;
    CommandBar *ActiveBar1 = nullptr;

    QWidget *centralArea = nullptr;
    QSplitter *Split1 = nullptr;
    QSplitter *rightSplit = nullptr;
    QWidget *Picture0 = nullptr;
    QWidget *Picture1 = nullptr;
    QWidget *Picture2 = nullptr;

    // Search panel
    QLineEdit *txtSearch = nullptr;
    QComboBox *cboField = nullptr;
    QPushButton *cmdSearch = nullptr;
    QLabel *lblFound = nullptr;

    // Browse panel
    QWidget *picHideButtons = nullptr;
    QPushButton *cmdPrev = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdCat = nullptr;
    std::array<QPushButton *, 13> cmdCategory{}; // 1 to 12
    QPushButton *cmdAddMovie = nullptr;
    QLabel *lblMerge = nullptr;
    QLabel *lblSort = nullptr;
    QLabel *lblRecordCount = nullptr;
    QLabel *lblCategoryName = nullptr;

    // List and detail panel
    QTableView *fpList1 = nullptr;
    std::array<QLabel *, 7> lblItem{};
    QLabel *lblTitle = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblActors = nullptr;
    QLabel *lblReview = nullptr;
    QLabel *lblRating = nullptr;
    QLabel *lblYear = nullptr;
    QLabel *lblTime = nullptr;

    // The windows the commands open, one instance each.
    QPointer<QWidget> addDialog_;
    QPointer<QWidget> editDialog_;
    QPointer<QWidget> compactDialog_;
    QPointer<QWidget> aboutBox_;
    QPointer<QWidget> tipWindow_;
    QPointer<QObject> report_;
};
