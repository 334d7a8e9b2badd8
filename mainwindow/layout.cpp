// Building the main window's controls at their places, and laying them out again when
// the window changes size.
#include "commandbar.h"
#include "frmmain.h"
#include "mergedelegate.h"
#include "platform/twips.h"

#include "catalogue/categories.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>

using platform::placeTwips;
using platform::sansSerif;
using platform::twips;

namespace {

constexpr int ClientWidth = 10890;
constexpr int ClientHeight = 7005;
constexpr int SplitterBar = 75;
constexpr int SearchPaneWidth = 2175;
constexpr int BrowsePaneDesignHeight = 3180;
constexpr int RightLabelsInset = 2205;
constexpr int RightValuesInset = 885;

QLabel *label(QWidget *parent, const QString &name, const QString &text, int l, int t, int w, int h,
              const QString &style = {}, const QFont *font = nullptr)
{
    auto *lbl = new QLabel(text, parent);
    lbl->setObjectName(name);
    placeTwips(lbl, l, t, w, h);
    if (!style.isEmpty())
        lbl->setStyleSheet(style);
    // A widget with a style sheet does not take its window's font: give it explicitly.
    lbl->setFont(font ? *font : sansSerif(8.25));
    return lbl;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, int l, int t, int w, int h)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    placeTwips(b, l, t, w, h);
    b->setAutoDefault(false);
    return b;
}

QWidget *panel(const QString &name, const QString &background)
{
    auto *p = new QWidget;
    p->setObjectName(name);
    p->setAttribute(Qt::WA_StyledBackground);
    p->setStyleSheet(QString("#%1 { background: %2; }").arg(name, background));
    return p;
}

const char *const WhiteOnBlack = "color: white; background: black;";

} // namespace

void FrmMain::buildWindow()
{
    setObjectName("frmMain");
    setWindowTitle("Moviary");
    setWindowIcon(QIcon(":/images/moviary32.png"));
    setFont(sansSerif(8.25));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    ActiveBar1 = new CommandBar(this);

    centralArea = new QWidget(this);
    centralArea->setObjectName("clientArea");
    setCentralWidget(centralArea);

    Split1 = new QSplitter(Qt::Horizontal, centralArea);
    Split1->setObjectName("Split1");
    Split1->setHandleWidth(twips(SplitterBar));
    Split1->setChildrenCollapsible(false);
    rightSplit = new QSplitter(Qt::Vertical);
    rightSplit->setObjectName("Split1_right");
    rightSplit->setHandleWidth(twips(SplitterBar));
    rightSplit->setChildrenCollapsible(false);

    Picture0 = panel("Picture0", "rgb(128, 128, 128)");
    Picture1 = panel("Picture1", "palette(window)");
    Picture2 = panel("Picture2", "palette(window)");
    Picture0->setMinimumWidth(twips(SearchPaneWidth));
    Picture1->setMinimumHeight(twips(1200));
    Picture2->setMinimumHeight(twips(1200));
    Split1->addWidget(Picture0);
    Split1->addWidget(rightSplit);
    rightSplit->addWidget(Picture1);
    rightSplit->addWidget(Picture2);
    Split1->setStretchFactor(0, 0);
    Split1->setStretchFactor(1, 1);
    rightSplit->setStretchFactor(0, 0);
    rightSplit->setStretchFactor(1, 1);
    Split1->setSizes({twips(SearchPaneWidth), twips(ClientWidth - SearchPaneWidth - SplitterBar)});
    setBrowsePaneHeight(BrowsePaneDesignHeight);
    Picture1->installEventFilter(this);
    Picture2->installEventFilter(this);

    buildSearchPanel();
    buildBrowsePanel();
    buildDetailPanel();

    // The height below the command bar is fixed; only the width can change.
    adjustSize();
    const int barHeight = menuWidget()->sizeHint().height() + ActiveBar1->toolBand()->sizeHint().height();
    setFixedHeight(barHeight + twips(ClientHeight));
    setMinimumWidth(twips(SearchPaneWidth + SplitterBar + 4500));
    resize(twips(ClientWidth), height());
}

void FrmMain::buildSearchPanel()
{
    const QFont labelFont = sansSerif(9.75);
    auto *title = label(Picture0, "Label1", " Search for Movies", 0, 0, 2175, 255, WhiteOnBlack, &labelFont);
    title->setIndent(twips(240)); // the caption starts beside the picture that sits on it
    auto *image = label(Picture0, "Image1", {}, 0, 0, 240, 240);
    image->setPixmap(QIcon(":/images/search16.png").pixmap(16, 16));
    label(Picture0, "Label2", "Search For :", 120, 600, 1215, 255, "color: white;");
    txtSearch = new QLineEdit(Picture0);
    txtSearch->setObjectName("txtSearch");
    placeTwips(txtSearch, 100, 840, 1905, 330);
    txtSearch->installEventFilter(this);
    label(Picture0, "Label4", "Look In :", 120, 1440, 975, 255, "color: white;");
    cboField = new QComboBox(Picture0);
    cboField->setObjectName("cboField");
    cboField->setEditable(true);
    cboField->setInsertPolicy(QComboBox::NoInsert);
    cboField->setEditText("Title");
    placeTwips(cboField, 100, 1680, 1935, 315);
    cmdSearch = button(Picture0, "cmdSearch", "Find Movies...", 100, 2400, 1935, 375);
    lblFound = label(Picture0, "lblFound", "Movies Found :", 0, 3240, 2175, 255, WhiteOnBlack, &labelFont);
    lblFound->hide();

    connect(cmdSearch, &QPushButton::clicked, this, &FrmMain::cmdSearch_Click);
    connect(cboField, &QComboBox::editTextChanged, this, &FrmMain::cboField_Change);
}

void FrmMain::buildBrowsePanel()
{
    const QFont status = sansSerif(9.75);
    lblCategoryName = label(Picture1, "lblCategoryName", "All DVD Movies", 120, 120, 4335, 375, {}, nullptr);
    lblCategoryName->setFont(sansSerif(13.5, true));

    cmdPrev = button(Picture1, "cmdPrev", "Previous", 120, 600, 1095, 375);
    cmdNext = button(Picture1, "cmdNext", "Next", 1560, 600, 1095, 375);
    picHideButtons = new QWidget(Picture1);
    picHideButtons->setObjectName("picHideButtons");
    picHideButtons->setAttribute(Qt::WA_StyledBackground);
    picHideButtons->setStyleSheet("#picHideButtons { background: palette(window); }");
    placeTwips(picHideButtons, 120, 560, 2655, 495);
    auto *icon = label(picHideButtons, "picHideButtonsIcon", {}, 0, 0, 480, 495);
    icon->setPixmap(QIcon(":/images/moviary32.png").pixmap(32, 32));
    const QFont versionFont = sansSerif(8.25, true);
    label(picHideButtons, "lblVersion", "Moviary v1.0", 600, 140, 1335, 255, {}, &versionFont);
    picHideButtons->raise();

    cmdCat = button(Picture1, "cmdCat", "Category", 3240, 600, 1095, 375);
    const int lefts[] = {120, 1560, 3000, 4440};
    const int tops[] = {1320, 1800, 2280};
    for (int i = 1; i <= 12; ++i) {
        cmdCategory[i] = button(Picture1, QString("cmdCategory_%1").arg(i), catalogue::categoryButtonCaption(i),
                                lefts[(i - 1) % 4], tops[(i - 1) / 4], 1335, 375);
        connect(cmdCategory[i], &QPushButton::clicked, this, [this, i] { cmdCategory_Click(i); });
    }
    cmdAddMovie = button(Picture1, "cmdAddMovie_0", "Add Movie", 6060, 2280, 1335, 375);

    lblMerge = label(Picture1, "lblMerge", "Merge: Off", 5520, 120, 2055, 255, "color: black;", &status);
    lblSort = label(Picture1, "lblSort", "Sort: Ascending", 5520, 360, 2055, 255, "color: black; background: white;",
                    &status);
    lblRecordCount = label(Picture1, "lblRecordCount", "Select a Category", 5520, 720, 2055, 255, WhiteOnBlack,
                           &status);
    auto *hint1 = label(Picture1, "Label6", "Select a Movie Category to Browse.", 5880, 1300, 1695, 480,
                        "color: rgb(128, 128, 128);");
    auto *hint2 = label(Picture1, "Label7", "Click below to Add a New Movie.", 5880, 1840, 1695, 420,
                        "color: rgb(128, 128, 128);");
    hint1->setWordWrap(true);
    hint2->setWordWrap(true);

    connect(cmdPrev, &QPushButton::clicked, this, &FrmMain::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &FrmMain::cmdNext_Click);
    connect(cmdCat, &QPushButton::clicked, this, &FrmMain::cmdCat_Click);
    connect(cmdAddMovie, &QPushButton::clicked, this, &FrmMain::cmdAddMovie_Click);
}

void FrmMain::buildDetailPanel()
{
    const QFont classic = sansSerif(9.75);
    const QFont classicBold = sansSerif(9.75, true);
    const char *captions[] = {"Title", "Rating", "Description", "Actors", "Review", "Year", "Time"};
    const int places[][2] = {{120, 240}, {5520, 240}, {120, 1200}, {120, 2400}, {120, 3600}, {5520, 1200},
                             {5520, 2400}};
    for (int i = 0; i < 7; ++i)
        lblItem[i] = label(Picture2, QString("lblItem_%1").arg(i), captions[i], places[i][0], places[i][1], 1215,
                           255, WhiteOnBlack, &classic);

    lblTitle = label(Picture2, "lblTitle", {}, 1440, 240, 3855, 255, "background: rgb(255, 255, 192);",
                     &classicBold);
    lblRating = label(Picture2, "lblRating", {}, 6840, 240, 615, 255, {}, &classic);
    lblDescription = label(Picture2, "lblDescription", {}, 1440, 1200, 3735, 975);
    lblYear = label(Picture2, "lblYear", {}, 6840, 1200, 615, 255, {}, &classic);
    lblActors = label(Picture2, "lblActors", {}, 1440, 2400, 3735, 975);
    lblTime = label(Picture2, "lblTime", {}, 6840, 2400, 615, 255, {}, &classic);
    lblReview = label(Picture2, "lblReview", {}, 1440, 3600, 3735, 975);
    for (QLabel *l : {lblTitle, lblRating, lblDescription, lblYear, lblActors, lblTime, lblReview}) {
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setTextFormat(Qt::PlainText);
    }
    for (QLabel *l : {lblDescription, lblActors, lblReview})
        l->setWordWrap(true);

    fpList1 = new QTableView(Picture2);
    fpList1->setObjectName("fpList1");
    placeTwips(fpList1, 20, 40, 7695, 3735);
    fpList1->raise();
}

// The list shows eight columns of text in the window-text colour on white, with fixed
// row heights so that a long catalogue scrolls as fast as a short one.
void FrmMain::configureList()
{
    fpList1->setModel(listModel_);
    fpList1->setItemDelegate(new MergeDelegate(fpList1));
    fpList1->setShowGrid(false);
    fpList1->setSelectionBehavior(QAbstractItemView::SelectRows);
    fpList1->setSelectionMode(QAbstractItemView::SingleSelection);
    fpList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fpList1->setWordWrap(false);
    fpList1->setStyleSheet("QTableView { color: palette(window-text); background: white; }");
    fpList1->setFont(sansSerif(8.25));
    QHeaderView *rows = fpList1->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fpList1->fontMetrics().height() + 4);
    fpList1->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {20, 24, 14, 18, 12, 8, 7, 7};
    const int charWidth = fpList1->fontMetrics().averageCharWidth();
    for (int column = 0; column < 8; ++column)
        fpList1->setColumnWidth(column, widths[column] * charWidth);

    connect(fpList1, &QTableView::clicked, this, &FrmMain::fpList1_Click);
    // Moving through the rows with the keyboard chooses a movie as a click does.
    connect(fpList1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!selectingRow_ && current.isValid() && fpList1->hasFocus())
                    fpList1_Click(current);
            });
    connect(fpList1, &QTableView::doubleClicked, this, &FrmMain::fpList1_DblClick);
}

void FrmMain::setBrowsePaneHeight(int twipsHigh)
{
    const int total = rightSplit->height() > 0 ? rightSplit->height()
                                                : twips(ClientHeight) - 1;
    const int top = twips(twipsHigh);
    rightSplit->setSizes({top, std::max(1, total - top - rightSplit->handleWidth())});
}

void FrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmMain::Form_Resize()
{
    if (isMinimized())
        return;
    const int pane1 = Picture1->height();
    Split1->setGeometry(0, 0, std::max(0, centralArea->width() - 1), std::max(0, centralArea->height() - 1));
    // Keep the browse pane at its height when the whole window changes size.
    if (pane1 > 0)
        rightSplit->setSizes({pane1, std::max(1, rightSplit->height() - pane1 - rightSplit->handleWidth())});
    layoutPanels();
}

// The status labels and the detail pane's right-hand column keep their distance from
// the right edge; the list fills its panel.
void FrmMain::layoutPanels()
{
    if (isMinimized())
        return;
    const int width = platform::toTwips(Picture1->width());
    for (QWidget *w : {static_cast<QWidget *>(lblRecordCount), static_cast<QWidget *>(lblMerge),
                       static_cast<QWidget *>(lblSort), static_cast<QWidget *>(lblItem[1]),
                       static_cast<QWidget *>(lblItem[5]), static_cast<QWidget *>(lblItem[6])})
        w->move(twips(width - RightLabelsInset), w->y());
    for (QLabel *w : {lblRating, lblYear, lblTime})
        w->move(twips(width - RightValuesInset), w->y());
    // The list fills the panel from its place, so that its scroll bars stay in view.
    fpList1->resize(Picture2->width() - fpList1->x(), Picture2->height() - fpList1->y());
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == Picture1 || watched == Picture2) && event->type() == QEvent::Resize)
        layoutPanels();
    if (watched == txtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !cboField->currentText().isEmpty()) {
            cmdSearch_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
