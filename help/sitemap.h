// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace help {

// One entry of a sitemap file (.hhc contents, .hhk index).
struct SitemapEntry {
    QString name;
    QString local; // archive path, possibly with "#fragment"; empty for a heading
    std::vector<SitemapEntry> children;
};

// Reads the entries of a sitemap, leniently: tags in any letter case, attributes with
// or without quotes, lists left open. Nesting deeper than a help file ever needs is
// flattened into the deepest level kept.
std::vector<SitemapEntry> parseSitemap(const QString &html);

// Turns a sitemap or #SYSTEM topic reference ("a.html", "/a.html#x",
// "ms-its:file.chm::/a.html") into an absolute archive path.
QString archivePathOf(const QString &reference);

// Text stored in a help file: UTF-8 from current compilers, an ANSI code page from
// older ones.
QString decodeHelpText(const QByteArray &bytes);

// The reference without its "#fragment".
QString withoutFragment(const QString &reference);

} // namespace help
