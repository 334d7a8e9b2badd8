// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "platform/locations.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QPageLayout;
class QPagedPaintDevice;
class QPrinter;
class QPrintPreviewWidget;

namespace report {

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
    void printReport();
    void saveAsPdf();
    void updatePageLabel();

    QString catalogueFile_;
    std::vector<catalogue::Movie> movies_;
    QString dateCaption_;
    bool started_ = false;
    bool ended_ = false;
    std::unique_ptr<QPrinter> printer_;
    QPrintPreviewWidget *preview_ = nullptr;
    QLabel *pageLabel_ = nullptr;
    QAction *printAction_ = nullptr;
    QAction *savePdfAction_ = nullptr;
};

} // namespace report
