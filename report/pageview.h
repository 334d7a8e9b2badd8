// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractScrollArea>
#include <QRectF>
#include <QSizeF>
#include <functional>

namespace report {

// Pages one under the other, as on a print preview, painted only when they come into
// view and never kept: a document of thousands of pages costs no more than the few shown. The owner
// paints a page on request, in the pixels of a device of the given resolution, with
// the origin at the top left corner of the page's printable area.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    using PagePainter = std::function<void(QPainter &painter, int page, qreal dotsPerInch)>;

    explicit PageView(QWidget *parent = nullptr);

    // The page's size and its printable area within it, in inches.
    void setPageGeometry(const QSizeF &page, const QRectF &printable);
    void setPagePainter(PagePainter painter);
    // The number of pages; the page shown stays shown where it still exists.
    void setPageCount(int count);
    int pageCount() const { return pageCount_; }

    // Pages count from 1; the current page is the one that takes most of the view.
    int currentPage() const;
    void setCurrentPage(int page);

    // 1 shows a page at its printed size.
    qreal zoomFactor() const { return zoom_; }
    void setZoomFactor(qreal factor);
    void zoomIn() { setZoomFactor(zoom_ * 1.25); }
    void zoomOut() { setZoomFactor(zoom_ / 1.25); }
    void fitToWidth();
    void fitInView();

    // Forgets the pages painted so far: their content changed.
    void repaintPages();

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class Fit { None, Width, Page };
    qreal dotsPerInch() const;
    QSize pageSize() const;
    int pageStep() const { return pageSize().height() + Gap; }
    void updateScrollBars();
    void refit();
    void noteCurrentPage();

    static constexpr int Gap = 12;
    QSizeF pageInches_{8.5, 11};
    QRectF printableInches_{0, 0, 8.5, 11};
    PagePainter painter_;
    int pageCount_ = 0;
    qreal zoom_ = 1;
    Fit fit_ = Fit::None;
    int shownPage_ = 0;
    int requestedPage_ = 0;
    int requestedValue_ = -1;
};

} // namespace report
