// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportlayout.h"

#include <QLocale>
#include <algorithm>

namespace report {

const char *const ReportQuery = "SELECT [Title], [Description], [Category], [Actors], [Review], [Rating], [Year], "
                                "[Time] FROM [Movies] ORDER BY [Movies].[Title]";

QString printDateCaption(const QDate &date)
{
    return "Print Date: " + QLocale::system().toString(date, QLocale::ShortFormat);
}

namespace {

struct Placer {
    ReportPage *page;
    int top;
    int pageWidth;

    void text(const char *name, const QString &text, int left, int y, int width, int height, qreal pt, bool bold,
              Qt::Alignment align = Qt::AlignLeft) const
    {
        const int right = std::min(left + width, pageWidth);
        if (right <= left)
            return;
        ReportItem item;
        item.name = QString::fromLatin1(name);
        item.text = text;
        item.rect = QRect(left, top + y, right - left, height);
        item.pointSize = pt;
        item.bold = bold;
        item.alignment = align;
        page->push_back(std::move(item));
    }

    void line(const char *name, int x1, int y1, int x2, int y2) const
    {
        ReportItem item;
        item.kind = ReportItem::Kind::Line;
        item.name = QString::fromLatin1(name);
        item.line = QLine(std::min(x1, pageWidth), top + y1, std::min(x2, pageWidth), top + y2);
        page->push_back(std::move(item));
    }
};

QString withSuffix(const QString &value, const char *suffix)
{
    return value.isEmpty() ? value : value + QLatin1String(suffix);
}

void placeTitle(const Placer &at, const QString &dateCaption)
{
    at.line("Line1", 0, 40, 9360, 40);
    at.line("Line2", 0, 990, 9360, 990);
    at.text("lblReportTitle", "Movies", 0, 270, 9360, 870, 24, true, Qt::AlignHCenter);
    at.text("Label1", dateCaption, 90, 630, 2160, 180, 8.25, false);
}

void placeDetail(const Placer &at, const catalogue::Movie &m)
{
    using catalogue::Field;
    at.text("txtMovies_Title", m[Field::Title], 0, 0, 8640, 255, 9, true);
    at.text("txtMovies_Description", m[Field::Description], 0, 270, 8640, 255, 9, false);
    at.text("txtMovies_Actors", m[Field::Actors], 0, 540, 8640, 255, 9, false);
    at.text("txtMovies_Category", m[Field::Category], 0, 810, 1200, 255, 9, false);
    at.text("txtMovies_Time", withSuffix(m[Field::Time], "  Minutes"), 1260, 810, 1260, 255, 9, false, Qt::AlignRight);
    at.text("txtMovies_Rating", withSuffix(m[Field::Rating], "  Rated"), 2700, 810, 1260, 255, 9, false);
    at.text("txtMovies_Year", m[Field::Year], 4050, 810, 630, 255, 9, false);
}

} // namespace

std::vector<ReportPage> layoutReport(const std::vector<catalogue::Movie> &movies, const QString &printDateCaption,
                                     int pageHeight, int pageWidth)
{
    using namespace reportsection;
    std::vector<ReportPage> pages(1);
    const int bodyEnd = pageHeight - PageFooter;

    placeTitle({&pages.back(), 0, pageWidth}, printDateCaption);
    int y = ReportTitle + PageHeader;
    for (const catalogue::Movie &m : movies) {
        // A page too small for even one block still takes one, so the report ends.
        if (y + Detail > bodyEnd && y > PageHeader) {
            pages.emplace_back();
            y = PageHeader;
        }
        placeDetail({&pages.back(), y, pageWidth}, m);
        y += Detail;
    }
    return pages;
}

} // namespace report
