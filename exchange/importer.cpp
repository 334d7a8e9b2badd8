// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/importer.h"

#include "catalogue/bulkinsert.h"
#include "catalogue/duplicates.h"
#include "catalogue/recordcursor.h"
#include "exchange/cleanup.h"
#include "exchange/collectionxml.h"
#include "exchange/conversions.h"
#include "exchange/delimited.h"
#include "exchange/peerxml.h"
#include "exchange/zipfile.h"
#include "platform/counted.h"
#include "platform/textdecode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace exchange {

using catalogue::Field;

namespace {

constexpr int ReasonsKept = 5;
// A title named in the summary is cut to this many characters.
constexpr int NameChars = 100;

platform::Failure cannotImport(const QString &path, const platform::Failure &why)
{
    return {why.kind, QString("%1 could not be imported. %2").arg(QDir::toNativeSeparators(path), why.message),
            why.code};
}

bool looksLikeXml(QByteArrayView bytes)
{
    // XML saved as UTF-16 starts with its byte order mark and "<?".
    if (bytes.startsWith(QByteArrayView("\xFF\xFE<\0?\0", 6)) || bytes.startsWith(QByteArrayView("\xFE\xFF\0<\0?", 6)))
        return true;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    // A declaration is optional: the roots of the formats read are known too.
    const QByteArrayView start = bytes.sliced(i);
    for (const char *opening :
         {"<?xml", "<!DOCTYPE", "<tellico", "<collection", "<movieinfo", "<data-crow-objects", "<root>"})
        if (start.startsWith(opening))
            return true;
    return false;
}

platform::Failure readCollection(QByteArrayView xml, bool zipped, ImportSource &source)
{
    // The XML parser would let a lone surrogate through, to be stored as "?".
    const bool le = xml.startsWith("\xFF\xFE"), be = xml.startsWith("\xFE\xFF");
    if ((le || be) && !platform::isValidUtf16(xml.sliced(2), le))
        return {platform::ErrorKind::Unreadable, platform::notUtf16Text()};
    const QString root = rootElementName(xml);
    if (root == QLatin1String("tellico") || root == QLatin1String("bookcase")) {
        source.format = SourceFormat::Tellico;
        source.description = zipped ? QStringLiteral("Tellico collection") : QStringLiteral("Tellico collection (XML)");
        if (platform::Failure why = readTellicoXml(xml, source.table, source.exact))
            return why;
    } else if (root == QLatin1String("collection")) {
        source.format = SourceFormat::Gcstar;
        source.description = QStringLiteral("GCstar movie collection");
        if (platform::Failure why = readGcstarXml(xml, source.table))
            return why;
    } else if (const PeerXmlFormat *peer = peerXmlFormat(root)) {
        source.format = peer->format;
        source.description = QLatin1String(peer->description);
        if (platform::Failure why = peer->read(xml, source.table))
            return why;
    } else {
        // Parse it through once more to tell broken XML from XML of another kind.
        SourceTable ignored;
        bool own = false;
        platform::Failure why = readTellicoXml(xml, ignored, own);
        if (!why || why.kind == platform::ErrorKind::WrongFormat)
            why = {platform::ErrorKind::WrongFormat,
                   QStringLiteral("It is XML, but neither a Tellico nor a GCstar collection, nor a Collectorz, "
                                  "Data Crow or Griffith export.")};
        return why;
    }
    source.mapping.clear();
    for (int f = 0; f < catalogue::FieldCount; ++f)
        source.mapping.push_back(catalogue::fieldAt(f));
    if (source.table.rowCount() == 0)
        return {platform::ErrorKind::Other, QStringLiteral("It holds no movies.")};
    return {};
}

// The fold of a header or a title type: letters and digits only, in lower case.
QString squeezedName(QStringView text)
{
    QString out;
    for (QChar c : text)
        if (c.isLetterOrNumber())
            out += c.toCaseFolded();
    return out;
}

platform::Failure readText(QByteArray bytes, ImportSource &source)
{
    QByteArray utf8;
    platform::TextEncoding encoding;
    int notUtf8Line = 0;
    if (platform::Failure why = platform::decodeText(std::move(bytes), utf8, encoding, &notUtf8Line))
        return why;
    const char delimiter = detectDelimiter(utf8);
    if (platform::Failure why = readDelimited(std::move(utf8), delimiter, source.table))
        return why;
    if (source.table.columns.isEmpty())
        return {platform::ErrorKind::Unreadable, QStringLiteral("It is empty.")};
    const bool named = std::any_of(source.table.columns.begin(), source.table.columns.end(),
                                   [](const QString &c) { return fieldForHeader(c).has_value(); });
    setFirstRowIsHeader(source, named);
    if (source.table.rowCount() == 0)
        return {platform::ErrorKind::Other, QStringLiteral("It has a header but no rows: there is nothing to import.")};
    const char *separated = delimiter == '\t'  ? "tab-separated"
                            : delimiter == ';' ? "semicolon-separated"
                            : delimiter == ',' ? "comma-separated"
                                               : "one column";
    source.format = SourceFormat::DelimitedText;
    source.description = QString("Delimited text (%1, %2)").arg(separated, platform::encodingName(encoding));
    if (encoding == platform::TextEncoding::Windows1252) {
        source.encodingNote =
            QString("Line %1 is not valid UTF-8, so the whole file was read as Windows-1252: check its accented "
                    "letters.")
                .arg(notUtf8Line);
        source.description += QStringLiteral(" - ") + source.encodingNote;
    }
    source.mappingChangeable = true;
    return {};
}

} // namespace

void setFirstRowIsHeader(ImportSource &source, bool header)
{
    SourceTable &t = source.table;
    t.setFirstRowIsHeader(header);
    source.exact = header && isOwnLayout(t.columns);
    source.titleTypeColumn = -1;
    source.mapping = header ? mappingForHeader(t.columns) : Mapping(size_t(t.columns.size()));
    // One value a line is a list of titles, whatever its first line says.
    if (t.columns.size() == 1)
        source.mapping[0] = Field::Title;
    for (int c = 0; header && c < t.columns.size() && source.titleTypeColumn < 0; ++c)
        if (squeezedName(t.columns[c]) == QLatin1String("titletype"))
            source.titleTypeColumn = c;
}

bool isMovieType(QByteArrayView type)
{
    static const QSet<QString> movies{"",      "movie",     "feature", "featurefilm", "tvmovie",
                                      "video", "tvspecial", "short",   "tvshort"};
    return movies.contains(squeezedName(QString::fromUtf8(type)));
}

bool mapsTitle(const Mapping &mapping)
{
    return std::any_of(mapping.begin(), mapping.end(), [](const auto &f) { return f && *f == Field::Title; });
}

platform::Failure readImportBytes(QByteArray bytes, const QString &path, ImportSource &source)
{
    using platform::ErrorKind;
    source = ImportSource();
    source.path = path;
    platform::Failure why;
    if (bytes.isEmpty()) {
        why = {ErrorKind::Unreadable, QStringLiteral("It is empty.")};
    } else if (looksLikeZip(bytes)) {
        QByteArray xml;
        why = readZipMember(bytes, "tellico.xml", MaxInflatedSize, xml);
        if (!why) {
            bytes.clear();
            why = readCollection(xml, true, source);
        } else if (why.kind == ErrorKind::WrongFormat) {
            why.message = QStringLiteral("It is a zip archive, but not a Tellico collection: it holds no tellico.xml.");
        }
    } else if (looksLikeXml(bytes)) {
        why = readCollection(bytes, false, source);
    } else {
        why = readText(std::move(bytes), source);
    }
    if (why) {
        source.table = SourceTable();
        return cannotImport(path, why);
    }
    return {};
}

platform::Failure readImportFile(const QString &path, ImportSource &source)
{
    using platform::ErrorKind;
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return cannotImport(path, {ErrorKind::CantOpen, QStringLiteral("It is not a file.")});
    const platform::Failure tooLarge{ErrorKind::Other, QStringLiteral("It is larger than 1 GiB.")};
    if (file.size() > MaxImportFileSize)
        return cannotImport(path, tooLarge);
    if (!file.open(QIODevice::ReadOnly))
        return cannotImport(path, {ErrorKind::CantOpen, QString("It could not be read: %1.").arg(file.errorString())});
    // The size may grow while it is read: never take in more than the limit.
    QByteArray bytes = file.read(MaxImportFileSize + 1);
    if (bytes.size() > MaxImportFileSize)
        return cannotImport(path, tooLarge);
    if (file.error() != QFileDevice::NoError)
        return cannotImport(path, {ErrorKind::Io, QString("It could not be read: %1.").arg(file.errorString())});
    return readImportBytes(std::move(bytes), path, source);
}

platform::Failure readCatalogueKeys(const QString &catalogueFile, DuplicateIndex &index)
{
    catalogue::RecordCursor cursor;
    cursor.setDatabaseName(catalogueFile);
    cursor.setRecordSource(QStringLiteral("select * from Movies"));
    if (!cursor.refresh())
        return cursor.lastError();
    const catalogue::ResultSet &r = cursor.result();
    for (int i = 0; i < r.size(); ++i)
        index.insert(DuplicateIndex::key(r.text(i, Field::Title), r.text(i, Field::Year)));
    return {};
}

ImportPlan planImport(const ImportSource &source, const Mapping &mapping, const DuplicateIndex &catalogue,
                      bool onlyMovies)
{
    ImportPlan plan;
    plan.encodingNote = source.encodingNote;
    const SourceTable &t = source.table;
    const int columns = int(t.columns.size());
    plan.movies.reserve(size_t(t.rowCount()));
    DuplicateIndex earlier;
    auto skip = [&plan](const QString &reason) {
        ++plan.skippedRows;
        if (plan.skipReasons.size() < ReasonsKept)
            plan.skipReasons << reason;
    };
    for (int row = 0; row < t.rowCount(); ++row) {
        if (isBlankRow(t, row))
            continue;
        if (t.cellCount(row) > columns)
            ++plan.rowsWithExtraFields;
        if (onlyMovies && source.titleTypeColumn >= 0 && !isMovieType(t.cell(row, source.titleTypeColumn).trimmed())) {
            ++plan.notMovies;
            continue;
        }
        PlannedMovie m;
        for (int c = 0; c < columns && c < int(mapping.size()); ++c)
            if (mapping[size_t(c)])
                m.values[size_t(catalogue::index(*mapping[size_t(c)]))] =
                    cleanedValue(*mapping[size_t(c)], t.cell(row, c), source, plan.converted);
        const QByteArrayView title = m.values[0];
        if (title.trimmed().isEmpty()) {
            skip(QString("empty title on line %1").arg(t.lineOf(row)));
            continue;
        }
        if (title.size() > MaxTitleBytes) {
            skip(QString("title longer than 1 MB on line %1").arg(t.lineOf(row)));
            continue;
        }
        const QString titleText = QString::fromUtf8(title);
        const QString year = QString::fromUtf8(m.values[size_t(catalogue::index(Field::Year))]);
        const DuplicateIndex::Key key = DuplicateIndex::key(titleText, year);
        m.duplicate = catalogue.contains(key) || !earlier.insert(key);
        if (m.duplicate) {
            ++plan.duplicates;
            if (plan.duplicateNames.size() < ReasonsKept) {
                const QString name = titleText.trimmed().left(NameChars);
                plan.duplicateNames << (key.year.isEmpty() ? name : QString("%1 (%2)").arg(name, key.year));
            }
        }
        plan.movies.push_back(std::move(m));
    }
    return plan;
}

platform::Failure storeMovies(const QString &catalogueFile, const ImportSource &source, const ImportPlan &plan,
                              const std::vector<qsizetype> &chosen, const std::function<bool(qsizetype)> &progress)
{
    const platform::Failure e = catalogue::appendMovies(
        catalogueFile, qsizetype(chosen.size()),
        [&](qsizetype i) {
            const PlannedMovie &m = plan.movies[size_t(chosen[size_t(i)])];
            catalogue::FieldBytes bytes;
            for (size_t f = 0; f < bytes.size(); ++f)
                bytes[f] = m.values[f];
            return bytes;
        },
        progress);
    if (e)
        return cannotImport(source.path, {e.kind,
                                          e.message + (e.kind == platform::ErrorKind::Cancelled
                                                           ? QString()
                                                           : QStringLiteral(" The catalogue was not changed.")),
                                          e.code});
    return {};
}

std::vector<qsizetype> ImportPlan::toStore(bool skipDuplicates) const
{
    std::vector<qsizetype> out;
    out.reserve(movies.size());
    for (size_t i = 0; i < movies.size(); ++i)
        if (!skipDuplicates || !movies[i].duplicate)
            out.push_back(qsizetype(i));
    return out;
}

QString importSummary(qsizetype imported, int duplicatesSkipped, const ImportPlan &plan)
{
    using platform::counted;
    QString text = counted(imported, "movie", "movies") + QStringLiteral(" imported, ") +
                   counted(duplicatesSkipped, "duplicate", "duplicates") + QStringLiteral(" skipped, ") +
                   counted(plan.skippedRows, "row", "rows") + QStringLiteral(" skipped");
    if (!plan.skipReasons.isEmpty())
        text += QStringLiteral(" (") + plan.skipReasons.join(QStringLiteral("; ")) +
                (plan.skippedRows > plan.skipReasons.size() ? QStringLiteral("; ...)") : QStringLiteral(")"));
    if (plan.notMovies > 0)
        text += QStringLiteral(", ") + counted(plan.notMovies, "title", "titles") +
                QStringLiteral(" left out as not movies (TV series, episodes, games)");
    text += QLatin1Char('.');
    if (duplicatesSkipped > 0 && !plan.duplicateNames.isEmpty()) {
        text += QStringLiteral(" Skipped as duplicates: ") + plan.duplicateNames.join(QStringLiteral(", "));
        if (duplicatesSkipped > plan.duplicateNames.size())
            text += QString(" and %1 more").arg(duplicatesSkipped - plan.duplicateNames.size());
        text += QLatin1Char('.');
    }
    if (plan.rowsWithExtraFields > 0)
        text += QLatin1Char(' ') + counted(plan.rowsWithExtraFields, "row", "rows") +
                QStringLiteral(" had more fields than the header; the extra fields were left out.");
    if (!plan.encodingNote.isEmpty())
        text += QLatin1Char(' ') + plan.encodingNote;
    return text;
}

} // namespace exchange
