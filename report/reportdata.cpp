// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportdata.h"

#include "catalogue/recordcursor.h"
#include "report/reportlayout.h"

namespace report {

bool catalogueOpens(const QString &catalogueFile, QString *error)
{
    // Without a query, a refresh opens the file, checks its table and reads nothing.
    catalogue::RecordCursor check;
    check.setDatabaseName(catalogueFile);
    const bool ok = check.refresh();
    if (!ok && error)
        *error = check.lastError().message;
    check.closeDatabase();
    return ok;
}

bool readReportRows(const QString &catalogueFile, catalogue::ResultSet &rows, QString *error,
                    const std::atomic<bool> *stop)
{
    rows = catalogue::ResultSet();
    catalogue::RecordCursor dcRptData;
    dcRptData.setStopFlag(stop);
    dcRptData.setDatabaseName(catalogueFile);
    dcRptData.setRecordSource(QString::fromLatin1(ReportQuery));
    const bool ok = dcRptData.refresh();
    if (ok)
        rows = dcRptData.result();
    else if (error)
        *error = dcRptData.lastError().message;
    dcRptData.closeDatabase();
    return ok;
}

bool readReportMovies(const QString &catalogueFile, std::vector<catalogue::Movie> &movies, QString *error)
{
    movies.clear();
    catalogue::ResultSet rows;
    if (!readReportRows(catalogueFile, rows, error))
        return false;
    movies.reserve(size_t(rows.size()));
    for (int i = 0; i < rows.size(); ++i)
        movies.push_back(rows.movie(i));
    return true;
}

} // namespace report
