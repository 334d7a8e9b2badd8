// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/compaction.h"
#include "catalogue/schema.h"
#include "mainwindow/movielistmodel.h"
#include "okwatcher.h"
#include "report/report.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "tests/mainwindow/fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using catalogue::Field;
using catalogue::Movie;
using testsupport::control;
using testsupport::topLevel;

namespace {

constexpr int Megabyte = 1 << 20;

// One megabyte of mixed text with a word to search for in its middle.
QString longText(QChar fill)
{
    QString text(Megabyte, fill);
    text.insert(Megabyte / 2, " needle ");
    for (int i = 1000; i < text.size(); i += 4096)
        text[i] = '\n';
    return text;
}

Movie nullMovie()
{
    Movie m;
    m.values[0] = "Nulls";
    for (int i = 1; i < catalogue::FieldCount; ++i)
        m.isNull[i] = true;
    return m;
}

std::vector<Movie> awkwardMovies()
{
    const QString controls = QString("Tab\there \x01 escape \x1b[31m red\r\nsecond line\x7f");
    return {
        nullMovie(),
        catalogue::makeMovie("Huge " + QString(Megabyte / 8, 'T'), longText('d'), "Drama", longText(QChar(0x00e9)),
                             longText('r'), "PG", "2001", "90"),
        catalogue::makeMovie(controls, "Line one\r\nline two\rline three\n\ttabbed",
                             "Ctl\x01"
                             "Cat",
                             "A\x1b"
                             "B",
                             "Review\x1b with escape", "R\t",
                             "19\x01"
                             "99",
                             "9\r\n0"),
        catalogue::makeMovie(QString::fromUtf8("東京物語 (Tokyo Story)"),
                             QString::fromUtf8("فيلم عن الحب والحرب — עברית — Ελληνικά — Андрей Рублёв"),
                             QString::fromUtf8("ドラマ"), QString::fromUtf8("अमिताभ बच्चन, 송강호, ทักษิณ"),
                             QString::fromUtf8("🎬🍿 👩‍👩‍👧 \U0001F1EF\U0001F1F5 𝄞 flag and family"),
                             QString::fromUtf8("Ⅻ"), QString::fromUtf8("١٩٥٣"), QString::fromUtf8("१३६")),
        catalogue::makeMovie(QString::fromUtf8("Ame\u0301lie a\u0308\u0301 Z\u0335\u0321\u0327algo"), "Combining marks",
                             "Comedy", QString::fromUtf8("Audrey Tautou"), "", "", "", ""),
        catalogue::makeMovie("Heat", "An ordinary row", "Action", "Al Pacino", "Fine", "R", "1995", "170"),
    };
}

// Every field of every row as SQLite stores it: type and bytes.
QStringList rawCells(const QString &file)
{
    QStringList cells;
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    catalogue::ConnectionPtr db(raw);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT typeof(Title) || hex(Title), typeof(Description) || hex(Description), "
                       "typeof(Category) || hex(Category), typeof(Actors) || hex(Actors), "
                       "typeof(Review) || hex(Review), typeof(Rating) || hex(Rating), "
                       "typeof(Year) || hex(Year), typeof(Time) || hex(Time) FROM Movies",
                       -1, &st, nullptr);
    catalogue::StatementPtr rows(st);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        QString row;
        for (int i = 0; i < catalogue::FieldCount; ++i)
            row += QString::fromLatin1(reinterpret_cast<const char *>(sqlite3_column_text(st, i))) + '|';
        cells << row;
    }
    cells.sort();
    return cells;
}

// A row as another tool may store it: bytes that are not UTF-8, a blob, numbers.
bool insertForeignRow(const QString &file)
{
    sqlite3 *raw = nullptr;
    sqlite3_open(file.toUtf8().constData(), &raw);
    catalogue::ConnectionPtr db(raw);
    return sqlite3_exec(raw,
                        "INSERT INTO Movies VALUES (CAST(x'4cc3a96f6ee9' AS TEXT), x'00ff', 1, 2.5, '', NULL, "
                        "1999, 'Not UTF-8')",
                        nullptr, nullptr, nullptr) == SQLITE_OK;
}

// A detail label shows this much of a long text.
constexpr int LabelChars = 8000;

int rowOf(const MainWindowFixture &f, const QString &title)
{
    const auto *model = f.list()->model();
    for (int r = 0; r < model->rowCount(); ++r)
        if (model->index(r, 0).data().toString() == title.left(mainwindow::MovieListModel::DisplayChars))
            return r;
    return -1;
}

} // namespace

class TestBadData : public QObject {
    Q_OBJECT
private slots:
    void shownAndSearchedAsStored();
    void editingOneFieldKeepsTheOthers();
    void bytesThatAreNotTextAreNeverRewritten();
    void printedAndCompactedWithoutLoss();
};

// NULLs, megabyte fields, control characters and many scripts reach the list and the
// detail pane exactly as stored, and a search finds them by any piece of their text.
void TestBadData::shownAndSearchedAsStored()
{
    const std::vector<Movie> movies = awkwardMovies();
    MainWindowFixture f(movies);
    QCOMPARE(f.text("lblRecordCount"), QString("Record 1 of 6"));
    const auto *model = f.list()->model();
    QCOMPARE(model->rowCount(), 6);
    for (const Movie &m : movies) {
        const int row = rowOf(f, m[Field::Title]);
        QVERIFY2(row >= 0, qPrintable(m[Field::Title].left(40)));
        for (int c = 0; c < catalogue::FieldCount; ++c)
            QVERIFY2(model->index(row, c).data().toString() ==
                         m.values[c].left(mainwindow::MovieListModel::DisplayChars),
                     qPrintable(QString("%1, column %2").arg(m[Field::Title].left(40)).arg(c)));
        f.clickRow(row);
        QCOMPARE(f.text("lblTitle"), m[Field::Title].left(LabelChars));
        QCOMPARE(f.text("lblDescription"), m[Field::Description].left(LabelChars));
        QCOMPARE(f.text("lblActors"), m[Field::Actors].left(LabelChars));
        QCOMPARE(f.text("lblReview"), m[Field::Review].left(LabelChars));
        QCOMPARE(f.text("lblRating"), m[Field::Rating].left(LabelChars));
        QCOMPARE(f.text("lblYear"), m[Field::Year].left(LabelChars));
        QCOMPARE(f.text("lblTime"), m[Field::Time].left(LabelChars));
    }

    auto search = [&](const QString &field, const QString &text) {
        f.find<QComboBox>("cboField")->setEditText(field);
        f.find<QLineEdit>("txtSearch")->setText(text);
        f.click("cmdSearch");
        return f.listedTitles();
    };
    const QString controls = movies[2][Field::Title];
    const QString tokyo = movies[3][Field::Title];
    const QString huge = movies[1][Field::Title];
    QCOMPARE(search("Title", QString::fromUtf8("物語")), QStringList{tokyo});
    QCOMPARE(search("Title", "\x1b[31m"), QStringList{controls});
    QCOMPARE(search("Title", "\r\nsecond"), QStringList{controls});
    QCOMPARE(search("Description", "NEEDLE"), QStringList{huge.left(mainwindow::MovieListModel::DisplayChars)});
    QCOMPARE(search("Actors", QString::fromUtf8("ÉÉÉ")),
             QStringList{huge.left(mainwindow::MovieListModel::DisplayChars)});
    QCOMPARE(search("Review", QString::fromUtf8("👩‍👩‍👧")), QStringList{tokyo});
    QCOMPARE(search("Review", QString::fromUtf8("\U0001F1EF\U0001F1F5")), QStringList{tokyo});
    QCOMPARE(search("Year", QString::fromUtf8("٩٥")), QStringList{tokyo});
    QCOMPARE(search("Category", "\x01"), QStringList{controls});
    QCOMPARE(search("Description", "\t"), QStringList{controls});
    QCOMPARE(f.text("lblFound"), QString("Movies Found : 1"));
    // An empty text finds every movie whose field holds a value: not the NULLs.
    QCOMPARE(search("Running Time", "").size(), 5);
    QVERIFY(!f.listedTitles().contains("Nulls"));
}

// Editing one field through the edit dialog writes the others back exactly as they
// were, whatever they hold; a NULL comes back as empty text.
void TestBadData::editingOneFieldKeepsTheOthers()
{
    const std::vector<Movie> movies = awkwardMovies();
    MainWindowFixture f(movies);
    for (const Movie &m : movies) {
        const QString title = m[Field::Title];
        f.clickRow(rowOf(f, title));
        f.trigger("Edit");
        QWidget *edit = topLevel("frmEdit");
        QVERIFY2(edit, qPrintable(title.left(40)));
        QCOMPARE(control<QLineEdit>(edit, "Text1")->text(), title);
        control<QComboBox>(edit, "cboRating")->setEditText("Edited");
        reliability::OkWatcher refusals;
        QTest::mouseClick(control<QPushButton>(edit, "cmdFinish"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(refusals.texts.isEmpty(), qPrintable(refusals.texts.join(' ')));
        QVERIFY2(!topLevel("frmEdit"), qPrintable(title.left(40)));
    }
    const std::vector<Movie> after = f.folder.moviesInFile();
    QCOMPARE(after.size(), movies.size());
    for (size_t i = 0; i < movies.size(); ++i) {
        for (int c = 0; c < catalogue::FieldCount; ++c) {
            const QString expected = c == catalogue::index(Field::Rating) ? QString("Edited") : movies[i].values[c];
            QVERIFY2(after[i].values[c] == expected, qPrintable(QString("%1, column %2: %3")
                                                                    .arg(movies[i][Field::Title].left(40))
                                                                    .arg(c)
                                                                    .arg(after[i].values[c].left(40))));
        }
    }
}

// Bytes another program stored that are not valid text: the row can still be edited,
// the fields the user left alone keep their very bytes, and the row can be deleted.
void TestBadData::bytesThatAreNotTextAreNeverRewritten()
{
    MainWindowFixture f(
        {catalogue::makeMovie("Heat", "An ordinary row", "Action", "Al Pacino", "Fine", "R", "1995", "170")});
    QVERIFY(insertForeignRow(f.folder.catalogue()));
    f.trigger("ListAll");
    const QStringList before = rawCells(f.folder.catalogue());
    const int row = rowOf(f, QString::fromUtf8("L\u00e9on\ufffd"));
    QVERIFY(row >= 0);

    f.clickRow(row);
    f.trigger("Edit");
    QWidget *edit = topLevel("frmEdit");
    QVERIFY(edit);
    control<QLineEdit>(edit, "Text6")->setText("100");
    QTest::mouseClick(control<QPushButton>(edit, "cmdFinish"), Qt::LeftButton);
    QTRY_VERIFY(!topLevel("frmEdit"));
    // Only the running time changed: every other field keeps its type and bytes.
    QStringList expected = before;
    for (QString &row : expected)
        if (row.startsWith("text4CC3A96F6EE9|"))
            row.replace("|text4E6F74205554462D38|", "|text313030|");
    expected.sort();
    QCOMPARE(rawCells(f.folder.catalogue()), expected);

    f.clickRow(rowOf(f, QString::fromUtf8("L\u00e9on\ufffd")));
    testsupport::MessageBoxAnswerer yes(QMessageBox::Yes);
    f.trigger("Delete");
    QVERIFY(yes.seen().shown);
    QCOMPARE(f.folder.moviesInFile().size(), size_t(1));
}

// The printed list and a compaction take every row, byte for byte.
void TestBadData::printedAndCompactedWithoutLoss()
{
    testsupport::TestFolder folder;
    folder.makeCatalogue(awkwardMovies());
    const QString file = folder.catalogue();
    QVERIFY(insertForeignRow(file));
    const QStringList before = rawCells(file);
    QCOMPARE(before.size(), 7);

    {
        report::Report report(folder.path());
        QTemporaryDir out;
        const QString pdf = out.filePath("movies.pdf");
        QVERIFY(report.printToPdf(pdf));
        QFile printed(pdf);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        const QByteArray bytes = printed.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(QRegularExpression("/Type\\s*/Page\\b").match(QString::fromLatin1(bytes)).hasMatch());
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (!pdftotext.isEmpty()) {
            QProcess p;
            p.start(pdftotext, {pdf, "-"});
            QVERIFY(p.waitForFinished(30000));
            const QString text = QString::fromUtf8(p.readAllStandardOutput());
            for (const char *expected : {"Heat", "An ordinary row", "Combining marks", "Tokyo Story", "Nulls"})
                QVERIFY2(text.contains(expected), expected);
        }
    }
    QCOMPARE(rawCells(file), before);

    QVERIFY2(!catalogue::compactCatalogue(file, folder.path() + "/DVDs1.mdb"), "compaction failed");
    QCOMPARE(rawCells(file), before);
}

QTEST_MAIN(TestBadData)
#include "tst_baddata.moc"
