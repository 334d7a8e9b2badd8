// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/pageview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace report {

namespace {
constexpr qreal MinZoom = 0.05;
constexpr qreal MaxZoom = 8;
} // namespace

PageView::PageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void PageView::setPageGeometry(const QSizeF &page, const QRectF &printable)
{
    pageInches_ = page;
    printableInches_ = printable;
    refit();
    repaintPages();
}

void PageView::setPagePainter(PagePainter painter)
{
    painter_ = std::move(painter);
    repaintPages();
}

void PageView::setPageCount(int count)
{
    pageCount_ = std::max(0, count);
    updateScrollBars();
    noteCurrentPage();
    viewport()->update();
}

qreal PageView::dotsPerInch() const { return logicalDpiY() * zoom_; }

QSize PageView::pageSize() const
{
    const qreal dpi = dotsPerInch();
    return QSize(std::max(1, qRound(pageInches_.width() * dpi)), std::max(1, qRound(pageInches_.height() * dpi)));
}

void PageView::updateScrollBars()
{
    const QSize page = pageSize();
    const QSize view = viewport()->size();
    const qint64 height = qint64(pageCount_) * pageStep() + Gap;
    verticalScrollBar()->setRange(0, int(std::clamp<qint64>(height - view.height(), 0, INT_MAX)));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(1, page.height() / 20));
    horizontalScrollBar()->setRange(0, std::max(0, page.width() + 2 * Gap - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 20));
}

int PageView::currentPage() const
{
    if (pageCount_ == 0)
        return 0;
    const QScrollBar *bar = verticalScrollBar();
    if (requestedPage_ > 0 && bar->value() == requestedValue_)
        return std::min(requestedPage_, pageCount_);
    // Scrolled to the end, the last page is in view even when others share the view.
    if (bar->value() == bar->maximum() && bar->maximum() > 0)
        return pageCount_;
    // The page under the top of the view, or the next one when that shows more of itself.
    const int y = bar->value();
    const int step = pageStep();
    const int top = std::min(pageCount_ - 1, y / step);
    const int shownOfTop = (top + 1) * step - y;
    const int shownOfNext = std::min(viewport()->height() - shownOfTop, step - Gap);
    const bool next = top + 1 < pageCount_ && shownOfNext > shownOfTop;
    return top + (next ? 2 : 1);
}

void PageView::setCurrentPage(int page)
{
    if (pageCount_ == 0)
        return;
    page = std::clamp(page, 1, pageCount_);
    QScrollBar *bar = verticalScrollBar();
    // Near the end the view cannot put the page at its top: it still counts as shown.
    requestedPage_ = page;
    requestedValue_ = int(std::clamp<qint64>(qint64(page - 1) * pageStep(), bar->minimum(), bar->maximum()));
    bar->setValue(requestedValue_);
    noteCurrentPage();
}

void PageView::setZoomFactor(qreal factor)
{
    fit_ = Fit::None;
    const int page = currentPage();
    zoom_ = std::clamp(factor, MinZoom, MaxZoom);
    updateScrollBars();
    setCurrentPage(page);
    viewport()->update();
}

void PageView::fitToWidth()
{
    fit_ = Fit::Width;
    refit();
}

void PageView::fitInView()
{
    fit_ = Fit::Page;
    refit();
}

void PageView::refit()
{
    if (fit_ == Fit::None) {
        updateScrollBars();
        return;
    }
    const Fit fit = fit_;
    const QSize view = viewport()->size() - QSize(2 * Gap, 2 * Gap);
    const qreal byWidth = view.width() / (pageInches_.width() * logicalDpiY());
    const qreal byHeight = view.height() / (pageInches_.height() * logicalDpiY());
    setZoomFactor(fit == Fit::Width ? byWidth : std::min(byWidth, byHeight));
    fit_ = fit;
}

void PageView::repaintPages() { viewport()->update(); }

void PageView::noteCurrentPage()
{
    const int page = currentPage();
    if (page != shownPage_) {
        shownPage_ = page;
        emit currentPageChanged(page);
    }
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    refit();
    noteCurrentPage();
}

void PageView::scrollContentsBy(int dx, int dy)
{
    QAbstractScrollArea::scrollContentsBy(dx, dy);
    noteCurrentPage();
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    if (pageCount_ == 0)
        return;
    const QSize page = pageSize();
    const int step = pageStep();
    const int x = std::max(Gap, (viewport()->width() - page.width()) / 2) - horizontalScrollBar()->value();
    const int y = verticalScrollBar()->value();
    const QRect dirty = event->rect();
    const int first = std::max(0, (y + dirty.top() - Gap) / step);
    const int last = std::min(pageCount_ - 1, (y + dirty.bottom()) / step);
    // Pages are drawn at the screen's resolution and scaled, so that no zoom costs more
    // memory than the view itself.
    const qreal screenDpi = logicalDpiY();
    for (int p = first; p <= last; ++p) {
        const QRect rect(QPoint(x, Gap + p * step - y), page);
        painter.fillRect(rect.translated(3, 3), palette().shadow());
        painter.fillRect(rect, Qt::white);
        if (painter_) {
            painter.save();
            painter.setClipRect(rect);
            painter.translate(rect.topLeft());
            painter.scale(zoom_, zoom_);
            painter.translate(printableInches_.left() * screenDpi, printableInches_.top() * screenDpi);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter_(painter, p, screenDpi);
            painter.restore();
        }
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

} // namespace report
