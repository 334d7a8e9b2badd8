// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/schema.h"
#include "report/report.h"
#include "report/reportdata.h"
#include "report/reportlayout.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"

#include <QAbstractScrollArea>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <thread>

using catalogue::Movie;
using report::ReportItem;
using report::ReportPage;
using testsupport::TestFolder;
namespace section = report::reportsection;

namespace {

// Printable area of a letter page with half-inch margins at top and bottom.
constexpr int PageHeight = 14400;
constexpr int PageWidth = 9720;

Movie film(const QString &title, const QString &time = "120", const QString &rating = "PG",
           const QString &review = "Review of it")
{
    return catalogue::makeMovie(title, "About " + title, "Drama", "Cast of " + title, review, rating, "1999", time);
}

std::vector<Movie> readMovies(const TestFolder &folder)
{
    std::vector<Movie> movies;
    QString error;
    if (!report::readReportMovies(folder.catalogue(), movies, &error))
        qWarning("%s", qPrintable(error));
    return movies;
}

QStringList texts(const std::vector<ReportPage> &pages, const QString &name)
{
    QStringList out;
    for (const ReportPage &page : pages)
        for (const ReportItem &item : page)
            if (item.name == name)
                out << item.text;
    return out;
}

int detailCount(const ReportPage &page)
{
    return int(
        std::count_if(page.begin(), page.end(), [](const ReportItem &i) { return i.name == "txtMovies_Title"; }));
}

// Descriptors of the program's own process that point at the file.
int openDescriptorsOn(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    const QDir fds("/proc/self/fd");
    for (const QFileInfo &fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == target)
            ++n;
    return n;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("pdftotext"), {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Every word of a PDF with its place, one page to a list: "x y word", in points.
QList<QStringList> pdfWords(const QString &pdf)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("pdftotext"), {"-bbox", pdf, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression tag("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>");
    QList<QStringList> pages;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith("<page"))
            pages.append(QStringList());
        else if (!pages.isEmpty())
            pages.last() << QString("%1 %2 %3")
                                .arg(m.captured(1).toDouble(), 0, 'f', 2)
                                .arg(m.captured(2).toDouble(), 0, 'f', 2)
                                .arg(m.captured(3));
    }
    return pages;
}

// A few hundred movies with every kind of field the layout treats apart: long texts
// cut off, line breaks, empty and blank values, right-aligned times of every width.
std::vector<Movie> mixedMovies()
{
    std::vector<Movie> movies;
    const QStringList words{"amber", "raven", "glass", "winter", "harbor", "storm", "silver", "quiet"};
    for (int i = 0; i < 320; ++i) {
        const QString w = words[i % words.size()];
        QString title = QString("Title %1 %2").arg(i, 3, 10, QChar('0')).arg(w);
        if (i % 17 == 0)
            title += QString(" and the very long %1 of it").arg(w).repeated(4);
        QString description = QString("A %1 story number %2").arg(w).arg(i);
        if (i % 7 == 0)
            description = QString("%1 over %2 ").arg(w, words[(i + 3) % words.size()]).repeated(30);
        if (i % 11 == 0)
            description = "First line\nsecond line " + w;
        const QString actors = i % 13 == 0 ? QString() : QString("Actor %1, Actress %2").arg(i).arg(w);
        const QString time = i % 5 == 0 ? QString() : QString::number(i % 3 == 0 ? 7 : 60 + i * 7);
        const QString rating = i % 9 == 0 ? QString(" ") : QStringList{"G", "PG", "PG-13", "R"}[i % 4];
        movies.push_back(catalogue::makeMovie(title, description, i % 6 == 0 ? "Science Fiction" : "Drama", actors,
                                              "never printed", rating, QString::number(1950 + i % 70), time));
    }
    return movies;
}

// Holds a report's read of the rows until released, or until the report asks the read
// to stop, so that a test sees the window while the rows are not in.
class ReadHold {
public:
    report::Report::BeforeRead hook() const
    {
        return [s = state_](const std::atomic<bool> &stop) {
            ++s->reads;
            while (!s->released && !stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            s->stopped = stop.load();
        };
    }
    void release() { state_->released = true; }
    int reads() const { return state_->reads; }
    bool stopped() const { return state_->stopped; }

private:
    struct State {
        std::atomic<bool> released{false}, stopped{false};
        std::atomic<int> reads{0};
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::useTestSettings(); }

    void listsEveryMovieByTitleIgnoringCase()
    {
        TestFolder folder;
        folder.makeCatalogue(
            {film("delta"), film("Alpha"), film("Schindler's List"), film("charlie"), film("bravo"), film("ALPHA")});
        const std::vector<Movie> movies = readMovies(folder);
        QCOMPARE(openDescriptorsOn(folder.catalogue()), 0);

        const auto pages = report::layoutReport(movies, "Print Date: x", PageHeight, PageWidth);
        QCOMPARE(pages.size(), size_t(1));
        // Equal titles keep table order.
        QCOMPARE(texts(pages, "txtMovies_Title"),
                 QStringList({"Alpha", "ALPHA", "bravo", "charlie", "delta", "Schindler's List"}));
        QCOMPARE(texts(pages, "txtMovies_Description").first(), QString("About Alpha"));
        QCOMPARE(texts(pages, "txtMovies_Actors").last(), QString("Cast of Schindler's List"));

        // Blocks follow each other under the report title without overlapping.
        QList<int> tops;
        for (const ReportItem &i : pages[0])
            if (i.name == "txtMovies_Title")
                tops << i.rect.top();
        QCOMPARE(tops.first(), section::ReportTitle + section::PageHeader);
        for (int k = 1; k < tops.size(); ++k)
            QCOMPARE(tops[k] - tops[k - 1], section::Detail);
    }

    void suffixesOnlyAfterValuesAndNoReview()
    {
        TestFolder folder;
        Movie nulls = film("Nulls", "", "", "Kept to myself");
        nulls.isNull[catalogue::index(catalogue::Field::Time)] = true;
        nulls.isNull[catalogue::index(catalogue::Field::Rating)] = true;
        folder.makeCatalogue({film("Full", "120", "PG-13", "A private thought"), film("Empty", "", "", "Hidden words"),
                              film("Blanks", " ", "  ", "Secret opinion"), nulls});
        const auto pages = report::layoutReport(readMovies(folder), "d", PageHeight, PageWidth);

        QCOMPARE(texts(pages, "txtMovies_Title"), QStringList({"Blanks", "Empty", "Full", "Nulls"}));
        QCOMPARE(texts(pages, "txtMovies_Time"), QStringList({"   Minutes", "", "120  Minutes", ""}));
        QCOMPARE(texts(pages, "txtMovies_Rating"), QStringList({"    Rated", "", "PG-13  Rated", ""}));
        QCOMPARE(texts(pages, "txtMovies_Year"), QStringList({"1999", "1999", "1999", "1999"}));

        for (const ReportPage &page : pages)
            for (const ReportItem &item : page)
                for (const char *review : {"private thought", "Hidden words", "Secret opinion", "Kept to myself"})
                    QVERIFY2(!item.text.contains(review), qPrintable(item.name));
        for (const ReportItem &item : pages[0])
            if (item.name == "txtMovies_Time")
                QCOMPARE(item.alignment, Qt::Alignment(Qt::AlignRight));
    }

    void emptyCatalogueGivesTheHeaderAlone()
    {
        TestFolder folder;
        folder.makeCatalogue({});
        const auto pages = report::layoutReport(readMovies(folder), "Print Date: 1/2/03", PageHeight, PageWidth);
        QCOMPARE(pages.size(), size_t(1));
        QStringList names;
        for (const ReportItem &item : pages[0])
            names << item.name;
        names.sort();
        QCOMPARE(names, QStringList({"Label1", "Line1", "Line2", "lblReportTitle"}));
        QCOMPARE(texts(pages, "lblReportTitle"), QStringList("Movies"));
        QCOMPARE(texts(pages, "Label1"), QStringList("Print Date: 1/2/03"));
    }

    void pagesBreakBeforeABlockThatDoesNotFit()
    {
        std::vector<Movie> movies;
        for (int i = 0; i < 40; ++i)
            movies.push_back(film(QString("Movie %1").arg(i, 2, 10, QChar('0'))));

        const int firstPage =
            (PageHeight - section::ReportTitle - section::PageHeader - section::PageFooter) / section::Detail;
        const int otherPages = (PageHeight - section::PageHeader - section::PageFooter) / section::Detail;
        auto pages = report::layoutReport(movies, "d", PageHeight, PageWidth);
        QCOMPARE(detailCount(pages[0]), firstPage);
        QCOMPARE(detailCount(pages[1]), otherPages);
        const int rest = 40 - firstPage - 2 * otherPages;
        QCOMPARE(pages.size(), size_t(rest > 0 ? 4 : 3));
        QCOMPARE(texts(pages, "txtMovies_Title").size(), 40);
        for (const ReportItem &item : pages[1]) {
            QVERIFY(item.kind == ReportItem::Kind::Text);
            QVERIFY(item.rect.top() >= section::PageHeader);
            QVERIFY(item.rect.bottom() < PageHeight - section::PageFooter);
        }
        QCOMPARE(pages[1].front().text, QString("Movie %1").arg(firstPage, 2, 10, QChar('0')));

        // Three blocks exactly fill the first page; one twip less pushes the third over.
        const int exact = section::ReportTitle + section::PageHeader + 3 * section::Detail + section::PageFooter;
        movies.resize(4);
        pages = report::layoutReport(movies, "d", exact, PageWidth);
        QCOMPARE(detailCount(pages[0]), 3);
        pages = report::layoutReport(movies, "d", exact - 1, PageWidth);
        QCOMPARE(detailCount(pages[0]), 2);
        QCOMPARE(detailCount(pages[1]), 2);

        // A page too small for one block still takes one at a time, and nothing runs
        // past a narrow page's right edge.
        pages = report::layoutReport(movies, "d", 1000, 3000);
        QCOMPARE(pages.size(), size_t(5));
        QCOMPARE(detailCount(pages[0]), 0);
        for (const ReportPage &page : pages)
            for (const ReportItem &item : page)
                QVERIFY(item.kind == ReportItem::Kind::Line ? item.line.x2() <= 3000 : item.rect.right() < 3000);
    }

    void previewAndPdfShowTheList()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        TestFolder folder;
        std::vector<Movie> movies;
        QStringList words;
        for (int i = 0; i < 300; ++i)
            words << QString("word%1").arg(i);
        movies.push_back(catalogue::makeMovie("Zulu Dawn", words.join(' ') + " ENDMARK", "War", "Burt Lancaster",
                                              "UNPRINTED REVIEW", "PG", "1979", "117"));
        movies.push_back(film("Arrival", "", "PG-13"));
        for (int i = 0; i < 30; ++i)
            movies.push_back(film(QString("Filler %1").arg(i, 2, 10, QChar('0')), "90", "R", "UNPRINTED REVIEW"));
        folder.makeCatalogue(movies);

        const QString before = report::printDateCaption(QDate::currentDate());
        QPointer<report::Report> report = new report::Report(folder.path());
        report->showReport();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QCOMPARE(report->objectName(), QString("Report"));
        QVERIFY(report->findChild<QAction *>("actSavePdf"));
        QTRY_VERIFY(report->pageCount() > 1);
        QCOMPARE(openDescriptorsOn(folder.catalogue()), 0);

        QTemporaryDir out;
        const QString pdf = out.filePath("movies.pdf");
        QVERIFY(report->printToPdf(pdf));
        const QString after = report::printDateCaption(QDate::currentDate());
        const QString text = pdfText(pdf);
        QVERIFY(!text.isEmpty());

        QCOMPARE(text.count('\f'), report->pageCount());
        QVERIFY(text.contains("Movies"));
        QVERIFY(text.contains(before) || text.contains(after));
        const int arrival = text.indexOf("Arrival");
        QVERIFY(arrival >= 0 && arrival < text.indexOf("Filler 00") &&
                text.indexOf("Filler 29") < text.indexOf("Zulu Dawn"));
        // The text extractor turns runs of blanks into one; the layout cases check both blanks.
        QVERIFY(text.contains(QRegularExpression("117 +Minutes +PG +Rated")));
        QVERIFY(text.contains(QRegularExpression("90 +Minutes +R +Rated")));
        QVERIFY(!text.contains("UNPRINTED"));
        // A description too long for its box keeps to its one line.
        QVERIFY(text.contains("word0 word1 word2"));
        QVERIFY(!text.contains("ENDMARK"));
        QVERIFY(!text.contains("word299"));
        QVERIFY(text.contains("Burt Lancaster"));

        // Arrival has no running time: nothing but its rating on its bottom line.
        const int line = text.indexOf('\n', text.indexOf("Cast of Arrival"));
        const QString bottom = text.mid(line + 1, text.indexOf('\n', line + 1) - line - 1);
        QVERIFY2(!bottom.contains("Minutes") && bottom.contains(QRegularExpression("Drama +PG-13 +Rated +1999")),
                 qPrintable(bottom));

        // A file that cannot be written is reported, and an existing one stays as it was.
        QVERIFY(!report->printToPdf(out.filePath("missing/movies.pdf")));
        delete report;
    }

    void printedPagesKeepTheirPlaces()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        TestFolder folder;
        folder.makeCatalogue(mixedMovies());
        report::Report report(folder.path());
        QTemporaryDir out;
        QVERIFY(report.printToPdf(out.filePath("movies.pdf")));
        const QList<QStringList> pages = pdfWords(out.filePath("movies.pdf"));

        // Each page's words and places as the report has always printed them, the
        // line of the print date left out: the date changes every day, and its
        // spelling with the locale.
        QStringList digests;
        for (QStringList page : pages) {
            const QString dateWord = page.filter(QRegularExpression(" Date:$")).value(0);
            const QString dateLine = dateWord.section(' ', 1, 1);
            page.removeIf([&](const QString &word) { return !dateWord.isEmpty() && word.section(' ', 1, 1) == dateLine; });
            digests << QString::fromLatin1(
                QCryptographicHash::hash(page.join('\n').toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
        }
        const QStringList expected{"557cbe00c7d7", "533235951203", "75e14b3103ef", "0ea725a98a59", "d0cb1b668ed6",
                                   "978ed973a630", "6d7d59f53a89", "9c4d5308ca1f", "3252a5957f41", "7a691ecf7894",
                                   "edfa2ed942ff", "fbb1eac4eb69", "08c45ec8723b", "1ca962f02610", "f8fb34cee528",
                                   "12f206336c46", "acd631c6c228", "fb03d429c740", "655c28c63f87", "bc3fe5634d86",
                                   "a4edddf77289", "a311fa897494", "a53ac50f6359", "3642a80eea9c", "e5de859278bd",
                                   "3efda6f30450", "92683bbf2495", "04b6d963cb3c", "ca1d78458c9b", "15611589747e"};
        QCOMPARE(pages.size(), expected.size());
        for (int p = 0; p < pages.size(); ++p)
            QVERIFY2(digests[p] == expected[p],
                     qPrintable(QString("page %1 from %2").arg(p + 1).arg(pages[p].value(0))));
    }

    void pageCounterFollowsThePageShown()
    {
        TestFolder folder;
        std::vector<Movie> movies;
        for (int i = 0; i < 60; ++i)
            movies.push_back(film(QString("Movie %1").arg(i, 2, 10, QChar('0'))));
        folder.makeCatalogue(movies);
        QPointer<report::Report> report = new report::Report(folder.path());
        report->showReport();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        auto *view = report->findChild<QAbstractScrollArea *>("prvReport");
        auto *label = report->findChild<QLabel *>("lblPage");
        QVERIFY(view && label);
        QTRY_VERIFY(report->pageCount() > 0);
        const int pages = report->pageCount();
        QVERIFY(pages >= 5);
        const auto counter = [&](int page) { return QString("Page %1 of %2").arg(page).arg(pages); };
        QCOMPARE(label->text(), counter(1));

        // The first page is painted: ink on white where the report title stands.
        const QImage shown = view->viewport()->grab().toImage();
        int ink = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                ink += qGray(shown.pixel(x, y)) < 100;
        QVERIFY2(ink > 200, qPrintable(QString::number(ink)));

        view->setFocus();
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(label->text(), counter(pages));
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(label->text(), counter(pages - 1));
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(label->text(), counter(1));
        QTest::keyClick(view, Qt::Key_PageDown);
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(label->text(), counter(3));

        // Scrolled by hand, the counter names the page that fills most of the view.
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(bar->maximum() / pages * 3 / 2);
        QCOMPARE(label->text(), counter(2));
        bar->setValue(bar->maximum());
        QCOMPARE(label->text(), counter(pages));

        // Small enough for several pages at once, the last one is still reached.
        report->findChild<QAction *>("actWholePage")->trigger();
        for (int i = 0; i < 4; ++i)
            report->findChild<QAction *>("actZoomOut")->trigger();
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(label->text(), counter(1));
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(label->text(), counter(pages));
        delete report;
    }

    void showingAgainReadsTheCatalogueAfresh()
    {
        TestFolder folder;
        folder.makeCatalogue({film("Only")});
        QPointer<report::Report> report = new report::Report(folder.path());
        report->showReport();
        QTRY_COMPARE(report->pageCount(), 1);

        std::vector<Movie> many;
        for (int i = 0; i < 30; ++i)
            many.push_back(film(QString("Movie %1").arg(i)));
        folder.makeCatalogue(many);
        report->showReport();
        QVERIFY(report->isVisible());
        QTRY_VERIFY(report->pageCount() >= 3);
        delete report;
    }

    void theWindowWaitsForTheRowsReadBehindIt()
    {
        TestFolder folder;
        folder.makeCatalogue(mixedMovies());
        ReadHold hold;
        QPointer<report::Report> report = new report::Report(folder.path());
        report->setBeforeRead(hold.hook());
        report->showReport();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        auto *label = report->findChild<QLabel *>("lblPage");
        const QList<QAction *> printing{report->findChild<QAction *>("actPrint"),
                                        report->findChild<QAction *>("actSavePdf")};
        QVERIFY(label && printing[0] && printing[1]);
        // Paging and zooming while nothing is in harm nothing; a second command reads nothing more.
        for (const char *name : {"actFirstPage", "actPreviousPage", "actNextPage", "actLastPage", "actZoomIn"})
            report->findChild<QAction *>(name)->trigger();
        report->showReport();
        report->findChild<QAbstractScrollArea *>("prvReport")->viewport()->grab();
        QCOMPARE(label->text(), QString("Reading movies..."));
        QCOMPARE(report->pageCount(), 0);
        QVERIFY(!printing[0]->isEnabled() && !printing[1]->isEnabled());

        // A PDF asked for now waits for the rows, and is the one a report read at once writes.
        hold.release();
        QTemporaryDir out;
        QVERIFY(report->printToPdf(out.filePath("waited.pdf")));
        QVERIFY(report->pageCount() > 1);
        QCOMPARE(label->text(), QString("Page 1 of %1").arg(report->pageCount()));
        QVERIFY(printing[0]->isEnabled() && printing[1]->isEnabled());
        QCoreApplication::processEvents(); // the end of the read, heard late, changes nothing
        QCOMPARE(label->text(), QString("Page 1 of %1").arg(report->pageCount()));
        QCOMPARE(hold.reads(), 1);
        delete report;

        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        report::Report atOnce(folder.path());
        QVERIFY(atOnce.printToPdf(out.filePath("atonce.pdf")));
        const QList<QStringList> pages = pdfWords(out.filePath("atonce.pdf"));
        QVERIFY(pages.size() > 1);
        QCOMPARE(pdfWords(out.filePath("waited.pdf")), pages);
    }

    void closedWhileReadingTheReportLetsGo_data()
    {
        QTest::addColumn<bool>("byTheUser");
        QTest::newRow("closed") << true;
        QTest::newRow("deleted as the program ends") << false;
    }

    void closedWhileReadingTheReportLetsGo()
    {
        QFETCH(bool, byTheUser);
        TestFolder folder;
        folder.makeCatalogue(mixedMovies());
        ReadHold hold;
        testsupport::ModalWatch noMessage;
        QPointer<report::Report> report = new report::Report(folder.path());
        report->setBeforeRead(hold.hook());
        int ended = 0;
        connect(report, &report::Report::terminated, this, [&] { ++ended; });
        report->showReport();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        if (byTheUser)
            report->findChild<QAction *>("actClose")->trigger();
        else
            delete report;
        QTRY_VERIFY(report.isNull());
        QTRY_VERIFY(hold.stopped());
        QCOMPARE(ended, byTheUser ? 1 : 0);
        QCOMPARE(noMessage.seen(), 0);
    }

    void aCatalogueUnreadableAfterTheCheckIsReported_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<QString>("reason");
        QTest::newRow("deleted") << false << "was not found";
        QTest::newRow("rows damaged") << true << "is damaged";
    }

    void aCatalogueUnreadableAfterTheCheckIsReported()
    {
        QFETCH(bool, damaged);
        QFETCH(QString, reason);
        TestFolder folder;
        if (damaged)
            folder.makeDamagedCatalogue();
        else
            folder.makeCatalogue(mixedMovies());
        ReadHold hold;
        QPointer<report::Report> report = new report::Report(folder.path());
        report->setBeforeRead(hold.hook());
        int ended = 0;
        connect(report, &report::Report::terminated, this, [&] { ++ended; });
        testsupport::MessageBoxAnswerer answer(QMessageBox::Ok);
        report->showReport();
        QVERIFY(report->isVisible());
        if (!damaged)
            QVERIFY(QFile::remove(folder.catalogue()));
        hold.release();
        QTRY_VERIFY(answer.seen().shown);
        QVERIFY2(answer.seen().text.startsWith("The movie list cannot be printed.\n\n") &&
                     answer.seen().text.contains(reason),
                 qPrintable(answer.seen().text));
        QTRY_VERIFY(report.isNull());
        QCOMPARE(ended, 1);
    }

    void terminatedWhenTheReportEnds()
    {
        TestFolder folder;
        folder.makeCatalogue({film("One")});

        // A report deleted without being closed (the program ends) has not ended.
        auto *report = new report::Report(folder.path());
        int ended = 0;
        connect(report, &report::Report::terminated, this, [&] { ++ended; });
        delete report;
        QCOMPARE(ended, 0);

        QPointer<report::Report> shown = new report::Report(folder.path());
        connect(shown, &report::Report::terminated, this, [&] { ++ended; });
        shown->showReport();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        auto *close = shown->findChild<QAction *>("actClose");
        QVERIFY(close);
        close->trigger();
        QCOMPARE(ended, 1); // at once, not when the window is deleted later
        shown->close();
        QTRY_VERIFY(shown.isNull());
        QCOMPARE(ended, 1);
    }

    void missingCatalogueIsReported()
    {
        QTemporaryDir empty;
        QPointer<report::Report> report = new report::Report(empty.path());
        int ended = 0;
        connect(report, &report::Report::terminated, this, [&] { ++ended; });
        testsupport::MessageBoxAnswerer answer(QMessageBox::Ok);
        report->showReport();
        QVERIFY(answer.seen().shown);
        QVERIFY2(answer.seen().text.contains("DVDs.mdb"), qPrintable(answer.seen().text));
        QCOMPARE(answer.seen().icon, QMessageBox::Warning);
        QTRY_VERIFY(report.isNull());
        QCOMPARE(ended, 1);
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
