// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/delimited.h"

#include "catalogue/movie.h"
#include "platform/textdecode.h"

namespace exchange {

char detectDelimiter(QByteArrayView utf8)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (char c : utf8) {
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\n' || c == '\r')
            break;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
        else if (c == '\t')
            ++tabs;
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas)
        return '\t';
    if (semicolons > commas)
        return ';';
    return ',';
}

bool readDelimited(QByteArray utf8, char delimiter, SourceTable &table, QString &error)
{
    QByteArray &data = table.buffer();
    data = std::move(utf8);
    char *d = data.data();
    const qsizetype n = data.size();
    // Rough guess of the size, to fill the table without moving it: lines that are not
    // blank, so that a file of line ends costs no more than its text.
    qsizetype lines = 1;
    for (qsizetype i = 0; i + 1 < n; ++i)
        lines += (d[i] == '\n' || d[i] == '\r') && d[i + 1] != '\n' && d[i + 1] != '\r';
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
        table.beginRow(rowLine);
        const bool header = table.rowCount() == 1;
        int fields = 0;
        for (;;) {
            const qsizetype start = w;
            if (r < n && d[r] == '"') {
                const int openedAt = line;
                ++r;
                for (;;) {
                    if (r >= n) {
                        error = QString("A quote opened on line %1 is never closed.").arg(openedAt);
                        return false;
                    }
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
            if (header && fields > MaxColumns) {
                error = QString("Its header has more than %1 columns.").arg(MaxColumns);
                return false;
            }
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
    }
    data.truncate(w);
    table.takeHeaderFromFirstRow();
    return true;
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

bool writeCsv(qsizetype count, const std::function<MovieBytes(qsizetype)> &movieAt, QByteArray &out, QString &error)
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
                error = QString("The movie \"%1\" holds bytes that are not text (a NUL or invalid UTF-8), which a "
                                "CSV file cannot carry so that they read back the same.")
                            .arg(QString::fromUtf8(m[0].first(std::min<qsizetype>(m[0].size(), 80))));
                out.clear();
                return false;
            }
        }
        for (int f = 0; f < 8; ++f) {
            if (f)
                out.append(',');
            appendField(out, m[size_t(f)]);
        }
        out.append("\r\n");
    }
    return true;
}

} // namespace exchange
