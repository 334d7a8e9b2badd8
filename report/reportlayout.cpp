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

ReportPagination::ReportPagination(int movieCount, int pageHeight) : movies_(std::max(0, movieCount))
{
    using namespace reportsection;
    const int bodyEnd = pageHeight - PageFooter;
    const int firstRoom = bodyEnd - ReportTitle - PageHeader;
    onFirstPage_ = std::min(movies_, firstRoom < 0 ? 0 : firstRoom / Detail);
    const int room = bodyEnd - PageHeader;
    perPage_ = std::max(1, room < 0 ? 0 : room / Detail);
    const int rest = movies_ - onFirstPage_;
    pages_ = 1 + (rest + perPage_ - 1) / perPage_;
}

int ReportPagination::firstMovie(int page) const
{
    if (page <= 0)
        return 0;
    return std::min(movies_, int(onFirstPage_ + qint64(page - 1) * perPage_));
}

int ReportPagination::movieCount(int page) const
{
    if (page < 0 || page >= pages_)
        return 0;
    if (page == 0)
        return onFirstPage_;
    return std::min(perPage_, movies_ - firstMovie(page));
}

ReportPage layoutPage(int page, const catalogue::Movie *movies, int count, const QString &printDateCaption,
                      int pageWidth)
{
    using namespace reportsection;
    ReportPage items;
    items.reserve(size_t(count) * 7 + 4);
    int y = PageHeader;
    if (page == 0) {
        placeTitle({&items, 0, pageWidth}, printDateCaption);
        y += ReportTitle;
    }
    for (int i = 0; i < count; ++i, y += Detail)
        placeDetail({&items, y, pageWidth}, movies[i]);
    return items;
}

std::vector<ReportPage> layoutReport(const std::vector<catalogue::Movie> &movies, const QString &printDateCaption,
                                     int pageHeight, int pageWidth)
{
    const ReportPagination pagination(int(movies.size()), pageHeight);
    std::vector<ReportPage> pages;
    pages.reserve(size_t(pagination.pageCount()));
    for (int p = 0; p < pagination.pageCount(); ++p)
        pages.push_back(layoutPage(p, movies.data() + pagination.firstMovie(p), pagination.movieCount(p),
                                   printDateCaption, pageWidth));
    return pages;
}

} // namespace report
