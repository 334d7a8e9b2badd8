// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/cleanup.h"

#include "exchange/collectionxml.h"
#include "exchange/conversions.h"
#include "exchange/markup.h"

namespace exchange {

using catalogue::Field;

namespace {

// The length of the blank that starts at i, or 0.
qsizetype blankAt(QByteArrayView s, qsizetype i)
{
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f')
        return 1;
    if (c == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xA0')
        return 2;
    if (c == '\xE2' && i + 2 < s.size() && s[i + 1] == '\x80' && (s[i + 2] == '\xAF' || s[i + 2] == '\x87'))
        return 3;
    return 0;
}

// The length of the blank that ends just before end, or 0.
qsizetype blankBefore(QByteArrayView s, qsizetype end)
{
    if (blankAt(s, end - 1) == 1)
        return 1;
    if (end >= 2 && blankAt(s, end - 2) == 2)
        return 2;
    if (end >= 3 && blankAt(s, end - 3) == 3)
        return 3;
    return 0;
}

QByteArrayView stored(QByteArray utf8, QByteArrayView cell, std::vector<QByteArray> &store)
{
    if (utf8 == cell)
        return cell;
    // Moving a QByteArray keeps its bytes where they are, so views into it stay valid.
    store.push_back(std::move(utf8));
    return store.back();
}

bool holdsListSeparator(QByteArrayView cell)
{
    for (char c : cell)
        if (c == ',' || c == ';' || c == '|')
            return true;
    return false;
}

} // namespace

QByteArrayView withoutBlanks(QByteArrayView utf8)
{
    qsizetype from = 0, to = utf8.size();
    for (qsizetype n; from < to && (n = blankAt(utf8, from)) > 0;)
        from += n;
    for (qsizetype n; to > from && (n = blankBefore(utf8.first(to), to)) > 0;)
        to -= n;
    return utf8.sliced(from, to - from);
}

bool isBlankRow(const SourceTable &table, int row)
{
    for (int c = 0; c < table.cellCount(row); ++c)
        if (!withoutBlanks(table.cell(row, c)).isEmpty())
            return false;
    return true;
}

QByteArrayView cleanedValue(Field field, QByteArrayView cell, const ImportSource &source,
                            std::vector<QByteArray> &store)
{
    const bool genres = field == Field::Category && cell.contains(GenreSeparator);
    if (cell.isEmpty() || (source.exact && !genres))
        return cell;
    if (!source.exact)
        cell = withoutBlanks(cell);
    if (cell.isEmpty())
        return cell;
    switch (field) {
    case Field::Year:
        return stored(yearFrom(QString::fromUtf8(cell)).toUtf8(), cell, store);
    case Field::Time:
        return stored(minutesFrom(QString::fromUtf8(cell)).toUtf8(), cell, store);
    case Field::Rating: {
        const QString text = QString::fromUtf8(cell);
        return stored(
            (source.format == SourceFormat::Gcstar ? certificationFromAge(text) : certificationFrom(text)).toUtf8(),
            cell, store);
    }
    case Field::Category: {
        QStringList split;
        const QString text = QString::fromUtf8(cell);
        if (source.format == SourceFormat::DelimitedText)
            split = splitGenres(text);
        else
            for (const QString &genre : text.split(QChar(GenreSeparator)))
                split << splitGenres(genre);
        return stored(categoryFrom(split).toUtf8(), cell, store);
    }
    case Field::Actors:
        if (!holdsListSeparator(cell))
            return cell;
        return stored(joinedNames(QString::fromUtf8(cell)).toUtf8(), cell, store);
    case Field::Description:
    case Field::Review:
        if (!cell.contains('<') && !cell.contains('&'))
            return cell;
        if (!holdsMarkup(cell))
            return cell;
        return stored(withoutBlanks(textFromMarkup(cell)).toByteArray(), cell, store);
    default:
        return cell;
    }
}

} // namespace exchange
