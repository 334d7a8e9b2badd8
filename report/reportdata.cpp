// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/reportdata.h"

#include "catalogue/recordcursor.h"
#include "report/reportlayout.h"

namespace report {

bool readReportMovies(const QString &catalogueFile, std::vector<catalogue::Movie> &movies, QString *error)
{
    movies.clear();
    catalogue::RecordCursor dcRptData;
    dcRptData.setDatabaseName(catalogueFile);
    dcRptData.setRecordSource(QString::fromLatin1(ReportQuery));
    const bool ok = dcRptData.refresh();
    if (ok) {
        const catalogue::ResultSet &rows = dcRptData.result();
        movies.reserve(size_t(rows.size()));
        for (int i = 0; i < rows.size(); ++i)
            movies.push_back(rows.movie(i));
    } else if (error) {
        *error = dcRptData.lastError().message;
    }
    dcRptData.closeDatabase();
    return ok;
}

} // namespace report
