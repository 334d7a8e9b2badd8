// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/exporter.h"

#include "catalogue/recordcursor.h"
#include "exchange/collectionxml.h"
#include "exchange/delimited.h"
#include "exchange/zipfile.h"

#include <QDir>
#include <QSaveFile>
#include <cerrno>
#include <numeric>

namespace exchange {

namespace {

QString cannotExport(const QString &path, const QString &why)
{
    return QString("%1 could not be written. %2").arg(QDir::toNativeSeparators(path), why);
}

} // namespace

ExportFormat exportFormatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".tc"), Qt::CaseInsensitive) ? ExportFormat::Tellico : ExportFormat::Csv;
}

bool exportMovies(const catalogue::ResultSet &rows, const std::vector<int> &places, const QString &path,
                  ExportFormat format, QString &error)
{
    const auto movieAt = [&](qsizetype i) {
        MovieBytes m;
        for (int f = 0; f < catalogue::FieldCount; ++f)
            m[size_t(f)] = rows.rawText(places[size_t(i)], catalogue::fieldAt(f)).first;
        return m;
    };
    const qsizetype count = qsizetype(places.size());
    QByteArray bytes;
    QString why;
    if (format == ExportFormat::Csv) {
        if (!writeCsv(count, movieAt, bytes, why)) {
            error = cannotExport(path, why);
            return false;
        }
    } else {
        QByteArray xml;
        if (!writeTellicoXml(count, movieAt, xml, why) || !writeZip("tellico.xml", xml, bytes, why)) {
            error = cannotExport(path, why);
            return false;
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = cannotExport(path, file.errorString() + QLatin1Char('.'));
        return false;
    }
    // The temporary file's own error is lost on the way up ("Unknown error"), and a
    // buffered write cut short still commits: take the error from the system, check
    // the size the file reached, and a short write, which a regular file makes only
    // when out of room, for a full disk.
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && file.flush() && file.size() == bytes.size();
    const int writeError = errno;
    const bool committed = written && (errno = 0, file.commit());
    if (!committed) {
        const int systemError = written ? errno : writeError;
        file.cancelWriting();
        const bool full =
            systemError == ENOSPC || systemError == EFBIG || systemError == EDQUOT || (!written && systemError == 0);
        error = cannotExport(path, full ? QStringLiteral("The disk is full.") : file.errorString() + QLatin1Char('.'));
        return false;
    }
    return true;
}

bool exportCatalogue(const QString &catalogueFile, const QString &path, ExportFormat format, int &count, QString &error)
{
    catalogue::RecordCursor cursor;
    cursor.setDatabaseName(catalogueFile);
    cursor.setRecordSource(QStringLiteral("select * from Movies order by Title"));
    if (!cursor.refresh()) {
        error = cannotExport(path, cursor.lastError().message);
        return false;
    }
    std::vector<int> places(size_t(cursor.result().size()));
    std::iota(places.begin(), places.end(), 0);
    count = int(places.size());
    return exportMovies(cursor.result(), places, path, format, error);
}

} // namespace exchange
