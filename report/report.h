// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/resultset.h"
#include "platform/locations.h"
#include "report/reportlayout.h"

#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QAction;
class QLabel;
class QTimer;
class QPageLayout;
class QPagedPaintDevice;
class QPrinter;
class QPainter;

namespace report {

class PageView;
struct RowsRead;

// The printed list of every movie in title order, in a print preview window from
// which the user prints or saves a PDF. The window deletes itself when closed;
// terminated() tells, once, that the user closed it (a report deleted without being
// closed, as when the program ends, has not ended and says nothing).
//
// The rows are read on a thread of their own, so that the window opens at once and
// stays responsive however large the catalogue; it shows its pages when they are in.
class Report : public QWidget {
    Q_OBJECT
public:
    explicit Report(const platform::Locations &locations, QWidget *parent = nullptr);
    // Everything in one folder, the program's.
    explicit Report(const QString &folder, QWidget *parent = nullptr);
    ~Report() override;

    // Checks that the catalogue opens, shows the preview at once and reads the rows
    // afresh behind it; the pages show, dated, when the rows are in. When the catalogue
    // cannot be opened or read, says why and closes the report. Called again while the
    // rows are being read, it only brings the window forward.
    void showReport();
    // Writes the report as a PDF file; an existing file is replaced only on success.
    // Waits for rows still being read.
    bool printToPdf(const QString &path);

    // 0 while the rows are being read.
    int pageCount() const;

    // Runs on the reading thread before each read, given the flag that asks the read to
    // stop: tests hold the read there to watch the window while the rows are not in.
    using BeforeRead = std::function<void(const std::atomic<bool> &stop)>;
    void setBeforeRead(BeforeRead beforeRead) { beforeRead_ = std::move(beforeRead); }

signals:
    void terminated();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool reportStart(QString *error);
    // Keeps the rows read and dates the report.
    void takeRows(catalogue::ResultSet rows);
    void sayCannotPrint(const QString &error);
    void startReading();
    // Takes the rows of the read once it ended (waiting for it) and shows their pages;
    // a failed read is reported and closes the report. False when no rows came.
    bool takeReadRows();
    // Asks the read to stop and lets it end on its own; its rows are dropped.
    void abandonRead();
    void showReading(bool reading);
    bool paintPages(QPagedPaintDevice *device, const QPageLayout &layout, int resolution);
    // The movies the pagination puts on a page, laid out on a page this wide (twips).
    ReportPage pageItems(const ReportPagination &pagination, int page, int pageWidth) const;
    // Shows the pages of the printer's page size, from the first.
    void showPages();
    void paintShownPage(QPainter &painter, int page, qreal dotsPerInch);
    void printReport();
    void saveAsPdf();
    void updatePageLabel();

    QString catalogueFile_;
    catalogue::ResultSet rows_;
    ReportPagination shownPages_;
    int shownWidth_ = 0;
    QString dateCaption_;
    bool started_ = false;
    bool ended_ = false;
    // The read under way and its thread; none once its rows are taken.
    std::shared_ptr<RowsRead> reading_;
    std::thread readThread_;
    QTimer *readPoll_ = nullptr;
    BeforeRead beforeRead_;
    std::unique_ptr<QPrinter> printer_;
    PageView *preview_ = nullptr;
    QLabel *pageLabel_ = nullptr;
    QAction *printAction_ = nullptr;
    QAction *savePdfAction_ = nullptr;
};

} // namespace report
