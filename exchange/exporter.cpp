// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/exporter.h"

#include "catalogue/recordcursor.h"
#include "exchange/collectionxml.h"
#include "exchange/delimited.h"
#include "exchange/zipfile.h"

#include <QDir>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <numeric>

namespace exchange {

namespace {

platform::Failure cannotExport(const QString &path, const platform::Failure &why)
{
    return {why.kind, QString("%1 could not be written. %2").arg(QDir::toNativeSeparators(path), why.message),
            why.code};
}

} // namespace

ExportFormat exportFormatFor(const QString &path)
{
    return path.endsWith(QLatin1String(".tc"), Qt::CaseInsensitive) ? ExportFormat::Tellico : ExportFormat::Csv;
}

platform::Failure exportMovies(const catalogue::ResultSet &rows, const std::vector<int> &places, const QString &path,
                               ExportFormat format)
{
    const auto movieAt = [&](qsizetype i) {
        MovieBytes m;
        for (int f = 0; f < catalogue::FieldCount; ++f)
            m[size_t(f)] = rows.rawText(places[size_t(i)], catalogue::fieldAt(f)).first;
        return m;
    };
    const qsizetype count = qsizetype(places.size());
    QByteArray bytes;
    if (format == ExportFormat::Csv) {
        if (platform::Failure why = writeCsv(count, movieAt, bytes))
            return cannotExport(path, why);
    } else {
        QByteArray xml;
        platform::Failure why = writeTellicoXml(count, movieAt, xml);
        if (!why)
            why = writeZip("tellico.xml", xml, bytes);
        if (why)
            return cannotExport(path, why);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return cannotExport(path, {platform::ErrorKind::CantOpen, file.errorString() + QLatin1Char('.')});
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
        if (full)
            return cannotExport(path, {platform::ErrorKind::DiskFull, QStringLiteral("The disk is full.")});
        // The system's own words, where the file's are only "Unknown error".
        const QString why = systemError ? QString::fromLocal8Bit(std::strerror(systemError)) : file.errorString();
        return cannotExport(path, {platform::ErrorKind::Io, why + QLatin1Char('.')});
    }
    return {};
}

platform::Failure exportCatalogue(const QString &catalogueFile, const QString &path, ExportFormat format, int &count)
{
    catalogue::RecordCursor cursor;
    cursor.setDatabaseName(catalogueFile);
    cursor.setRecordSource(QStringLiteral("select * from Movies order by Title"));
    if (!cursor.refresh())
        return cannotExport(path, cursor.lastError());
    std::vector<int> places(size_t(cursor.result().size()));
    std::iota(places.begin(), places.end(), 0);
    count = int(places.size());
    return exportMovies(cursor.result(), places, path, format);
}

} // namespace exchange
