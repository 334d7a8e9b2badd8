// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/schema.h"
#include "mainwindow/movielistmodel.h"
#include "tests/common/testfolder.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace catalogue;
using mainwindow::MovieListModel;
using testsupport::movie;
using testsupport::TestFolder;

class TestMovieListModel : public QObject {
    Q_OBJECT

    static QStringList column(const MovieListModel &m, int c)
    {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.index(r, c).data().toString();
        return out;
    }

private slots:
    void followsTheCursorAndSortsDescendingWithTiesInTableOrder()
    {
        TestFolder folder;
        folder.makeCatalogue(
            {movie("B", "Drama", "1"), movie("a", "Drama", "2"), movie("A", "Drama", "3"), movie("C", "Comedy", "4")});
        RecordCursor cursor;
        MovieListModel model(&cursor);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        cursor.setDatabaseName(folder.catalogue());
        cursor.setRecordSource("select * from Movies order by Title");
        QVERIFY(cursor.refresh());
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.columnCount(), 8);
        QCOMPARE(model.headerData(7, Qt::Horizontal).toString(), QString("Time"));
        QCOMPARE(column(model, 6), QStringList({"2", "3", "1", "4"}));

        model.setDescending(true);
        QCOMPARE(column(model, 0), QStringList({"C", "B", "a", "A"}));
        QCOMPARE(model.positionOfRow(0), 3);
        QCOMPARE(model.rowOfPosition(3), 0);
        // A new listing keeps the list's own order.
        cursor.setRecordSource("select * from Movies where Category = 'Drama' order by Title");
        QVERIFY(cursor.refresh());
        QCOMPARE(column(model, 0), QStringList({"B", "a", "A"}));
        model.setDescending(false);
        QCOMPARE(column(model, 0), QStringList({"a", "A", "B"}));
    }

    void longTextsShowTheirStartOnly()
    {
        TestFolder folder;
        const QString huge = QString::fromUtf8("é") + QString(300000, 'x');
        folder.makeCatalogue({catalogue::makeMovie("Long", huge, "", "", "", "", "", "")});
        RecordCursor cursor;
        MovieListModel model(&cursor);
        cursor.setDatabaseName(folder.catalogue());
        cursor.setRecordSource("Movies");
        QVERIFY(cursor.refresh());
        const QString shown = model.index(0, 1).data().toString();
        QCOMPARE(shown, huge.left(MovieListModel::DisplayChars));
        QCOMPARE(cursor.currentMovie()[Field::Description], huge); // the data itself is whole
    }

    void mergesRunsOfEqualCellsInEveryColumn()
    {
        TestFolder folder;
        folder.makeCatalogue({movie("A", "Drama", "1999"), movie("B", "Drama", "1999"), movie("C", "Comedy", "1999"),
                              movie("D", "Drama", "2000")});
        RecordCursor cursor;
        MovieListModel model(&cursor);
        cursor.setDatabaseName(folder.catalogue());
        cursor.setRecordSource("select * from Movies order by Title");
        QVERIFY(cursor.refresh());
        QVERIFY(!model.sameAsAbove(1, 2));
        model.setMerged(true);
        QVERIFY(!model.sameAsAbove(0, 2));
        QVERIFY(model.sameAsAbove(1, 2));  // Drama under Drama
        QVERIFY(!model.sameAsAbove(2, 2)); // Comedy
        QVERIFY(model.sameAsAbove(2, 6));  // 1999 three times
        QVERIFY(!model.sameAsAbove(3, 6));
        QVERIFY(!model.sameAsAbove(1, 0)); // titles differ
        QVERIFY(model.index(1, 2).data(MovieListModel::SameAsAboveRole).toBool());
        QVERIFY(model.index(0, 2).data(MovieListModel::SameAsBelowRole).toBool());
        model.setDescending(true); // D C B A: runs are found in the order shown
        QVERIFY(!model.sameAsAbove(1, 2));
        QVERIFY(model.sameAsAbove(3, 2));
        model.setMerged(false);
        QVERIFY(!model.sameAsAbove(3, 2));
    }
};

QTEST_GUILESS_MAIN(TestMovieListModel)
#include "tst_movielistmodel.moc"
