// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/recordcursor.h"
#include "tests/common/files.h"
#include "tests/common/testfolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace catalogue;
using testsupport::execSql;
using testsupport::fileBytes;
using testsupport::movie;
using testsupport::TestFolder;

namespace {

QStringList titles(const RecordCursor &c)
{
    QStringList out;
    for (int i = 0; i < c.result().size(); ++i)
        out << c.result().text(i, Field::Title);
    return out;
}

class ExposedField : public BoundControl {
public:
    explicit ExposedField(QString *shown, QString typed = {}) : shown_(shown), typed_(std::move(typed)) {}
    void showValue(const QString &v) override { *shown_ = v; }
    bool isEditable() const override { return !typed_.isNull(); }
    QString editedValue() const override { return typed_; }

private:
    QString *shown_;
    QString typed_;
};

} // namespace

class TestRecordCursor : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<RecordCursor> open(const QString &query)
    {
        auto c = std::make_unique<RecordCursor>();
        c->setDatabaseName(folder->catalogue());
        c->setRecordSource(query);
        if (!c->refresh())
            qWarning() << c->lastError().message;
        return c;
    }

private slots:
    void init() { folder = std::make_unique<TestFolder>(); }

    void sortsWithoutRegardToCaseAndKeepsTableOrderForTies()
    {
        folder->makeCatalogue({movie("heat", "Action", "1995"), movie("Amélie", "Comedy", "2001"),
                               movie("Alien", "Horror", "1979"), movie("HEAT", "Action", "1995"), movie("élan"),
                               movie("Zulu"), movie("Heat", "Drama", "1986")});
        auto c = open("select * from Movies order by Title");
        QCOMPARE(titles(*c), QStringList({"Alien", "Amélie", "élan", "heat", "HEAT", "Heat", "Zulu"}));
        // The same query twice lists the same movie at the same place.
        const auto first = c->result().rowId(4);
        c->setRecordSource("select * from Movies order by Year");
        QVERIFY(c->refresh());
        c->setRecordSource("select * from Movies order by Title");
        QVERIFY(c->refresh());
        QCOMPARE(c->result().rowId(4), first);
    }

    void filtersByCategoryAndPattern()
    {
        folder->makeCatalogue({movie("Die Hard", "Action"), movie("Speed", "action"), movie("Heat", "Drama"),
                               movie("Schindler's List", "Biography"), movie("Star Wars", "Sci-Fi"),
                               movie("Lone Star", "Drama"), movie("100% Arabica", "Comedy")});
        auto c = open("select * from Movies where Category = 'Action' order by Title");
        QCOMPARE(titles(*c), QStringList({"Die Hard", "Speed"}));
        c->setRecordSource("select * from Movies where Title Like '*STAR*' Order by Title");
        QVERIFY(c->refresh());
        QCOMPARE(titles(*c), QStringList({"Lone Star", "Star Wars"}));
        c->setRecordSource("select * from Movies where Title Like " + quoteLiteral("*Schindler's*") +
                           " Order by Title");
        QVERIFY(c->refresh());
        QCOMPARE(titles(*c), QStringList({"Schindler's List"}));
        c->setRecordSource("select * from Movies where Title Like '*0%*' Order by Title");
        QVERIFY(c->refresh());
        QCOMPARE(titles(*c), QStringList({"100% Arabica"}));
        c->setRecordSource("select * from Movies where Category = 'Western' order by Title");
        QVERIFY(c->refresh());
        QVERIFY(c->bof() && c->eof());
        QCOMPARE(c->absolutePosition(), -1);
    }

    void movesFollowTheCountingRule()
    {
        folder->makeCatalogue({movie("A"), movie("B"), movie("C")});
        auto c = open("select * from Movies order by Title");
        QString shown;
        c->bind(Field::Title, std::make_unique<ExposedField>(&shown));
        QCOMPARE(shown, QString("A"));
        QCOMPARE(c->recordCount(), 1);
        c->moveLast();
        c->moveFirst();
        QCOMPARE(c->recordCount(), 3);
        QCOMPARE(c->absolutePosition(), 0);
        c->moveNext();
        c->moveNext();
        QCOMPARE(shown, QString("C"));
        c->moveNext();
        QVERIFY(c->eof());
        QCOMPARE(shown, QString());
        c->movePrevious();
        QCOMPARE(shown, QString("C"));
        c->moveFirst();
        c->movePrevious();
        QVERIFY(c->bof());
        c->setAbsolutePosition(1);
        QCOMPARE(shown, QString("B"));
        QSignalSpy validate(c.get(), &RecordCursor::validate);
        c->moveNext();
        c->closeDatabase();
        QCOMPARE(validate.size(), 2);
        QCOMPARE(validate.at(0).at(0).toInt(), int(CursorAction::MoveNext));
        QCOMPARE(validate.at(1).at(0).toInt(), int(CursorAction::Close));
        QVERIFY(!c->isOpen());
        QVERIFY(c->refresh()); // reopens
        QCOMPARE(c->result().size(), 3);
    }

    void largeResultsCountPastSixteenBits()
    {
        std::vector<Movie> many;
        for (int i = 0; i < 40000; ++i)
            many.push_back(movie(QString("Movie %1").arg(i, 5, 10, QChar('0'))));
        folder->makeCatalogue(many);
        auto c = open("select * from Movies order by Title");
        c->moveLast();
        QCOMPARE(c->recordCount(), 40000);
        QCOMPARE(c->absolutePosition(), 39999);
        QCOMPARE(c->currentMovie()[Field::Title], QString("Movie 39999"));
    }

    void writesHitExactlyTheChosenRow()
    {
        // Two identical rows: editing and deleting one leaves the other alone.
        folder->makeCatalogue({movie("Twin"), movie("Twin"), movie("Other")});
        auto c = open("select * from Movies order by Title"); // Other, Twin, Twin
        c->setAbsolutePosition(2);
        QVERIFY(c->edit());
        QString shown;
        c->bind(Field::Review, std::make_unique<ExposedField>(&shown, "Second copy's review\nline two"));
        QVERIFY(c->updateRecord());
        auto rows = folder->moviesInFile();
        QCOMPARE(rows[0][Field::Review], QString("Review of Twin"));
        QCOMPARE(rows[1][Field::Review], QString("Second copy's review\nline two"));

        c->setRecordSource("select * from Movies order by Title");
        QVERIFY(c->refresh());
        c->setAbsolutePosition(2); // the edited twin, after the untouched one
        QVERIFY(c->deleteCurrent());
        rows = folder->moviesInFile();
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0][Field::Review], QString("Review of Twin"));
    }

    void refusesToWriteARowChangedElsewhere()
    {
        folder->makeCatalogue({movie("Alpha"), movie("Beta")});
        auto c = open("select * from Movies order by Title");
        execSql(folder->catalogue(), "UPDATE Movies SET Review = 'changed by another copy' WHERE Title = 'Alpha'");
        QVERIFY(c->edit());
        QString shown;
        c->bind(Field::Title, std::make_unique<ExposedField>(&shown, "Overwritten"));
        QVERIFY(!c->updateRecord());
        QCOMPARE(c->lastError().code, RecordCursor::RowChanged);
        QVERIFY(!c->deleteCurrent());
        const auto rows = folder->moviesInFile();
        QCOMPARE(rows[0][Field::Title], QString("Alpha"));
        QCOMPARE(rows[0][Field::Review], QString("changed by another copy"));
        QCOMPARE(rows.size(), size_t(2));
    }

    void addNewStoresTextExactly()
    {
        folder->makeCatalogue({});
        auto c = open("Movies");
        QVERIFY(c->bof());
        c->addNew();
        const QString odd =
            QString("It's \"quoted\"\r\n% _ [ \\ ") + QString::fromUtf8("日本語 é") + QString(20000, 'z');
        QString shown;
        c->bind(Field::Description, std::make_unique<ExposedField>(&shown, odd));
        QVERIFY(c->updateRecord());
        const auto rows = folder->moviesInFile();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0][Field::Description], odd);
        QCOMPARE(rows[0][Field::Title], QString());
    }

    void readsNullsAndForeignValuesAndStillWrites()
    {
        // A catalogue made by another tool: NULLs and a number stored as a number.
        folder->makeCatalogue({});
        execSql(folder->catalogue(), "INSERT INTO Movies (Title, Year, Time) VALUES ('Bare', NULL, 95)");
        auto c = open("select * from Movies order by Title");
        QCOMPARE(c->currentMovie()[Field::Time], QString("95"));
        QVERIFY(c->currentMovie().isNull[index(Field::Year)]);
        QVERIFY(c->edit());
        QString shown;
        c->bind(Field::Rating, std::make_unique<ExposedField>(&shown, "PG"));
        QVERIFY(c->updateRecord());
        QCOMPARE(folder->moviesInFile()[0][Field::Rating], QString("PG"));
    }

    void columnsDeclaredAsNumbersReadAndWriteText_data()
    {
        QTest::addColumn<QString>("declared");
        for (const char *type : {"INTEGER", "NUMERIC", "REAL", "DECIMAL(4,0)", "DOUBLE", "", "BLOB", "VARCHAR(10)"})
            QTest::newRow(*type ? type : "no type") << QString(type);
    }

    // A catalogue another program made with number columns opens; every value reads as
    // text, and what is written reads back as the same text, however number-like.
    void columnsDeclaredAsNumbersReadAndWriteText()
    {
        QFETCH(QString, declared);
        execSql(folder->catalogue(),
                QString("CREATE TABLE Movies (Title TEXT, Description TEXT, Category TEXT, "
                        "Actors TEXT, Review TEXT, Rating %1, Year %1, Time %1);"
                        "INSERT INTO Movies VALUES ('Heat', 'd', 'Action', 'a', 'r', 'R', 1995, 170.5)")
                    .arg(declared)
                    .toUtf8()
                    .constData());
        auto c = open("select * from Movies order by Title");
        QVERIFY2(c->isOpen(), qPrintable(c->lastError().message));
        // A REAL column holds 1995 as 1995.0, and reads so.
        const bool real = declared == "REAL" || declared == "DOUBLE";
        QCOMPARE(c->currentMovie()[Field::Year], QString(real ? "1995.0" : "1995"));
        QCOMPARE(c->currentMovie()[Field::Time], QString("170.5"));

        // A field left alone keeps its stored number.
        QString shown;
        QVERIFY(c->edit());
        c->bind(Field::Title, std::make_unique<ExposedField>(&shown, "Heat II"));
        QVERIFY2(c->updateRecord(), qPrintable(c->lastError().message));
        QCOMPARE(folder->moviesInFile()[0][Field::Time], QString("170.5"));

        const QStringList texts = {"007",
                                   "1e3",
                                   "2001",
                                   "-0",
                                   " 12",
                                   "12 ",
                                   "1.50",
                                   "+5",
                                   "0x1A",
                                   "2.5",
                                   "",
                                   "9223372036854775808",
                                   "-9223372036854775808",
                                   "NaN",
                                   "1,5",
                                   "PG-13",
                                   "０７"};
        for (const QString &text : texts) {
            // Once through an edit, once through a new row; then edited again and deleted,
            // which finds the row by what was read.
            auto e = open("select * from Movies order by Title");
            QVERIFY(e->edit());
            for (Field f : {Field::Rating, Field::Year, Field::Time})
                e->bind(f, std::make_unique<ExposedField>(&shown, text));
            QVERIFY2(e->updateRecord(), qPrintable(text + ": " + e->lastError().message));
            e->addNew();
            QVERIFY2(e->updateRecord(), qPrintable(text + ": " + e->lastError().message));
            auto r = open("select * from Movies order by Title");
            QCOMPARE(r->result().size(), 2);
            for (int pos = 0; pos < 2; ++pos)
                for (Field f : {Field::Rating, Field::Year, Field::Time})
                    QCOMPARE(r->result().text(pos, f), text);
            r->setAbsolutePosition(1);
            QVERIFY(r->edit());
            r->bind(Field::Review, std::make_unique<ExposedField>(&shown, "again"));
            QVERIFY2(r->updateRecord(), qPrintable(text + ": " + r->lastError().message));
            QVERIFY2(r->deleteCurrent(), qPrintable(text + ": " + r->lastError().message));
            QCOMPARE(folder->moviesInFile().size(), size_t(1));
        }
        // A plain year stays a number for the program that declared the column so.
        sqlite3 *raw = nullptr;
        sqlite3_open(folder->catalogue().toUtf8().constData(), &raw);
        ConnectionPtr db(raw);
        auto e = open("select * from Movies order by Title");
        QVERIFY(e->edit());
        e->bind(Field::Year, std::make_unique<ExposedField>(&shown, "2001"));
        QVERIFY(e->updateRecord());
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(raw, "SELECT typeof(Year) FROM Movies", -1, &st, nullptr);
        StatementPtr typeOf(st);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        const QString expected =
            declared.contains("INT") || declared.startsWith("NUMERIC") || declared.startsWith("DECIMAL") ? "integer"
            : declared.isEmpty() || declared == "BLOB" || declared.contains("CHAR")                      ? "text"
                                                                                                         : "blob";
        QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))), expected);
    }

    void rowsHoldingInvalidUtf8CanStillBeEditedAndDeleted()
    {
        folder->makeCatalogue({movie("Good")});
        execSql(folder->catalogue(), "INSERT INTO Movies (Title, Review) VALUES ('Bad', CAST(X'41C328' AS TEXT))");
        auto c = open("select * from Movies order by Title"); // Bad, Good
        QVERIFY(c->edit());
        QString shown;
        c->bind(Field::Rating, std::make_unique<ExposedField>(&shown, "R"));
        QVERIFY2(c->updateRecord(), qPrintable(c->lastError().message));
        QVERIFY(c->refresh());
        QVERIFY2(c->deleteCurrent(), qPrintable(c->lastError().message));
        const auto rows = folder->moviesInFile();
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(rows[0][Field::Title], QString("Good"));
    }

    void refusesFilesThatAreNotCatalogues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty file") << QByteArray() << ""
                                    << "no table named Movies";
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a') << ""
                                      << "not a database file";
        QTest::newRow("no Movies") << QByteArray() << "CREATE TABLE Films (Title TEXT)"
                                   << "no table named Movies";
        QTest::newRow("wrong columns") << QByteArray()
                                       << "CREATE TABLE Movies (Title TEXT, Year TEXT, Description TEXT)"
                                       << "should be Description";
    }

    void refusesFilesThatAreNotCatalogues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        {
            QFile f(folder->catalogue());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        if (!sql.isEmpty())
            execSql(folder->catalogue(), sql.toUtf8().constData());
        const QByteArray before = fileBytes(folder->catalogue());
        auto c = open("select * from Movies order by Title");
        QVERIFY(!c->isOpen());
        QVERIFY2(c->lastError().message.contains(expected), qPrintable(c->lastError().message));
        QVERIFY(c->bof());
        QCOMPARE(fileBytes(folder->catalogue()), before);
    }

    void missingFileIsNamed()
    {
        auto c = open("select * from Movies order by Title");
        QVERIFY(!c->isOpen());
        QVERIFY(c->lastError().message.contains("DVDs.mdb"));
        QVERIFY(!QFile::exists(folder->catalogue())); // never created
    }


    void aReadAskedToStopEndsEmptyAndKeepsNothing()
    {
        folder->makeCatalogue({movie("Heat"), movie("Alien"), movie("Ran")});
        std::atomic<bool> stop{true};
        RecordCursor c;
        c.setDatabaseName(folder->catalogue());
        c.setRecordSource("select * from Movies order by Title");
        c.setStopFlag(&stop);
        QVERIFY(!c.refresh());
        QCOMPARE(c.lastError().kind, platform::ErrorKind::Cancelled);
        QVERIFY(c.result().isEmpty() && c.bof() && c.eof());
        stop = false;
        QVERIFY(c.refresh());
        QCOMPARE(titles(c), QStringList({"Alien", "Heat", "Ran"}));
    }

    // A statement that cannot be prepared, an empty one included, is a failure with a
    // reason, never a silent empty result.
    void statementsThatCannotBePreparedSayWhy()
    {
        folder->makeCatalogue({movie("Alien")});
        std::unique_ptr<Database> db;
        const platform::Failure error = Database::open(folder->catalogue(), db);
        QVERIFY(db && !error);
        for (const char *sql : {"SELECT nothing FROM", "SELECT * FROM NoSuchTable", "", "  -- only a comment"}) {
            StatementPtr st;
            const platform::Failure e = db->prepare(sql, st);
            QVERIFY2(!st, sql);
            QVERIFY2(e && !e.message.isEmpty(), sql);
        }
        StatementPtr st;
        const platform::Failure e = db->prepare("SELECT count(*) FROM Movies", st);
        QVERIFY(st && !e);
        QCOMPARE(sqlite3_step(st.get()), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st.get(), 0), 1);
    }
};

QTEST_GUILESS_MAIN(TestRecordCursor)
#include "tst_recordcursor.moc"
