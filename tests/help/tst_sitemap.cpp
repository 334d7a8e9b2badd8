// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/sitemap.h"

#include <QTest>

using help::parseSitemap;
using help::SitemapEntry;

namespace {

QString object(const QString &name, const QString &local = {})
{
    QString s = "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" + name + "\">";
    if (!local.isEmpty())
        s += "<param name=\"Local\" value=\"" + local + "\">";
    return s + "</object>";
}

int depthOf(const std::vector<SitemapEntry> &entries)
{
    int deepest = 0;
    for (const auto &entry : entries)
        deepest = std::max(deepest, 1 + depthOf(entry.children));
    return deepest;
}

} // namespace

class TestSitemap : public QObject {
    Q_OBJECT

private slots:
    void readsLeniently()
    {
        const auto entries = parseSitemap(
            "<ul><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Tom &amp; Jerry &#233;&#x41;&#0;\">"
            "<param name=\"Local\" value=\"a.html\"></OBJECT>"
            "<UL><li><object type='text/sitemap'><param name=Name value=Inner>"
            "<param name=\"Local\" value=\"ms-its:x.chm::/sub\\b.html#top\"></object></UL>"
            "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Heading\"></object>"
            "<li><object type=\"text/site properties\"><param name=\"Name\" value=\"skipped\"></object>"
            "<li><object type=\"text/sitemap\"></object>");
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0].name, QString::fromUtf8("Tom & Jerry éA"));
        QCOMPARE(entries[0].local, QString("/a.html"));
        QCOMPARE(entries[0].children.size(), size_t(1));
        QCOMPARE(entries[0].children[0].name, QString("Inner"));
        QCOMPARE(entries[0].children[0].local, QString("/sub/b.html#top"));
        QCOMPARE(entries[1].name, QString("Heading"));
        QVERIFY(entries[1].local.isEmpty());
        QVERIFY(parseSitemap("<ul><ul><ul></ul>").empty());
        QVERIFY(parseSitemap("").empty());
    }

    // An index keyword may name several topics: the first is where it leads.
    void indexKeywordLeadsToItsFirstTopic()
    {
        const auto entries = parseSitemap("<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Search\">"
                                          "<param name=\"Name\" value=\"Other\"><param name=\"Local\" value=\"\">"
                                          "<param name=\"Local\" value=\"find.html\">"
                                          "<param name=\"Local\" value=\"more.html\"></object></ul>");
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries[0].name, QString("Search"));
        QCOMPARE(entries[0].local, QString("/find.html"));
    }

    // Lists nested past the limit are read into the deepest level kept, and closing
    // them brings the entries that follow back to the level they belong to.
    void deepNestingIsBoundedAndClosesBack()
    {
        QString html = "<ul>" + object("Top", "top.html");
        for (int i = 0; i < 40; ++i)
            html += "<ul>" + object(QString("Level %1").arg(i + 2), QString("p%1.html").arg(i));
        for (int i = 0; i < 39; ++i)
            html += "</ul>";
        html += object("Under top", "under.html") + "</ul></ul>" + object("Last", "last.html") + "</ul>";
        const auto entries = parseSitemap(html);
        QCOMPARE(depthOf(entries), 32);
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0].children.size(), size_t(2));
        QCOMPARE(entries[0].children[1].name, QString("Under top"));
        QCOMPARE(entries[1].name, QString("Last"));
    }

    void topicReferencesBecomeArchivePaths()
    {
        QCOMPARE(help::archivePathOf(" welcome.html "), QString("/welcome.html"));
        QCOMPARE(help::archivePathOf("/a/b.htm#x"), QString("/a/b.htm#x"));
        QCOMPARE(help::archivePathOf("mk:@MSITStore:Moviary.chm::/images\\pic.png"), QString("/images/pic.png"));
        QCOMPARE(help::withoutFragment("/a.html#top"), QString("/a.html"));
        QCOMPARE(help::withoutFragment("/a.html"), QString("/a.html"));
        QCOMPARE(help::decodeHelpText("Caf\xc3\xa9"), QString::fromUtf8("Café"));
        QCOMPARE(help::decodeHelpText("Caf\xe9"), QString::fromLatin1("Caf\xe9"));
    }
};

QTEST_APPLESS_MAIN(TestSitemap)
#include "tst_sitemap.moc"
