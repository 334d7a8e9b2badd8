// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report.h"

#include "report/pageview.h"
#include "report/reportdata.h"
#include "widgets/windows.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>
#include <mutex>
#include <vector>

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

// Text boxes of a page drawn on a painter in device pixels, scale pixels to the twip.
// Where each text is cut off is measured on the metrics device (the printer for a
// preview), so that the screen shows the words the paper gets.
class ItemPainter {
public:
    ItemPainter(QPaintDevice *metricsDevice, qreal metricsScale)
        : metricsDevice_(metricsDevice), metricsScale_(metricsScale)
    {
    }

    void paint(QPainter &painter, const ReportPage &items, qreal scale)
    {
        painter.setPen(QPen(Qt::black, 15 * scale));
        for (const ReportItem &item : items) {
            if (item.kind == ReportItem::Kind::Line) {
                painter.drawLine(QPointF(item.line.p1()) * scale, QPointF(item.line.p2()) * scale);
                continue;
            }
            const FontUse &use = fontFor(item.pointSize, item.bold);
            const QRectF box(QPointF(item.rect.topLeft()) * scale, QSizeF(item.rect.size()) * scale);
            const QString shown =
                firstLine(item.text, use.font, use.metrics, metricsDevice_, item.rect.width() * metricsScale_);
            if (shown.isEmpty())
                continue;
            painter.setFont(use.font);
            painter.drawText(box, int(item.alignment | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip), shown);
        }
    }

private:
    struct FontUse {
        qreal pointSize;
        bool bold;
        QFont font;
        QFontMetricsF metrics;
    };

    const FontUse &fontFor(qreal pointSize, bool bold)
    {
        for (const FontUse &f : fonts_)
            if (f.pointSize == pointSize && f.bold == bold)
                return f;
        QFont font = reportFont(pointSize, bold);
        fonts_.push_back({pointSize, bold, font, QFontMetricsF(font, metricsDevice_)});
        return fonts_.back();
    }

    QPaintDevice *metricsDevice_;
    qreal metricsScale_;
    std::vector<FontUse> fonts_;
};

// The printable area in whole twips, as the pages are laid out.
QSize printableTwips(const QPageLayout &layout, int resolution)
{
    const qreal scale = resolution / TwipsPerInch;
    const QRect paintRect = layout.paintRectPixels(resolution);
    return QSize(int(std::floor(paintRect.width() / scale)), int(std::floor(paintRect.height() / scale)));
}

} // namespace

// One read of the rows, shared by the report and the thread that reads: the thread
// writes the results, then done; the report reads them only once done holds.
struct RowsRead {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    catalogue::ResultSet rows;
    QString error;
    bool ok = false;
};

namespace {

// The threads of reads whose report went before they ended. Each stops at its next row
// (or once its rows are sorted) and ends on its own; the program waits for the last
// ones only as it ends, before anything they use goes.
class LeftReads {
public:
    static LeftReads &instance()
    {
        static LeftReads left;
        return left;
    }
    ~LeftReads() { joinAll(); }

    void leave(std::thread thread, std::shared_ptr<const RowsRead> read)
    {
        std::lock_guard lock(mutex_);
        for (auto it = threads_.begin(); it != threads_.end();) {
            if (it->second->done) {
                it->first.join();
                it = threads_.erase(it);
            } else {
                ++it;
            }
        }
        threads_.emplace_back(std::move(thread), std::move(read));
        if (!joinedAtExit_) {
            qAddPostRoutine([] { instance().joinAll(); });
            joinedAtExit_ = true;
        }
    }

private:
    void joinAll()
    {
        std::vector<std::pair<std::thread, std::shared_ptr<const RowsRead>>> left;
        {
            std::lock_guard lock(mutex_);
            left.swap(threads_);
            joinedAtExit_ = false;
        }
        for (auto &t : left)
            t.first.join();
    }

    std::mutex mutex_;
    std::vector<std::pair<std::thread, std::shared_ptr<const RowsRead>>> threads_;
    bool joinedAtExit_ = false;
};

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
    preview_ = new PageView(this);
    preview_->setAccessibleName(QStringLiteral("Print preview"));
    preview_->setObjectName("prvReport");
    preview_->setPagePainter(
        [this](QPainter &painter, int page, qreal dotsPerInch) { paintShownPage(painter, page, dotsPerInch); });

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
    addAction("actFirstPage", "First Page", QKeySequence(Qt::Key_Home), [this] { preview_->setCurrentPage(1); });
    addAction("actPreviousPage", "Previous Page", QKeySequence(Qt::Key_PageUp),
              [this] { preview_->setCurrentPage(preview_->currentPage() - 1); });
    addAction("actNextPage", "Next Page", QKeySequence(Qt::Key_PageDown),
              [this] { preview_->setCurrentPage(preview_->currentPage() + 1); });
    addAction("actLastPage", "Last Page", QKeySequence(Qt::Key_End),
              [this] { preview_->setCurrentPage(preview_->pageCount()); });
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

    connect(preview_, &PageView::currentPageChanged, this, &Report::updatePageLabel);
    // The read says nothing when it ends: the report looks, while one is under way.
    readPoll_ = new QTimer(this);
    readPoll_->setInterval(10);
    connect(readPoll_, &QTimer::timeout, this, [this] {
        if (reading_ && reading_->done.load(std::memory_order_acquire))
            takeReadRows();
    });
    preview_->setZoomFactor(0.9);
    resize(860, 760);
}

Report::~Report()
{
    abandonRead();
    // The preview paints through this report: it goes first.
    delete preview_;
}

void Report::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    // The rows of a closed report are not wanted: the read ends early, and quietly.
    if (reading_)
        reading_->stop = true;
    if (!ended_) {
        ended_ = true;
        emit terminated();
    }
}

int Report::pageCount() const { return preview_->pageCount(); }

bool Report::reportStart(QString *error)
{
    widgets::WaitCursor wait;
    catalogue::ResultSet rows;
    if (!readReportRows(catalogueFile_, rows, error))
        return false;
    takeRows(std::move(rows));
    return true;
}

void Report::takeRows(catalogue::ResultSet rows)
{
    rows_ = std::move(rows);
    dateCaption_ = printDateCaption(QDate::currentDate());
    started_ = true;
}

void Report::sayCannotPrint(const QString &error)
{
    widgets::showMessage(this, QMessageBox::Warning, windowTitle(), "The movie list cannot be printed.\n\n" + error);
}

void Report::showReport()
{
    if (reading_ && reading_->stop)
        abandonRead();
    if (!reading_) {
        QString error;
        if (!catalogueOpens(catalogueFile_, &error)) {
            // A report that already shows keeps its pages.
            sayCannotPrint(error);
            if (!isVisible())
                close();
            return;
        }
        startReading();
    }
    show();
    raise();
    activateWindow();
}

void Report::startReading()
{
    // The rows shown go first, so that a large catalogue is never held twice.
    rows_ = catalogue::ResultSet();
    started_ = false;
    shownPages_ = ReportPagination();
    preview_->setPageCount(0);

    reading_ = std::make_shared<RowsRead>();
    readThread_ = std::thread([read = reading_, file = catalogueFile_, before = beforeRead_] {
        if (before)
            before(read->stop);
        read->ok = readReportRows(file, read->rows, &read->error, &read->stop);
        read->done.store(true, std::memory_order_release);
    });
    showReading(true);
}

bool Report::takeReadRows()
{
    if (!reading_)
        return started_;
    readThread_.join();
    const std::shared_ptr<RowsRead> read = std::move(reading_);
    showReading(false);
    if (read->stop)
        return false;
    if (!read->ok) {
        sayCannotPrint(read->error);
        close();
        return false;
    }
    takeRows(std::move(read->rows));
    showPages();
    return true;
}

void Report::abandonRead()
{
    if (!reading_)
        return;
    reading_->stop = true;
    if (reading_->done)
        readThread_.join();
    else
        LeftReads::instance().leave(std::move(readThread_), reading_);
    reading_.reset();
    showReading(false);
}

void Report::showReading(bool reading)
{
    printAction_->setEnabled(!reading);
    savePdfAction_->setEnabled(!reading);
    if (reading)
        readPoll_->start();
    else
        readPoll_->stop();
    if (reading)
        preview_->setCursor(Qt::BusyCursor);
    else
        preview_->unsetCursor();
    updatePageLabel();
}

ReportPage Report::pageItems(const ReportPagination &pagination, int page, int pageWidth) const
{
    const int first = pagination.firstMovie(page);
    const int count = std::min(pagination.movieCount(page), rows_.size() - first);
    std::vector<catalogue::Movie> movies;
    movies.reserve(size_t(std::max(0, count)));
    for (int i = 0; i < count; ++i)
        movies.push_back(rows_.movie(first + i));
    return layoutPage(page, movies.data(), int(movies.size()), dateCaption_, pageWidth);
}

bool Report::paintPages(QPagedPaintDevice *device, const QPageLayout &layout, int resolution)
{
    const qreal scale = resolution / TwipsPerInch;
    const QSize twips = printableTwips(layout, resolution);
    const ReportPagination pagination(rows_.size(), twips.height());

    QPainter painter;
    if (!painter.begin(device))
        return false;
    ItemPainter items(device, scale);
    bool ok = true;
    for (int p = 0; p < pagination.pageCount() && ok; ++p) {
        if (p > 0)
            ok = device->newPage();
        items.paint(painter, pageItems(pagination, p, twips.width()), scale);
    }
    return painter.end() && ok;
}

void Report::showPages()
{
    const QPageLayout layout = printer_->pageLayout();
    const QSize twips = printableTwips(layout, printer_->resolution());
    shownPages_ = ReportPagination(rows_.size(), twips.height());
    shownWidth_ = twips.width();
    preview_->setPageGeometry(layout.fullRect(QPageLayout::Inch).size(), layout.paintRect(QPageLayout::Inch));
    preview_->setPageCount(shownPages_.pageCount());
    preview_->repaintPages();
    preview_->setCurrentPage(1);
    updatePageLabel();
}

void Report::paintShownPage(QPainter &painter, int page, qreal dotsPerInch)
{
    if (page < 0 || page >= shownPages_.pageCount())
        return;
    ItemPainter items(printer_.get(), printer_->resolution() / TwipsPerInch);
    items.paint(painter, pageItems(shownPages_, page, shownWidth_), dotsPerInch / TwipsPerInch);
}

bool Report::printToPdf(const QString &path)
{
    QString error;
    if (reading_ ? !takeReadRows() : (!started_ && !reportStart(&error)))
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
    if (widgets::execOnTop(dialog) != QDialog::Accepted)
        return;
    paintPages(printer_.get(), printer_->pageLayout(), printer_->resolution());
    // The dialog may have changed the paper: the preview follows it.
    const int page = preview_->currentPage();
    showPages();
    preview_->setCurrentPage(page);
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
    if (reading_) {
        pageLabel_->setText(QStringLiteral("Reading movies..."));
        return;
    }
    pageLabel_->setText(QString("Page %1 of %2").arg(preview_->currentPage()).arg(preview_->pageCount()));
}

} // namespace report
