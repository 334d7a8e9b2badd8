// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/chmarchive.h"
#include "help/help.h"
#include "help/helpbrowser.h"
#include "help/helpviewer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using help::HelpViewer;

namespace {

QString builtHelpFile() { return QCoreApplication::applicationDirPath() + "/Moviary.chm"; }

QList<HelpViewer *> openViewers()
{
    QList<HelpViewer *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "HelpViewer" && w->isVisible())
            found << qobject_cast<HelpViewer *>(w);
    }
    return found;
}

HelpViewer *theViewer()
{
    const auto viewers = openViewers();
    return viewers.size() == 1 ? viewers.first() : nullptr;
}

QTextBrowser *shownPage()
{
    HelpViewer *viewer = theViewer();
    return viewer ? viewer->findChild<QTextBrowser *>("helpPage") : nullptr;
}

// Every link target and picture name of the page, as written in its HTML.
void collectReferences(const QTextDocument *doc, QStringList *links, QStringList *images)
{
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                *links << format.anchorHref();
            if (format.isImageFormat())
                *images << format.toImageFormat().name();
        }
    }
}

// Clicks the middle of the first link to href, as a user would.
bool clickLink(QTextBrowser *page, const QString &href)
{
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor() || fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(page->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            page->setTextCursor(cursor);
            page->ensureCursorVisible();
            QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->cursorRect(cursor).center());
            return true;
        }
    }
    return false;
}

quint64 little(const QByteArray &bytes, qsizetype at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

// The LZX reset table of a CHM, found in its bytes: version 2, at least two frames,
// its entries at offset 0x28, frames of 0x8000 bytes.
qsizetype findResetTable(const QByteArray &chm)
{
    for (qsizetype at = 0; at + 0x38 <= chm.size(); ++at) {
        if (little(chm, at, 4) == 2 && little(chm, at + 4, 4) >= 2 && little(chm, at + 12, 4) == 0x28 &&
            little(chm, at + 32, 8) == 0x8000)
            return at;
    }
    return -1;
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

    QWidget caller_;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(builtHelpFile()), qPrintable(builtHelpFile()));
        caller_.setObjectName("frmCaller");
        caller_.setGeometry(100, 100, 400, 300);
        caller_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&caller_));
    }

    void cleanup()
    {
        for (HelpViewer *viewer : openViewers())
            viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(openViewers().isEmpty());
    }

    void opensBuiltHelpFileAtItsDefaultTopic()
    {
        const QRect callerGeometry = caller_.geometry();
        help::showHelp(&caller_, builtHelpFile());

        HelpViewer *viewer = theViewer();
        QVERIFY(viewer);
        QVERIFY(viewer->isWindow());
        QVERIFY(!viewer->parentWidget());
        QVERIFY(!viewer->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(caller_.isVisible());
        QVERIFY(caller_.isEnabled());
        QCOMPARE(caller_.geometry(), callerGeometry);

        QTextBrowser *page = shownPage();
        QVERIFY(page);
        QCOMPARE(page->source().fileName(), QString("welcome.html"));
        QVERIFY(page->toPlainText().contains("Moviary User Guide"));
        QVERIFY(viewer->windowTitle().contains("Moviary Help"));

        // The contents list names the topics of the guide and marks the one shown.
        auto *contents = viewer->findChild<QTreeWidget *>("helpContents");
        QVERIFY(contents);
        QVERIFY(contents->topLevelItemCount() >= 5);
        QVERIFY(contents->currentItem());
        QCOMPARE(contents->currentItem()->text(0), QString("Moviary User Guide"));
        auto *index = viewer->findChild<QListWidget *>("helpIndex");
        QVERIFY(index);
        QVERIFY(index->count() >= 20);
    }

    void followsLinksAndComesBack()
    {
        help::showHelp(&caller_, builtHelpFile());
        QTextBrowser *page = shownPage();
        QVERIFY(page);

        QVERIFY(clickLink(page, "searching.html"));
        QCOMPARE(page->source().fileName(), QString("searching.html"));
        QVERIFY(page->toPlainText().contains("Wildcards"));

        // A link to a place inside another topic.
        QVERIFY(clickLink(page, "views.html#sort"));
        QCOMPARE(page->source().fileName(), QString("views.html"));
        QCOMPARE(page->source().fragment(), QString("sort"));

        QAction *back = theViewer()->findChild<QAction *>("helpBack");
        QVERIFY(back && back->isEnabled());
        back->trigger();
        back->trigger();
        QCOMPARE(page->source().fileName(), QString("welcome.html"));
        QVERIFY(!back->isEnabled());

        // A topic chosen in the contents list.
        auto *contents = theViewer()->findChild<QTreeWidget *>("helpContents");
        const auto found = contents->findItems("Troubleshooting", Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        emit contents->itemClicked(found.first(), 0);
        QCOMPARE(page->source().fileName(), QString("troubleshooting.html"));
        QCOMPARE(contents->currentItem(), found.first());

        // A keyword typed into the index, then Enter.
        auto *filter = theViewer()->findChild<QLineEdit *>("helpIndexFilter");
        QVERIFY(filter);
        QTest::keyClicks(filter, "wild");
        auto *index = theViewer()->findChild<QListWidget *>("helpIndex");
        int shown = 0;
        for (int i = 0; i < index->count(); ++i)
            shown += index->item(i)->isHidden() ? 0 : 1;
        QCOMPARE(shown, 1);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(page->source().fileName(), QString("searching.html"));
        QCOMPARE(page->source().fragment(), QString("patterns"));
    }

    void loadsPicturesAndStyleFromTheHelpFile()
    {
        help::showHelp(&caller_, builtHelpFile());
        QTextBrowser *page = shownPage();
        QVERIFY(clickLink(page, "mainwindow.html"));

        QStringList links, images;
        collectReferences(page->document(), &links, &images);
        QVERIFY(images.contains("images/mainwindow.png"));
        const QVariant picture = page->loadResource(QTextDocument::ImageResource, QUrl("images/mainwindow.png"));
        QCOMPARE(picture.userType(), int(QMetaType::QImage));
        QVERIFY(!picture.value<QImage>().isNull());
        QVERIFY(picture.value<QImage>().width() > 100);

        const QVariant style = page->loadResource(QTextDocument::StyleSheetResource, QUrl("help.css"));
        QVERIFY(style.toString().contains("h1"));

        // Pages never reach outside the help file.
        QVERIFY(page->loadResource(QTextDocument::ImageResource, QUrl("images/none.png")).isNull());
        QVERIFY(page->loadResource(QTextDocument::HtmlResource, QUrl::fromLocalFile(builtHelpFile())).isNull());
    }

    void everyLinkOfEveryTopicLeadsSomewhere()
    {
        help::ChmArchive archive(builtHelpFile());
        QVERIFY(archive.isOpen());
        QCOMPARE(archive.title(), QString("Moviary Help"));
        const auto hhc = archive.read(help::archivePathOf(archive.contentsFile()));
        const auto hhk = archive.read(help::archivePathOf(archive.indexFile()));
        QVERIFY(hhc && hhk);

        QStringList topics;
        std::function<void(const std::vector<help::SitemapEntry> &)> collect =
            [&](const std::vector<help::SitemapEntry> &entries) {
                for (const auto &entry : entries) {
                    if (!entry.local.isEmpty())
                        topics << entry.local;
                    collect(entry.children);
                }
            };
        collect(help::parseSitemap(QString::fromUtf8(*hhc)));
        collect(help::parseSitemap(QString::fromUtf8(*hhk)));
        QVERIFY(topics.size() > 60);

        help::HelpBrowser browser;
        browser.setArchive(&archive);
        int links = 0;
        QSet<QString> checked;
        while (!topics.isEmpty()) {
            const QUrl target = help::HelpBrowser::topicUrl(topics.takeFirst());
            if (checked.contains(target.toString()))
                continue;
            checked.insert(target.toString());
            browser.setSource(target);
            QVERIFY2(!browser.toPlainText().isEmpty(), qPrintable(target.toString()));
            if (target.hasFragment())
                QVERIFY2(browser.document()->toHtml().contains("name=\"" + target.fragment() + "\""),
                         qPrintable(target.toString()));

            QStringList hrefs, images;
            collectReferences(browser.document(), &hrefs, &images);
            for (const QString &image : images) {
                const QVariant loaded = browser.loadResource(QTextDocument::ImageResource, QUrl(image));
                QVERIFY2(!loaded.value<QImage>().isNull(), qPrintable(target.toString() + " " + image));
            }
            for (const QString &href : hrefs) {
                const QUrl next = target.resolved(QUrl(href));
                QVERIFY2(archive.contains(next.path()), qPrintable(target.toString() + " -> " + href));
                topics << next.path() + (next.hasFragment() ? "#" + next.fragment() : QString());
                ++links;
            }
        }
        QVERIFY(checked.size() >= 16);
        QVERIFY(links > 50);
    }

    void everyPageIsInTheContentsAndTheIndex_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("mentions");
        for (const auto &[page, words] :
             {std::pair{"firststart.html", "Welcome to Moviary"}, std::pair{"backups.html", "Restore from Backup"},
              std::pair{"keyboard.html", "Ctrl+B"}, std::pair{"importexport.html", "17 and over, R"},
              std::pair{"lookup.html", "titles and years"}, std::pair{"files.html", "[Lookup]"}})
            QTest::newRow(page) << QString(page) << QString(words);
    }

    void everyPageIsInTheContentsAndTheIndex()
    {
        QFETCH(QString, page);
        QFETCH(QString, mentions);
        help::showHelp(&caller_, builtHelpFile());
        HelpViewer *viewer = theViewer();
        QVERIFY(viewer);
        auto *contents = viewer->findChild<QTreeWidget *>("helpContents");
        QTreeWidgetItem *entry = nullptr;
        for (QTreeWidgetItemIterator it(contents); *it && !entry; ++it)
            if (QUrl((*it)->data(0, Qt::UserRole).toString()).fileName() == page)
                entry = *it;
        QVERIFY2(entry, qPrintable(page));
        emit contents->itemClicked(entry, 0);
        QCOMPARE(shownPage()->source().fileName(), page);
        QVERIFY2(shownPage()->toPlainText().contains(mentions), qPrintable(mentions));

        auto *index = viewer->findChild<QListWidget *>("helpIndex");
        int keywords = 0;
        for (int i = 0; i < index->count(); ++i) {
            emit index->itemClicked(index->item(i));
            keywords += shownPage()->source().fileName() == page ? 1 : 0;
        }
        QVERIFY2(keywords > 0, qPrintable(page));
    }

    void missingOrDamagedFileSaysItCannotOpen()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath("Moviary.chm");
        const QString damaged = dir.filePath("damaged.chm");
        const QString truncated = dir.filePath("truncated.chm");
        {
            QFile f(damaged);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray noise(64 * 1024, Qt::Uninitialized);
            QRandomGenerator generator(20240501);
            generator.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
            f.write(noise);
        }
        const QString badTable = dir.filePath("badtable.chm");
        {
            QFile whole(builtHelpFile());
            QVERIFY(whole.open(QIODevice::ReadOnly));
            QByteArray bytes = whole.readAll();
            QFile f(truncated);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes.left(bytes.size() / 3));

            // The second frame said to start far beyond where the first one ends.
            const qsizetype table = findResetTable(bytes);
            QVERIFY(table >= 0);
            const quint64 secondFrame = little(bytes, table + 0x28, 8) + 0x20000;
            for (int i = 0; i < 8; ++i)
                bytes[table + 0x30 + i] = char(secondFrame >> (8 * i));
            QFile g(badTable);
            QVERIFY(g.open(QIODevice::WriteOnly));
            g.write(bytes);
        }

        const QRect callerGeometry = caller_.geometry();
        for (const QString &path : {missing, damaged, badTable, dir.path()}) {
            help::showHelp(&caller_, path);
            QTextBrowser *page = shownPage();
            QVERIFY2(page, qPrintable(path));
            QVERIFY(page->source().isEmpty());
            const QString text = page->toPlainText();
            QVERIFY2(text.contains("Cannot open the help file"), qPrintable(text));
            QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
            QVERIFY(!theViewer()->isFileOpen());
            QCOMPARE(theViewer()->findChild<QTreeWidget *>("helpContents")->topLevelItemCount(), 0);
        }
        QVERIFY(caller_.isVisible());
        QCOMPARE(caller_.geometry(), callerGeometry);

        // Part of a help file: whatever survives is shown, or the file is refused.
        help::showHelp(&caller_, truncated);
        QTextBrowser *page = shownPage();
        QVERIFY(page);
        QVERIFY(page->toPlainText().contains("Cannot open the help file") || !page->source().isEmpty());

        // The same window shows the good file again, with nothing left of the bad one.
        help::showHelp(&caller_, builtHelpFile());
        QCOMPARE(openViewers().size(), 1);
        page = shownPage();
        QCOMPARE(page->source().fileName(), QString("welcome.html"));
        QVERIFY(page->toPlainText().contains("Moviary User Guide"));
        QVERIFY(!page->toPlainText().contains("Cannot open"));
    }

    void laterCallsReuseTheOneWindow()
    {
        help::showHelp(&caller_, builtHelpFile());
        HelpViewer *first = theViewer();
        QVERIFY(first);
        QTextBrowser *page = shownPage();
        QVERIFY(clickLink(page, "tips.html"));
        QCOMPARE(page->source().fileName(), QString("tips.html"));

        // A second caller, top-most like the program's dialogs.
        QWidget dialog;
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
        dialog.show();
        help::showHelp(&dialog, builtHelpFile());
        QCOMPARE(openViewers().size(), 1);
        QCOMPARE(theViewer(), first);
        QCOMPARE(shownPage()->source().fileName(), QString("welcome.html"));
        QVERIFY(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!first->parentWidget());
        QVERIFY(dialog.isVisible());

        // The way back to the page read before is kept.
        QAction *back = first->findChild<QAction *>("helpBack");
        back->trigger();
        QCOMPARE(shownPage()->source().fileName(), QString("tips.html"));

        help::showHelp(&caller_, builtHelpFile());
        QCOMPARE(theViewer(), first);
        QVERIFY(!first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(first->isVisible());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
