// An import onto a disk that fills up: refused with a message that is true on disk too.
#include "faultcases.h"

#include "exchange/importer.h"

#include <QFile>
#include <QTest>

using namespace faultcases;

class TestFaultsImport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void fullDiskLeavesTheFileAsItWas();
};

// The movies are more than the engine's page cache holds, so that it writes the file
// itself before the end of the transaction.
void TestFaultsImport::fullDiskLeavesTheFileAsItWas()
{
    QByteArray csv = "Title,Year,Review\n";
    for (int i = 0; i < 3000; ++i)
        csv += QString("Imported %1,%2,").arg(i).arg(1900 + i % 100).toUtf8() + QByteArray(2000, 'r') + "\n";
    exchange::ImportSource source;
    QString error;
    QVERIFY2(exchange::readImportBytes(csv, "movies.csv", source, error), qPrintable(error));
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
        const bool stored = exchange::storeMovies(file, source, plan, chosen, error);
        const int injected = faultvfs::disarm();
        QVERIFY2(!stored && injected > 0, qPrintable(ctx));
        QVERIFY2(error.contains("disk is full", Qt::CaseInsensitive) && error.contains("The catalogue was not changed"),
                 qPrintable(ctx + ": " + error));
        QVERIFY2(!QFile::exists(file + "-journal"), qPrintable(ctx + ": a hot journal is left"));
        QVERIFY2(
            fileBytes(file) == before,
            qPrintable(ctx + QString(": %1 bytes on disk, %2 before").arg(QFileInfo(file).size()).arg(before.size())));
    }
}

QTEST_MAIN(TestFaultsImport)
#include "tst_faults_import.moc"
