// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/match.h"

#include <QTest>

class TestLookup : public QObject {
    Q_OBJECT
private slots:
    void confidentMatch_data();
    void confidentMatch();
};

void TestLookup::confidentMatch_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<int>("candidateYear");
    QTest::addColumn<bool>("match");
    QTest::newRow("same") << "Alien" << 1979 << "Alien" << 1979 << true;
    QTest::newRow("case") << "the matrix" << 1999 << "The Matrix" << 1999 << true;
    QTest::newRow("accents") << "Amelie" << 2001 << QString::fromUtf8("Amélie") << 2001 << true;
    QTest::newRow("no year on the movie") << "Alien" << 0 << "Alien" << 1979 << true;
    QTest::newRow("other year") << "Alien" << 1979 << "Alien" << 2019 << false;
    QTest::newRow("other title") << "Alien" << 1979 << "Aliens" << 1979 << false;
}

void TestLookup::confidentMatch()
{
    QFETCH(QString, title);
    QFETCH(int, year);
    QFETCH(QString, candidate);
    QFETCH(int, candidateYear);
    QFETCH(bool, match);
    QCOMPARE(lookup::isConfidentMatch(title, year, candidate, candidateYear), match);
}

QTEST_GUILESS_MAIN(TestLookup)
#include "tst_lookup.moc"
