// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report.h"

#include "report/reportdata.h"
#include "report/reportlayout.h"
#include "widgets/windows.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextLayout>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

namespace report {

namespace {

constexpr qreal TwipsPerInch = 1440.0;

QPageLayout reportPageLayout(const QPageLayout &from)
{
    QPageLayout layout = from;
    layout.setUnits(QPageLayout::Inch);
    layout.setMargins(QMarginsF(1.0, 0.5, 0.75, 0.5));
    return layout;
}

QFont reportFont(qreal pointSize, bool bold)
{
    // Where Arial is missing, a face with Arial's measures keeps the cut-off points.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// The part of text that fits on the first line of a box this wide: the text is
// wrapped as in a multi-line box, and whatever would fall below is cut off.
QString firstLine(const QString &text, const QFont &font, const QFontMetricsF &metrics, QPaintDevice *device,
                  qreal width)
{
    const bool breaks = text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!breaks && metrics.horizontalAdvance(text) <= width)
        return text;
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    flat.replace(QLatin1Char('\n'), QChar::LineSeparator);
    flat.replace(QLatin1Char('\r'), QChar::LineSeparator);
    QTextLayout layout(flat, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setLineWidth(width);
    layout.endLayout();
    QString shown = flat.left(line.textLength());
    if (shown.size() < flat.size()) {
        while (!shown.isEmpty() && (shown.back().isSpace() || shown.back() == QChar::LineSeparator))
            shown.chop(1);
    }
    return shown;
}

} // namespace

Report::Report(const QString &folder, QWidget *parent) : Report(platform::Locations::portable(folder), parent) {}

Report::Report(const platform::Locations &locations, QWidget *parent)
    : QWidget(parent, Qt::Window), catalogueFile_(locations.catalogueFile()),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName("Report");
    setWindowTitle("Print Movies");
    setAttribute(Qt::WA_DeleteOnClose);
    printer_->setPageLayout(reportPageLayout(printer_->pageLayout()));
    printer_->setDocName(windowTitle());

    auto *bar = new QToolBar(this);
    bar->setObjectName("tbrReport");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    preview_->setAccessibleName(QStringLiteral("Print preview"));
    // The page view inside takes the focus; it is read as the preview.
    for (QWidget *inner : preview_->findChildren<QWidget *>())
        if (inner->focusPolicy() != Qt::NoFocus)
            inner->setAccessibleName(preview_->accessibleName());
    preview_->setObjectName("prvReport");

    auto addAction = [&](const char *name, const QString &text, const QKeySequence &key, auto slot) {
        QAction *a = bar->addAction(text);
        a->setObjectName(name);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    printAction_ = addAction("actPrint", "&Print...", QKeySequence::Print, [this] { printReport(); });
    savePdfAction_ = addAction("actSavePdf", "Save as PDF...", QKeySequence::SaveAs, [this] { saveAsPdf(); });
    bar->addSeparator();
    addAction("actPreviousPage", "Previous Page", QKeySequence(Qt::Key_PageUp),
              [this] { preview_->setCurrentPage(preview_->currentPage() - 1); });
    addAction("actNextPage", "Next Page", QKeySequence(Qt::Key_PageDown),
              [this] { preview_->setCurrentPage(preview_->currentPage() + 1); });
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName("lblPage");
    pageLabel_->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(pageLabel_);
    bar->addSeparator();
    addAction("actZoomIn", "Zoom In", QKeySequence::ZoomIn, [this] { preview_->zoomIn(); });
    addAction("actZoomOut", "Zoom Out", QKeySequence::ZoomOut, [this] { preview_->zoomOut(); });
    addAction("actFitWidth", "Fit Width", QKeySequence(), [this] { preview_->fitToWidth(); });
    addAction("actWholePage", "Whole Page", QKeySequence(), [this] { preview_->fitInView(); });
    bar->addSeparator();
    QAction *closeAction = addAction("actClose", "Close", QKeySequence::Close, [this] { close(); });
    closeAction->setShortcuts(QKeySequence::keyBindings(QKeySequence::Close) << QKeySequence(Qt::Key_Escape));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(preview_, 1);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter *printer) { paintPages(printer, printer->pageLayout(), printer->resolution()); });
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, &Report::updatePageLabel);
    preview_->setZoomMode(QPrintPreviewWidget::CustomZoom);
    preview_->setZoomFactor(0.9);
    resize(860, 760);
}

Report::~Report()
{
    // The preview refers to the printer: it goes first.
    delete preview_;
}

void Report::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && !ended_) {
        ended_ = true;
        emit terminated();
    }
}

int Report::pageCount() const { return preview_->pageCount(); }

bool Report::reportStart(QString *error)
{
    widgets::WaitCursor wait;
    std::vector<catalogue::Movie> movies;
    if (!readReportMovies(catalogueFile_, movies, error))
        return false;
    movies_ = std::move(movies);
    dateCaption_ = printDateCaption(QDate::currentDate());
    started_ = true;
    return true;
}

void Report::showReport()
{
    QString error;
    if (!reportStart(&error)) {
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(),
                             "The movie list cannot be printed.\n\n" + error);
        if (!isVisible())
            close();
        return;
    }
    preview_->updatePreview();
    show();
    raise();
    activateWindow();
}

bool Report::paintPages(QPagedPaintDevice *device, const QPageLayout &layout, int resolution)
{
    const qreal scale = resolution / TwipsPerInch;
    const QRect paintRect = layout.paintRectPixels(resolution);
    const int height = int(std::floor(paintRect.height() / scale));
    const int width = int(std::floor(paintRect.width() / scale));
    const std::vector<ReportPage> pages = layoutReport(movies_, dateCaption_, height, width);

    QPainter painter;
    if (!painter.begin(device))
        return false;
    painter.setPen(QPen(Qt::black, 15 * scale));

    struct FontUse {
        qreal pointSize;
        bool bold;
        QFont font;
        QFontMetricsF metrics;
    };
    std::vector<FontUse> fonts;
    auto fontFor = [&](qreal pointSize, bool bold) -> const FontUse & {
        for (const FontUse &f : fonts)
            if (f.pointSize == pointSize && f.bold == bold)
                return f;
        QFont font = reportFont(pointSize, bold);
        fonts.push_back({pointSize, bold, font, QFontMetricsF(font, device)});
        return fonts.back();
    };

    bool ok = true;
    for (size_t p = 0; p < pages.size() && ok; ++p) {
        if (p > 0)
            ok = device->newPage();
        for (const ReportItem &item : pages[p]) {
            if (item.kind == ReportItem::Kind::Line) {
                painter.drawLine(QPointF(item.line.p1()) * scale, QPointF(item.line.p2()) * scale);
                continue;
            }
            const FontUse &use = fontFor(item.pointSize, item.bold);
            const QRectF box(QPointF(item.rect.topLeft()) * scale, QSizeF(item.rect.size()) * scale);
            const QString shown = firstLine(item.text, use.font, use.metrics, device, box.width());
            if (shown.isEmpty())
                continue;
            painter.setFont(use.font);
            painter.drawText(box, int(item.alignment | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip), shown);
        }
    }
    return painter.end() && ok;
}

bool Report::printToPdf(const QString &path)
{
    QString error;
    if (!started_ && !reportStart(&error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool ok;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(1200);
        pdf.setPageLayout(printer_->pageLayout());
        pdf.setTitle(windowTitle());
        pdf.setCreator(QStringLiteral("Moviary"));
        ok = paintPages(&pdf, pdf.pageLayout(), pdf.resolution());
    }
    if (!ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void Report::printReport()
{
    QPrintDialog dialog(printer_.get(), this);
    dialog.setWindowTitle(windowTitle());
    if (widgets::execOnTop(dialog) == QDialog::Accepted)
        preview_->print();
}

void Report::saveAsPdf()
{
    QFileDialog dialog(this, "Save as PDF",
                       QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Movies.pdf",
                       "PDF files (*.pdf)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (widgets::execOnTop(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (!printToPdf(path))
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(),
                             QString("The movie list could not be saved to %1.").arg(path));
}

void Report::updatePageLabel()
{
    pageLabel_->setText(QString("Page %1 of %2").arg(preview_->currentPage()).arg(preview_->pageCount()));
}

} // namespace report
