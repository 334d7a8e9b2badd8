// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/delimited.h"

#include "catalogue/movie.h"
#include "exchange/cleanup.h"
#include "exchange/conversions.h"
#include "platform/textdecode.h"


namespace exchange {

char detectDelimiter(QByteArrayView utf8)
{
    constexpr char candidates[] = {'\t', ';', ','};
    constexpr int SampleRecords = 200;
    // Per candidate: its count in the first record, and the records it occurs in.
    int first[3] = {}, recordsWith[3] = {}, inRecord[3] = {};
    int records = 0;
    bool quoted = false, blank = true;
    // The first names of the first record, for a header of field names.
    QList<QByteArray> names[3];
    QByteArray current[3];
    auto endRecord = [&] {
        if (blank)
            return;
        for (int k = 0; k < 3; ++k) {
            recordsWith[k] += inRecord[k] > 0;
            if (records == 0) {
                first[k] = inRecord[k];
                names[k] << current[k];
            }
            inRecord[k] = 0;
        }
        ++records;
        blank = true;
    };
    for (qsizetype i = 0; i < utf8.size() && records < SampleRecords; ++i) {
        const char c = utf8[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            endRecord();
            continue;
        } else if (!quoted) {
            for (int k = 0; k < 3; ++k) {
                if (c != candidates[k])
                    continue;
                ++inRecord[k];
                // Past the limit of columns the header is refused anyway: keep no more names.
                if (records == 0 && names[k].size() <= MaxColumns)
                    names[k] << std::exchange(current[k], {});
            }
        }
        blank = false;
        if (records == 0)
            for (int k = 0; k < 3; ++k)
                if (c != candidates[k] && c != '"' && names[k].size() <= MaxColumns)
                    current[k] += c;
    }
    endRecord();

    // A first record that splits into names of fields is a header, and settles it.
    int best = -1, bestNamed = 0;
    for (int k = 0; k < 3; ++k) {
        if (first[k] == 0)
            continue;
        int named = 0;
        for (const QByteArray &name : names[k])
            named += fieldForHeader(QString::fromUtf8(name)).has_value();
        if (named > bestNamed || (named == bestNamed && named > 0 && first[k] > first[best])) {
            best = k;
            bestNamed = named;
        }
    }
    if (best >= 0)
        return candidates[best];
    // Otherwise a delimiter occurs in the first record and in nearly every record: one
    // in only some records (a comma in some titles of a list) is part of the text.
    for (int k = 0; k < 3; ++k) {
        if (first[k] == 0 || recordsWith[k] * 10 < records * 9)
            continue;
        if (best < 0 || first[k] > first[best])
            best = k;
    }
    return best >= 0 ? candidates[best] : '\0';
}

namespace {

bool onlySeparators(QByteArrayView cell)
{
    const QByteArrayView rest = withoutBlanks(cell);
    for (char c : rest)
        if (c != ',' && c != ';' && c != '\t' && c != ' ')
            return false;
    return true;
}

} // namespace

platform::Failure readDelimited(QByteArray utf8, char delimiter, SourceTable &table)
{
    QByteArray &data = table.buffer();
    data = std::move(utf8);
    char *d = data.data();
    const qsizetype n = data.size();
    // Rough guess of the size, to fill the table without moving it: lines that hold more
    // than blanks and separators, so that a file of blank lines costs no more than its text.
    qsizetype lines = 1;
    bool content = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = d[i];
        if (c == '\n' || c == '\r') {
            lines += content;
            content = false;
        } else if (!content) {
            switch (c) {
            case ' ':
            case '\t':
            case ',':
            case ';':
            case '|':
            case '\xC2':
            case '\xA0':
                break;
            default:
                content = true;
            }
        }
    }
    lines = std::min(lines, n / 8 + 1);
    table.reserveRows(lines, std::min(lines * 9, n / 2 + 1));

    qsizetype r = 0, w = 0;
    int line = 1;
    while (r < n) {
        const int rowLine = line;
        // A blank line holds no record.
        if (d[r] == '\n' || d[r] == '\r') {
            r += (d[r] == '\r' && r + 1 < n && d[r + 1] == '\n') ? 2 : 1;
            ++line;
            continue;
        }
        const qsizetype rowStart = w;
        table.beginRow(rowLine);
        const bool header = table.rowCount() == 1;
        int fields = 0;
        for (;;) {
            const qsizetype start = w;
            if (r < n && d[r] == '"') {
                const int openedAt = line;
                ++r;
                for (;;) {
                    if (r >= n)
                        return {platform::ErrorKind::Unreadable,
                                QString("A quote opened on line %1 is never closed.").arg(openedAt)};
                    const char c = d[r];
                    if (c == '"') {
                        if (r + 1 < n && d[r + 1] == '"') {
                            d[w++] = '"';
                            r += 2;
                            continue;
                        }
                        ++r;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && !(r + 1 < n && d[r + 1] == '\n')))
                        ++line;
                    d[w++] = c;
                    ++r;
                }
            }
            // Unquoted text, or text after a closing quote, runs to the next delimiter.
            while (r < n && d[r] != delimiter && d[r] != '\n' && d[r] != '\r')
                d[w++] = d[r++];
            // Fields past the limit are not kept: one more than it still marks the row as too long.
            if (++fields <= MaxColumns + 1)
                table.addCell(start, w - start);
            else
                w = start;
            if (header && fields > MaxColumns)
                return {platform::ErrorKind::Unreadable,
                        QString("Its header has more than %1 columns.").arg(MaxColumns)};
            if (r < n && d[r] == delimiter) {
                ++r;
                continue;
            }
            if (r < n) {
                r += (d[r] == '\r' && r + 1 < n && d[r + 1] == '\n') ? 2 : 1;
                ++line;
            }
            break;
        }
        // A row of nothing but blanks and delimiters is a blank line too; in a list of one
        // column, so is a row of nothing but the separators a spreadsheet leaves.
        if (isBlankRow(table, table.rowCount() - 1) ||
            (delimiter == '\0' && onlySeparators(table.cell(table.rowCount() - 1, 0)))) {
            table.dropLastRow();
            w = rowStart;
        }
    }
    data.truncate(w);
    table.takeHeaderFromFirstRow();
    return {};
}

namespace {

bool needsQuotes(QByteArrayView v)
{
    if (v.isEmpty())
        return false;
    if (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t')
        return true;
    for (char c : v)
        if (c == ',' || c == '"' || c == '\n' || c == '\r' || c == ';' || c == '\t')
            return true;
    return false;
}

void appendField(QByteArray &out, QByteArrayView v)
{
    if (!needsQuotes(v)) {
        out.append(v);
        return;
    }
    out.append('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == '"') {
            out.append(v.sliced(from, i - from + 1));
            out.append('"');
            from = i + 1;
        }
    }
    out.append(v.sliced(from));
    out.append('"');
}

} // namespace

platform::Failure writeCsv(qsizetype count, const std::function<MovieBytes(qsizetype)> &movieAt, QByteArray &out)
{
    out.clear();
    out.append("\xEF\xBB\xBF");
    out.append(catalogue::fieldNames().join(',').toUtf8());
    out.append("\r\n");
    for (qsizetype i = 0; i < count; ++i) {
        const MovieBytes m = movieAt(i);
        // A NUL makes the file binary to the reader, one invalid byte makes it read the
        // whole file as Windows-1252: neither would come back as it was.
        for (const QByteArrayView &v : m) {
            if (v.contains('\0') || !platform::isValidUtf8(v)) {
                out.clear();
                return {platform::ErrorKind::Other,
                        QString("The movie \"%1\" holds bytes that are not text (a NUL or invalid UTF-8), which a "
                                "CSV file cannot carry so that they read back the same.")
                            .arg(QString::fromUtf8(m[0].first(std::min<qsizetype>(m[0].size(), 80))))};
            }
        }
        for (int f = 0; f < 8; ++f) {
            if (f)
                out.append(',');
            appendField(out, m[size_t(f)]);
        }
        out.append("\r\n");
    }
    return {};
}

} // namespace exchange
