// SPDX-License-Identifier: GPL-3.0-or-later
// The kept listing against a fresh read: after any sequence of the program's own
// writes, writes by another connection, listings, categories, searches and sorts, the
// rows, their order, the count and the current movie are those a new connection reads.
#include "catalogue/recordcursor.h"
#include "catalogue/searchquery.h"
#include "mainwindow/movielistmodel.h"
#include "tests/common/testfolder.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <random>

using namespace catalogue;
using testsupport::TestFolder;

namespace {

// A control that offers a typed value; a null text leaves the field as it is.
class Typed : public BoundControl {
public:
    explicit Typed(QString typed) : typed_(std::move(typed)) {}
    void showValue(const QString &) override {}
    bool isEditable() const override { return !typed_.isNull(); }
    QString editedValue() const override { return typed_; }

private:
    QString typed_;
};

// Few distinct values, so that sort keys tie often and accents and case meet.
const QStringList Titles{"Alien", "alien",    "ALIEN",    "Amélie", "Amelie",       "Élan",
                         "elan",  "Heat",     "heat ",    "",       "Zulu",         "Ωmega",
                         "ωmega", "Die Hard", "die hard", "Speed",  "100% Arabica", "O'Hara"};
const QStringList Categories{"Action", "action", "Drama", "DRAMA", "Comedy", "Horror", "Sci-Fi", ""};
const QStringList Words{"storm", "Raven", "glass", "STORM", "é", "#1", "it's", "", "[a]"};
const QStringList Patterns{"a", "ALI", "é", "E", "storm", "?e", "#", "[a-c]", "[!a]", "'", "%", "it's", "1999", "z*u"};

struct Differ {
    sqlite3 *db = nullptr;
    void exec(const QString &sql) const
    {
        char *message = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
            qWarning() << message;
            sqlite3_free(message);
        }
    }
};

QString pick(std::mt19937 &rng, const QStringList &from) { return from.at(int(rng() % from.size())); }

Movie randomMovie(std::mt19937 &rng)
{
    Movie m;
    m[Field::Title] = pick(rng, Titles);
    m[Field::Description] = pick(rng, Words) + " " + pick(rng, Words);
    m[Field::Category] = pick(rng, Categories);
    m[Field::Actors] = pick(rng, Words);
    m[Field::Review] = pick(rng, Words);
    m[Field::Rating] = QString::number(rng() % 3);
    m[Field::Year] = QString::number(1995 + rng() % 6);
    m[Field::Time] = QString::number(90 + rng() % 3);
    return m;
}

QString sqlText(const QString &s) { return quoteLiteral(s); }

// Compares everything a window shows of a listing: rows and their bytes in list order,
// the count, the current movie.
void compareListings(RecordCursor &kept, mainwindow::MovieListModel &keptModel, RecordCursor &fresh,
                     mainwindow::MovieListModel &freshModel, const QString &step)
{
    const ResultSet &a = kept.result(), &b = fresh.result();
    QVERIFY2(a.size() == b.size(), qPrintable(step + QString(": %1 rows, fresh %2").arg(a.size()).arg(b.size())));
    for (int pos = 0; pos < a.size(); ++pos) {
        QVERIFY2(a.rowId(pos) == b.rowId(pos), qPrintable(step + QString(": row %1").arg(pos)));
        for (int f = 0; f < FieldCount; ++f)
            QVERIFY2(a.rawText(pos, fieldAt(f)) == b.rawText(pos, fieldAt(f)), qPrintable(step));
        QCOMPARE(a.sameKeyAsPrevious(pos), b.sameKeyAsPrevious(pos));
    }
    QCOMPARE(keptModel.rowCount(), freshModel.rowCount());
    for (int row = 0; row < keptModel.rowCount(); ++row) {
        QVERIFY2(a.rowId(keptModel.positionOfRow(row)) == b.rowId(freshModel.positionOfRow(row)), qPrintable(step));
        for (int c = 0; c < FieldCount; ++c)
            QCOMPARE(keptModel.sameAsAbove(row, c), freshModel.sameAsAbove(row, c));
    }
    QCOMPARE(kept.currentRowId(), fresh.currentRowId());
    QCOMPARE(kept.currentMovie(), fresh.currentMovie());
    kept.moveLast();
    kept.moveFirst();
    fresh.moveLast();
    fresh.moveFirst();
    QCOMPARE(kept.recordCount(), fresh.recordCount());
}

} // namespace

class TestKeptListing : public QObject {
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;

    void makeCatalogue(std::mt19937 &rng, int movies)
    {
        std::vector<Movie> all;
        for (int i = 0; i < movies; ++i)
            all.push_back(randomMovie(rng));
        folder->makeCatalogue(all);
    }

    // Edits or adds through a second cursor on the kept cursor's connection, as the
    // editing dialogs do. Answers false when the chosen movie is no longer the one listed.
    static bool writeThroughDialog(RecordCursor &kept, const Movie &typed, bool adding, std::mt19937 &rng)
    {
        RecordCursor dialog;
        if (!dialog.shareConnectionOf(kept))
            return false;
        for (int f = 0; f < FieldCount; ++f)
            dialog.bind(fieldAt(f), std::make_unique<Typed>(adding || rng() % 2 ? typed.values[f] : QString()));
        if (adding) {
            dialog.setRecordSource("Movies");
            dialog.refresh();
            dialog.addNew();
        } else {
            dialog.setRecordSource(kept.recordSource());
            dialog.refresh();
            dialog.setAbsolutePosition(kept.absolutePosition());
            if (!dialog.hasCurrent() || dialog.currentRowId() != kept.currentRowId() ||
                dialog.currentMovie() != kept.currentMovie())
                return false;
            dialog.edit();
        }
        return dialog.updateRecord();
    }

private slots:
    void init() { folder = std::make_unique<TestFolder>(); }

    void keptListingEqualsAFreshRead_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u})
            QTest::addRow("seed %u", seed) << seed;
    }

    void keptListingEqualsAFreshRead()
    {
        QFETCH(unsigned, seed);
        std::mt19937 rng(seed);
        makeCatalogue(rng, 30);
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(folder->catalogue().toUtf8().constData(), &raw), SQLITE_OK);
        ConnectionPtr other(raw);
        Differ differ{raw};

        RecordCursor kept;
        kept.setDatabaseName(folder->catalogue());
        mainwindow::MovieListModel keptModel(&kept);
        QAbstractItemModelTester tester(&keptModel);
        kept.setRecordSource("select * from Movies order by Title");
        QVERIFY(kept.refresh());
        bool descending = false, merged = false;
        int ownWrites = 0, reused = 0;

        for (int step = 0; step < 250; ++step) {
            const int action = int(rng() % 10);
            const bool currentBefore = kept.rowsAreCurrent();
            QString what;
            if (action == 0) {
                what = "add";
                QVERIFY(writeThroughDialog(kept, randomMovie(rng), true, rng));
            } else if (action == 1 && kept.hasCurrent()) {
                what = "edit";
                kept.setAbsolutePosition(int(rng() % kept.result().size()));
                if (!writeThroughDialog(kept, randomMovie(rng), false, rng))
                    continue;
            } else if (action == 2 && kept.hasCurrent()) {
                what = "delete";
                kept.setAbsolutePosition(int(rng() % kept.result().size()));
                // A listing that another program has changed may name a row that is gone.
                if (!kept.deleteCurrent()) {
                    QCOMPARE(kept.lastError().code, RecordCursor::RowChanged);
                    QVERIFY(!currentBefore);
                    continue;
                }
            } else if (action == 3) {
                what = "another program writes";
                const int kind = int(rng() % 4);
                if (kind == 0)
                    differ.exec("INSERT INTO Movies (Title, Category, Year) VALUES (" + sqlText(pick(rng, Titles)) +
                                ", " + sqlText(pick(rng, Categories)) + ", NULL)");
                else if (kind == 1)
                    differ.exec("UPDATE Movies SET Title = " + sqlText(pick(rng, Titles)) +
                                ", Year = 1999, Review = 'step " + QString::number(step) +
                                "' WHERE rowid = (SELECT rowid FROM Movies ORDER BY random() LIMIT 1)");
                else if (kind == 2)
                    differ.exec("DELETE FROM Movies WHERE rowid = (SELECT max(rowid) FROM Movies)");
                else
                    differ.exec("UPDATE Movies SET Category = NULL, Review = " + QString::number(step) +
                                " WHERE rowid % 7 = " + QString::number(rng() % 7));
                // (A write that leaves every byte as it was does not change the file.)
                if (sqlite3_changes(raw) > 0)
                    QVERIFY(!kept.rowsAreCurrent());
                continue;
            } else if (action == 4) {
                what = "sort";
                descending = !descending;
                keptModel.setDescending(descending);
            } else if (action == 5) {
                what = "merge";
                merged = !merged;
                keptModel.setMerged(merged);
            } else if (action == 6) {
                what = "category";
                kept.setRecordSource("select * from Movies where Category = " + sqlText(pick(rng, Categories)) +
                                     " order by Title");
            } else if (action == 7 || action == 8) {
                what = "search";
                const QStringList &entries = searchFieldEntries();
                kept.setRecordSource(searchQuery(entries.at(int(rng() % entries.size())), pick(rng, Patterns)));
            } else {
                what = "list all";
                kept.setRecordSource("select * from Movies order by Title");
            }
            if (what == "add" || what == "edit" || what == "delete") {
                // The write was the only change: the rows stay and are brought in step.
                if (currentBefore) {
                    QVERIFY2(kept.rowsAreCurrent(), qPrintable(what));
                    ++ownWrites;
                }
            }
            reused += kept.rowsAreCurrent();
            QVERIFY(kept.refresh());

            RecordCursor fresh;
            fresh.setDatabaseName(folder->catalogue());
            fresh.setRecordSource(kept.recordSource());
            mainwindow::MovieListModel freshModel(&fresh);
            freshModel.setDescending(descending);
            freshModel.setMerged(merged);
            QVERIFY(fresh.refresh());
            compareListings(kept, keptModel, fresh, freshModel, QString("step %1 (%2)").arg(step).arg(what));
            if (QTest::currentTestFailed())
                return;
        }
        // The sequence did exercise both ways.
        QVERIFY(ownWrites > 20);
        QVERIFY(reused > 50);
    }

    // A listing runs its query twice (to count, then to show): the list hears of new rows
    // once, whether they came from the file or from the kept rows, and again after a change.
    void theSameQueryAgainLeavesTheListAlone()
    {
        folder->makeCatalogue({testsupport::movie("Alien"), testsupport::movie("Heat")});
        RecordCursor c;
        c.setDatabaseName(folder->catalogue());
        QSignalSpy changed(&c, &RecordCursor::resultChanged);
        const QString search = searchQuery("Title", "hea");
        c.setRecordSource(search); // read from the file: nothing is kept yet
        QVERIFY(c.refresh());
        QVERIFY(c.refresh());
        QCOMPARE(changed.count(), 1);
        c.setRecordSource("select * from Movies order by Title");
        QVERIFY(c.refresh());
        QVERIFY(c.refresh());
        QCOMPARE(changed.count(), 2);
        c.setRecordSource(search); // from the kept rows
        QVERIFY(c.refresh());
        QVERIFY(c.refresh());
        QCOMPARE(changed.count(), 3);
        sqlite3 *raw = nullptr;
        sqlite3_open(folder->catalogue().toUtf8().constData(), &raw);
        ConnectionPtr other(raw);
        QCOMPARE(
            sqlite3_exec(raw, "UPDATE Movies SET Title = 'Heated' WHERE Title = 'Heat'", nullptr, nullptr, nullptr),
            SQLITE_OK);
        QVERIFY(c.refresh());
        QCOMPARE(changed.count(), 4);
        QCOMPARE(c.result().text(0, Field::Title), QString("Heated"));
    }

    // A trigger may change rows besides the one written: the rows are then read again.
    void aWriteThatChangesMoreIsReadAgain()
    {
        folder->makeCatalogue({testsupport::movie("Alien"), testsupport::movie("Heat")});
        {
            sqlite3 *raw = nullptr;
            sqlite3_open(folder->catalogue().toUtf8().constData(), &raw);
            ConnectionPtr db(raw);
            QCOMPARE(sqlite3_exec(raw,
                                  "CREATE TRIGGER stamp AFTER UPDATE ON Movies BEGIN "
                                  "UPDATE Movies SET Review = 'seen' WHERE Title = 'Heat'; END",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
        }
        RecordCursor kept;
        kept.setDatabaseName(folder->catalogue());
        kept.setRecordSource("select * from Movies order by Title");
        QVERIFY(kept.refresh());
        kept.bind(Field::Title, std::make_unique<Typed>("Aliens"));
        QVERIFY(kept.edit());
        QVERIFY(kept.updateRecord());
        QVERIFY(!kept.rowsAreCurrent());
        QVERIFY(kept.refresh());
        QCOMPARE(kept.result().text(1, Field::Review), QString("seen"));
    }

    // Searching every field finds a movie whatever field holds the text, under the same
    // pattern rules and case folding as one field, in memory and in the file alike.
    void allFieldsSearchesEveryField()
    {
        std::vector<Movie> movies;
        for (int f = 0; f < FieldCount; ++f) {
            Movie m = testsupport::movie(QString("Film %1").arg(f));
            m.values[f] = "xx STÉR'n xx";
            movies.push_back(m);
        }
        movies.push_back(testsupport::movie("Nothing here"));
        folder->makeCatalogue(movies);
        RecordCursor c;
        c.setDatabaseName(folder->catalogue());
        const QString query = searchQuery("all fields", "stér'N");
        c.setRecordSource(query);
        QVERIFY(c.refresh()); // from the file
        QCOMPARE(c.result().size(), FieldCount);
        c.setRecordSource("select * from Movies order by Title");
        QVERIFY(c.refresh());
        QVERIFY(c.rowsAreCurrent());
        c.setRecordSource(query);
        QVERIFY(c.refresh()); // from the kept rows
        QCOMPARE(c.result().size(), FieldCount);
        QCOMPARE(c.result().text(0, Field::Title), QString("Film 1")); // ordered by title
        QCOMPARE(c.result().text(FieldCount - 1, Field::Title), QString("xx STÉR'n xx"));
        QVERIFY(searchQuery("All Fields", "x").contains(" or Time Like '*x*' Order by Title"));
        QCOMPARE(searchFieldEntries().last(), QString("All Fields"));
        QCOMPARE(searchFieldEntries().size(), FieldCount + 1);
    }
};

QTEST_GUILESS_MAIN(TestKeptListing)
#include "tst_keptlisting.moc"
