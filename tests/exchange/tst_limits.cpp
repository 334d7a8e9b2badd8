// The readers' memory and refusals on hostile files: bounded by what they keep.
#include "exchange/delimited.h"
#include "exchange/importer.h"
#include "exchange/zipfile.h"

#include <QtTest>

using exchange::ImportSource;

class TestLimits : public QObject {
    Q_OBJECT
private slots:
    void blankLinesCostNothing();
    void headersPastTheColumnLimitAreRefused();
    void longRowsKeepNoMoreThanTheLimit();
    void understatedZipMembersStayWithinTheLimit();
};

void TestLimits::blankLinesCostNothing()
{
    const QByteArray text = QByteArray("Title,Year\r\nAlien,1979\r\n") + QByteArray(4 << 20, '\n') + "Heat,1995\n";
    ImportSource source;
    QString error;
    QVERIFY2(exchange::readImportBytes(text, "blank.csv", source, error), qPrintable(error));
    QCOMPARE(source.table.rowCount(), 2);
    QCOMPARE(source.table.cell(1, 0), QByteArrayView("Heat"));
    QVERIFY2(source.table.bytesHeld() < 2 * text.size(), qPrintable(QString::number(source.table.bytesHeld())));
}

void TestLimits::headersPastTheColumnLimitAreRefused()
{
    QByteArray header;
    for (int c = 0; c <= exchange::MaxColumns; ++c)
        header += "c,";
    ImportSource source;
    QString error;
    QVERIFY(!exchange::readImportBytes(header + "\nA\n", "wide.csv", source, error));
    QVERIFY2(error.contains("wide.csv") && error.contains(QString("more than %1 columns").arg(exchange::MaxColumns)),
             qPrintable(error));
    QCOMPARE(source.table.rowCount(), 0);
}

void TestLimits::longRowsKeepNoMoreThanTheLimit()
{
    const QByteArray text = "Title\nAlien" + QByteArray(3 * exchange::MaxColumns, ',') + "\n";
    ImportSource source;
    QString error;
    QVERIFY2(exchange::readImportBytes(text, "long.csv", source, error), qPrintable(error));
    QCOMPARE(source.table.cellCount(0), exchange::MaxColumns + 1);
    const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
    QCOMPARE(plan.rowsWithExtraFields, 1);
    QCOMPARE(plan.movies.size(), size_t(1));
}

void TestLimits::understatedZipMembersStayWithinTheLimit()
{
    QByteArray member(100000, 'x');
    for (int i = 0; i < member.size(); i += 7)
        member[i] = char('a' + i % 26);
    QByteArray zip, out;
    QString detail;
    QVERIFY(exchange::writeZip("tellico.xml", member, zip, detail));
    const qsizetype central = zip.indexOf("PK\x01\x02");
    QVERIFY(central > 0);
    const char small[4] = {char(0xE8), 0x03, 0, 0}; // 1000
    zip.replace(18 + 4, 4, small, 4);
    zip.replace(central + 24, 4, small, 4);
    const qint64 limit = 110000;
    const auto result = exchange::readZipMember(zip, "tellico.xml", limit, out, detail);
    QVERIFY2(result == exchange::ZipRead::Ok || result == exchange::ZipRead::Damaged, qPrintable(detail));
    if (result == exchange::ZipRead::Ok)
        QCOMPARE(out, member);
    QVERIFY2(out.capacity() <= limit, qPrintable(QString::number(out.capacity())));
}

QTEST_GUILESS_MAIN(TestLimits)
#include "tst_limits.moc"
