// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the help file's contents and index reader: any bytes give a tree no deeper
// than the limit, whose entries each came from one sitemap object, carry a name or a
// topic, and name their topic by an absolute archive path.
#include "help/sitemap.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using help::SitemapEntry;

namespace {

constexpr int DepthLimit = 32;

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

// Checks every entry and answers how many there are.
qsizetype check(const std::vector<SitemapEntry> &entries, int depth)
{
    if (!entries.empty() && depth > DepthLimit)
        fail("a tree deeper than the limit", QString::number(depth));
    qsizetype count = 0;
    for (const SitemapEntry &entry : entries) {
        if (entry.name.isEmpty() && entry.local.isEmpty())
            fail("an entry with neither name nor topic", QString());
        if (!entry.local.isEmpty() && (!entry.local.startsWith(u'/') || entry.local.contains(u'\\')))
            fail("a topic that is not an archive path", entry.local);
        count += 1 + check(entry.children, depth + 1);
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = help::decodeHelpText(bytes);
    const std::vector<SitemapEntry> entries = help::parseSitemap(text);

    const qsizetype count = check(entries, 1);
    // Each entry is made by one closing object tag.
    static const QRegularExpression closingObject(QStringLiteral("<\\s*/\\s*object\\b[^>]*>"),
                                                  QRegularExpression::CaseInsensitiveOption);
    qsizetype closings = 0;
    for (auto it = closingObject.globalMatch(text); it.hasNext(); it.next())
        ++closings;
    if (count > closings)
        fail("more entries than objects", QString::number(count));
    // The same text read twice gives the same tree.
    if (check(help::parseSitemap(text), 1) != count)
        fail("a second reading differs", QString::number(count));
    return 0;
}
