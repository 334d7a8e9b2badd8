// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QDate>
#include <QLine>
#include <QRect>
#include <QString>
#include <vector>

namespace report {

// One thing to draw on a report page. Measures are twips from the top left corner of
// the page's printable area. Text is one line in Arial, cut off where its box ends.
struct ReportItem {
    enum class Kind { Text, Line };
    Kind kind = Kind::Text;
    QString name;
    QString text;
    QRect rect;
    qreal pointSize = 9;
    bool bold = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QLine line;
};

using ReportPage = std::vector<ReportItem>;

// Section heights of the movie list, in twips.
namespace reportsection {
constexpr int ReportTitle = 1050;
constexpr int PageHeader = 195;
constexpr int Detail = 1245;
constexpr int PageFooter = 270;
constexpr int Width = 9360;
} // namespace reportsection

// The record source of the movie list.
extern const char *const ReportQuery;

// "Print Date: " followed by the date in the system's short date format.
QString printDateCaption(const QDate &date);

// Where the pages of the movie list break, found from the section heights alone: the
// report title once at the start, then one detail block per movie; a block that does
// not fit above the page footer starts the next page (a page too small for even one
// block still takes one, so the list ends). Always at least one page.
class ReportPagination {
public:
    ReportPagination() = default;
    ReportPagination(int movieCount, int pageHeight);
    int pageCount() const { return pages_; }
    // The movies of a page: count of them from the first, in report order.
    int firstMovie(int page) const;
    int movieCount(int page) const;

private:
    int movies_ = 0;
    int onFirstPage_ = 0;
    int perPage_ = 1;
    int pages_ = 1;
};

// One page of the movie list on a printable area this wide (twips), holding the
// blocks of the movies given (those the pagination puts on it), in that order. The
// review is never printed.
ReportPage layoutPage(int page, const catalogue::Movie *movies, int count, const QString &printDateCaption,
                      int pageWidth);

// Lays out every page of the movie list, the movies in the given order.
std::vector<ReportPage> layoutReport(const std::vector<catalogue::Movie> &movies, const QString &printDateCaption,
                                     int pageHeight, int pageWidth);

} // namespace report
