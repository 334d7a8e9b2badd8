// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/resultset.h"
#include "platform/locations.h"
#include "report/reportlayout.h"

#include <QString>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QPageLayout;
class QPagedPaintDevice;
class QPrinter;
class QPainter;

namespace report {

class PageView;

// The printed list of every movie in title order, in a print preview window from
// which the user prints or saves a PDF. The window deletes itself when closed;
// terminated() tells, once, that the user closed it (a report deleted without being
// closed, as when the program ends, has not ended and says nothing).
class Report : public QWidget {
    Q_OBJECT
public:
    explicit Report(const platform::Locations &locations, QWidget *parent = nullptr);
    // Everything in one folder, the program's.
    explicit Report(const QString &folder, QWidget *parent = nullptr);
    ~Report() override;

    // Reads the catalogue afresh, dates the report and shows the preview without
    // blocking. When the catalogue cannot be read, says why and closes the report.
    void showReport();
    // Writes the report as a PDF file; an existing file is replaced only on success.
    bool printToPdf(const QString &path);

    int pageCount() const;

signals:
    void terminated();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool reportStart(QString *error);
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
    std::unique_ptr<QPrinter> printer_;
    PageView *preview_ = nullptr;
    QLabel *pageLabel_ = nullptr;
    QAction *printAction_ = nullptr;
    QAction *savePdfAction_ = nullptr;
};

} // namespace report
