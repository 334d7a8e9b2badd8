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

// Lays out the movie list: the report title once at the start, then one detail block
// per movie in the given order, on pages of the given printable size (twips). A block
// that does not fit above the page footer starts the next page. The review is never
// printed. Always at least one page.
std::vector<ReportPage> layoutReport(const std::vector<catalogue::Movie> &movies, const QString &printDateCaption,
                                     int pageHeight, int pageWidth);

} // namespace report
