// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes from outside: readers whose memory is bounded by what they keep, text never
// replaced or reinterpreted without a word, and exports that read back as written.
#include "catalogue/database.h"
#include "exchange/delimited.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "exchange/zipfile.h"

#include "tests/common/testfolder.h"

#include <QtTest>

namespace {

// Text as UTF-16 with its byte order mark, every # replaced by the code unit lone.
QByteArray utf16(const QString &text, bool le, char16_t lone)
{
    QString t = text;
    t.replace(QChar('#'), QChar(lone));
    QByteArray out = le ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (QChar c : t) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out.append(le ? lo : hi).append(le ? hi : lo);
    }
    return out;
}

} // namespace

using exchange::ImportSource;

class TestUntrusted : public QObject {
    Q_OBJECT
private slots:
    void blankLinesCostNothing_data();
    void blankLinesCostNothing();
    void headersPastTheColumnLimitAreRefused();
    void longRowsKeepNoMoreThanTheLimit();
    void understatedZipMembersStayWithinTheLimit();
    void loneSurrogatesAreRefused_data();
    void loneSurrogatesAreRefused();
    void windows1252IsNeverChosenSilently();
    void exportsRefuseWhatWouldNotReadBack_data();
    void exportsRefuseWhatWouldNotReadBack();
};

void TestUntrusted::blankLinesCostNothing_data()
{
    QTest::addColumn<QByteArray>("blankLine");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("line ends") << QByteArray("\n") << QByteArray("Title,Year");
    QTest::newRow("blanks") << QByteArray(" \n") << QByteArray("Title,Year");
    QTest::newRow("delimiters") << QByteArray(",\n") << QByteArray("Title,Year");
    QTest::newRow("delimiters and blanks") << QByteArray(" ,\t\xC2\xA0,\r\n") << QByteArray("Title,Year");
    QTest::newRow("separators in a list") << QByteArray(",,\n") << QByteArray("Title");
}

void TestUntrusted::blankLinesCostNothing()
{
    QFETCH(QByteArray, blankLine);
    QFETCH(QByteArray, header);
    const QByteArray rows = header.contains(',') ? "Alien,1979\r\n" : "Alien\r\n";
    QByteArray text = header + "\r\n" + rows;
    text += blankLine.repeated((4 << 20) / blankLine.size());
    text += header.contains(',') ? "Heat,1995\n" : "Heat\n";
    ImportSource source;
    const platform::Failure error = exchange::readImportBytes(text, "blank.csv", source);
    QVERIFY2(!error, qPrintable(error.message));
    QCOMPARE(source.table.rowCount(), 2);
    QCOMPARE(source.table.cell(1, 0), QByteArrayView("Heat"));
    QVERIFY2(source.table.bytesHeld() < 2 * text.size(), qPrintable(QString::number(source.table.bytesHeld())));
}

void TestUntrusted::headersPastTheColumnLimitAreRefused()
{
    QByteArray header;
    for (int c = 0; c <= exchange::MaxColumns; ++c)
        header += "c,";
    ImportSource source;
    const platform::Failure error = exchange::readImportBytes(header + "\nA,B\n", "wide.csv", source);
    QCOMPARE(error.kind, platform::ErrorKind::Unreadable);
    QVERIFY2(error.message.contains("wide.csv") &&
                 error.message.contains(QString("more than %1 columns").arg(exchange::MaxColumns)),
             qPrintable(error.message));
    QCOMPARE(source.table.rowCount(), 0);
}

void TestUntrusted::longRowsKeepNoMoreThanTheLimit()
{
    const QByteArray text = "Title,Year\nAlien,1979" + QByteArray(3 * exchange::MaxColumns, ',') + "\n";
    ImportSource source;
    const platform::Failure error = exchange::readImportBytes(text, "long.csv", source);
    QVERIFY2(!error, qPrintable(error.message));
    QCOMPARE(source.table.cellCount(0), exchange::MaxColumns + 1);
    const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
    QCOMPARE(plan.rowsWithExtraFields, 1);
    QCOMPARE(plan.movies.size(), size_t(1));
}

void TestUntrusted::understatedZipMembersStayWithinTheLimit()
{
    QByteArray member(100000, 'x');
    for (int i = 0; i < member.size(); i += 7)
        member[i] = char('a' + i % 26);
    QByteArray zip, out;
    QVERIFY(!exchange::writeZip("tellico.xml", member, zip));
    const qsizetype central = zip.indexOf("PK\x01\x02");
    QVERIFY(central > 0);
    const char small[4] = {char(0xE8), 0x03, 0, 0}; // 1000
    zip.replace(18 + 4, 4, small, 4);
    zip.replace(central + 24, 4, small, 4);
    const qint64 limit = 110000;
    const platform::Failure result = exchange::readZipMember(zip, "tellico.xml", limit, out);
    QVERIFY2(!result || result.kind == platform::ErrorKind::Unreadable, qPrintable(result.message));
    if (!result)
        QCOMPARE(out, member);
    QVERIFY2(out.capacity() <= limit, qPrintable(QString::number(out.capacity())));
}

void TestUntrusted::loneSurrogatesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    const QString csv = "Title,Year\nAl#en,1979\n";
    const QString xml = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><tellico><collection type=\"3\">"
                        "<entry><title>Al#en</title></entry></collection></tellico>";
    QTest::newRow("csv, high alone, LE") << utf16(csv, true, 0xD83D) << true;
    QTest::newRow("csv, low alone, BE") << utf16(csv, false, 0xDE00) << true;
    QTest::newRow("csv, high at the end") << utf16("Title\nAlien#", true, 0xD800) << true;
    QTest::newRow("xml, high alone, LE") << utf16(xml, true, 0xD83D) << true;
    QTest::newRow("xml, low alone, BE") << utf16(xml, false, 0xDC00) << true;
    QByteArray zipped;
    QVERIFY(!exchange::writeZip("tellico.xml", utf16(xml, true, 0xD83D), zipped));
    QTest::newRow("xml in a Tellico archive") << zipped << true;
    QTest::newRow("csv, a pair") << utf16(QString(csv).replace("#", QString::fromUtf8("\xF0\x9F\x98\x80")), true, 0)
                                 << false;
}

void TestUntrusted::loneSurrogatesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    ImportSource source;
    const platform::Failure error = exchange::readImportBytes(bytes, "utf16.txt", source);
    QVERIFY2(bool(error) == refused, qPrintable(error.message));
    if (refused)
        QVERIFY2(error.message.contains("holds bytes that are not UTF-16"), qPrintable(error.message));
    else
        QCOMPARE(source.table.cell(0, 0), QByteArrayView("Al\xF0\x9F\x98\x80"
                                                         "en"));
}

void TestUntrusted::windows1252IsNeverChosenSilently()
{
    ImportSource source;
    const platform::Failure error =
        exchange::readImportBytes("Title,Year\nCaf\xC3\xA9,2000\nNa\xEFve,2001\n", "one.csv", source);
    QVERIFY2(!error, qPrintable(error.message));
    const QString note = "Line 3 is not valid UTF-8, so the whole file was read as Windows-1252";
    QVERIFY2(source.description.contains(note), qPrintable(source.description));
    const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
    const QString summary = exchange::importSummary(2, 0, plan);
    QVERIFY2(summary.startsWith("2 movies imported") && summary.contains(note), qPrintable(summary));
}

void TestUntrusted::exportsRefuseWhatWouldNotReadBack_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("file");
    const QList<std::pair<QByteArray, QByteArray>> values = {{"NUL", QByteArray("seen\0twice", 10)},
                                                             {"Latin-1 byte", "caf\xE9"},
                                                             {"cut sequence", "\xE2\x82"},
                                                             {"encoded surrogate", "\xED\xA0\x80"}};
    for (const auto &[name, value] : values) {
        QTest::newRow(("CSV, " + name).constData()) << value << int(exchange::ExportFormat::Csv) << "movies.csv";
        QTest::newRow(("Tellico, " + name).constData()) << value << int(exchange::ExportFormat::Tellico) << "movies.tc";
    }
}

// Another program wrote bytes that are not text into a movie.
void TestUntrusted::exportsRefuseWhatWouldNotReadBack()
{
    QFETCH(QByteArray, value);
    QFETCH(int, format);
    QFETCH(QString, file);
    testsupport::TestFolder folder;
    folder.makeCatalogue({testsupport::movie("Alien"), testsupport::movie("Heat")});
    {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(folder.catalogue().toUtf8().constData(), &raw), SQLITE_OK);
        catalogue::ConnectionPtr db(raw);
        sqlite3_stmt *st = nullptr;
        QCOMPARE(sqlite3_prepare_v2(raw, "UPDATE Movies SET Review = ?1 WHERE Title = 'Heat'", -1, &st, nullptr),
                 SQLITE_OK);
        sqlite3_bind_text(st, 1, value.constData(), int(value.size()), SQLITE_STATIC);
        QCOMPARE(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }
    const QString out = folder.path() + "/" + file;
    int count = 0;
    const platform::Failure error =
        exchange::exportCatalogue(folder.catalogue(), out, exchange::ExportFormat(format), count);
    QVERIFY(error);
    QVERIFY2(error.message.contains(file) && error.message.contains("\"Heat\""), qPrintable(error.message));
    QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(TestUntrusted)
#include "tst_untrusted.moc"
