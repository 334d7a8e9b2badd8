// SPDX-License-Identifier: GPL-3.0-or-later
// Imports and exports onto a disk that fills up: refused with a message that names the
// cause and is true on disk too.
#include "faultcases.h"

#include "exchange/exporter.h"
#include "exchange/importer.h"

#include <QFile>
#include <QTest>

using namespace faultcases;

class TestFaultsExchange : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void fullDiskLeavesTheFileAsItWas();
    void exportToAFullDiskSaysSo_data();
    void exportToAFullDiskSaysSo();
};

// The movies are more than the engine's page cache holds, so that it writes the file
// itself before the end of the transaction.
void TestFaultsExchange::fullDiskLeavesTheFileAsItWas()
{
    QByteArray csv = "Title,Year,Review\n";
    for (int i = 0; i < 3000; ++i)
        csv += QString("Imported %1,%2,").arg(i).arg(1900 + i % 100).toUtf8() + QByteArray(2000, 'r') + "\n";
    exchange::ImportSource source;
    const platform::Failure read = exchange::readImportBytes(csv, "movies.csv", source);
    QVERIFY2(!read, qPrintable(read.message));
    const exchange::ImportPlan plan = exchange::planImport(source, source.mapping, exchange::DuplicateIndex());
    const std::vector<qsizetype> chosen = plan.toStore(false);
    QCOMPARE(chosen.size(), size_t(3000));

    testsupport::TestFolder folder;
    const QString file = folder.catalogue();
    const QByteArray before = fullCatalogue();
    for (int n : {1, 2, 5, 20, 200, 1000}) {
        const QString ctx = QString("disk full from growing write %1").arg(n);
        QFile::remove(file + "-journal");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
        }
        faultvfs::armDiskFull(n);
        const platform::Failure error = exchange::storeMovies(file, source, plan, chosen);
        const int injected = faultvfs::disarm();
        QVERIFY2(error && injected > 0, qPrintable(ctx));
        // The kind comes from SQLite's code, through the import's own message.
        QCOMPARE(error.kind, platform::ErrorKind::DiskFull);
        QVERIFY2(error.message.contains("disk is full", Qt::CaseInsensitive) &&
                     error.message.contains("The catalogue was not changed"),
                 qPrintable(ctx + ": " + error.message));
        QVERIFY2(!QFile::exists(file + "-journal"), qPrintable(ctx + ": a hot journal is left"));
        QVERIFY2(
            fileBytes(file) == before,
            qPrintable(ctx + QString(": %1 bytes on disk, %2 before").arg(QFileInfo(file).size()).arg(before.size())));
    }
}

void TestFaultsExchange::exportToAFullDiskSaysSo_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("name");
    QTest::newRow("new CSV file") << false << "movies.csv";
    QTest::newRow("CSV file replaced") << true << "movies.csv";
    QTest::newRow("new Tellico file") << false << "movies.tc";
}

// No file may grow past 1 KiB: the export does not fit.
void TestFaultsExchange::exportToAFullDiskSaysSo()
{
    QFETCH(bool, existing);
    QFETCH(QString, name);
    testsupport::TestFolder folder;
    std::vector<catalogue::Movie> movies;
    for (int i = 0; i < 400; ++i) {
        movies.push_back(testsupport::movie(QString("Movie %1").arg(i)));
        movies.back()[catalogue::Field::Review] = QString("Review %1 of a long evening. ").arg(i).repeated(3);
    }
    folder.makeCatalogue(movies);
    const QString out = folder.path() + "/" + name;
    if (existing) {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
    }
    int count = 0;
    platform::Failure error;
    {
        const testsupport::FileSizeLimit full(1024);
        error = exchange::exportCatalogue(folder.catalogue(), out, exchange::exportFormatFor(out), count);
    }
    QVERIFY2(error, qPrintable(QString("%1 movies, %2 bytes").arg(count).arg(QFileInfo(out).size())));
    QCOMPARE(error.kind, platform::ErrorKind::DiskFull);
    QVERIFY2(error.message.contains(name) && error.message.contains("The disk is full"), qPrintable(error.message));
    QCOMPARE(QFile::exists(out), existing);
    if (existing)
        QCOMPARE(fileBytes(out), QByteArray("old"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), existing ? 2 : 1);
}

QTEST_MAIN(TestFaultsExchange)
#include "tst_faults_exchange.moc"
