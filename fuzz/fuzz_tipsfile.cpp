// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the tips-file reader: any bytes give tips of one line each, within the
// limits, and a plain text file gives exactly its lines.
#include "startup/tipsfile.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace startup;

namespace {

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

bool startsWithByteOrderMark(const QByteArray &b)
{
    return b.startsWith("\xEF\xBB\xBF") || b.startsWith("\xFE\xFF") || b.startsWith("\xFF\xFE") ||
           b.startsWith(QByteArray("\x00\x00\xFE\xFF", 4));
}

// The lines of a text, each cut at the limit: a line ends at CR LF, LF or CR, and an
// end of line at the very end starts no further line.
QStringList expectedLines(const QString &text)
{
    static const QRegularExpression lineEnd("\r\n|\r|\n");
    QStringList lines = text.split(lineEnd);
    if (lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() > MaxTips)
        lines.erase(lines.begin() + MaxTips, lines.end());
    for (QString &line : lines)
        line.truncate(MaxTipLength);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList tips = readTips(bytes);

    if (tips.size() > MaxTips)
        fail("too many tips", QString::number(tips.size()));
    qsizetype characters = 0;
    for (const QString &tip : tips) {
        if (tip.size() > MaxTipLength)
            fail("a tip longer than the limit", QString::number(tip.size()));
        if (tip.contains(u'\n') || tip.contains(u'\r'))
            fail("a tip of more than one line", tip);
        characters += tip.size();
    }
    // Every byte gives at most one character, and each line end separates two tips.
    if (characters + tips.size() > qsizetype(size) + 1)
        fail("more text than bytes", QString::number(characters));

    if (!startsWithByteOrderMark(bytes)) {
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8(bytes);
        if (!utf8.hasError() && tips != expectedLines(text))
            fail("the lines of a UTF-8 file", tips.join(u'|'));
        // Bytes that are not UTF-8 are Windows-1252: one character per byte.
        if (utf8.hasError() && characters > qsizetype(size))
            fail("Windows-1252 text longer than its bytes", QString::number(characters));
    }
    return 0;
}
