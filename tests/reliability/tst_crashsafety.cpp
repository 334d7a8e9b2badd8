// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/backup.h"
#include "catalogue/database.h"
#include "tests/common/testfolder.h"
#include "workload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cmath>
#include <csignal>
#include <map>
#include <set>
#include <thread>

using namespace catalogue;
using reliability::workloadMovie;
using reliability::workloadSeq;

namespace {

constexpr int Kills = 500;

// What a killed worker's journal tells: the steps it confirmed and the one it had
// begun without confirming, which the file may show done or not done.
struct JournalReading {
    QStringList confirmed;
    QString pending;
    QString failure;
};

JournalReading readJournal(const QString &path)
{
    JournalReading r;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return r;
    const QList<QByteArray> lines = f.readAll().split('\n');
    // The last piece has no line end: a line cut by the kill, or nothing.
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        if (line.startsWith("? "))
            r.pending = line.mid(2);
        else if (line.startsWith("! ")) {
            if (line.mid(2) != r.pending)
                r.failure = "confirmed a step it had not begun: " + line;
            r.confirmed << r.pending;
            r.pending.clear();
        } else if (line.startsWith("x "))
            r.failure = line.mid(2);
    }
    return r;
}

// The movies a step leaves, from the movies before it.
std::set<qint64> applyStep(std::set<qint64> movies, const QString &step)
{
    const QStringList w = step.split(' ');
    if (w[0] == "ADD")
        movies.insert(w[1].toLongLong());
    else if (w[0] == "DEL")
        movies.erase(w[1].toLongLong());
    else if (w[0] == "EDIT") {
        movies.erase(w[1].toLongLong());
        movies.insert(w[2].toLongLong());
    } else if (w[0] == "RESTORE") {
        movies.clear();
        for (const QString &seq : w.value(2).split(',', Qt::SkipEmptyParts))
            movies.insert(seq.toLongLong());
    }
    return movies;
}

QString describe(const std::set<qint64> &a, const std::set<qint64> &b)
{
    QStringList missing, extra;
    for (qint64 s : a)
        if (!b.count(s))
            missing << QString::number(s);
    for (qint64 s : b)
        if (!a.count(s))
            extra << QString::number(s);
    return QString("missing [%1], unexpected [%2]").arg(missing.join(' '), extra.join(' '));
}

// Opens the catalogue as the next start of the program would (a hot journal is rolled
// back), checks it, and reads every movie; returns the problem, or nothing.
QString inspect(const QString &file, std::set<qint64> &movies)
{
    movies.clear();
    if (!QFileInfo::exists(file))
        return "DVDs.mdb is gone";
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    ConnectionPtr db(raw);
    if (rc != SQLITE_OK)
        return QString("cannot open: %1").arg(sqlite3_errstr(rc));
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &st, nullptr);
    StatementPtr check(st);
    if (sqlite3_step(st) != SQLITE_ROW)
        return QString("integrity check did not run: %1").arg(sqlite3_errmsg(raw));
    const QString verdict = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    if (verdict != "ok")
        return "integrity check: " + verdict;
    check.reset();

    sqlite3_prepare_v2(raw, "SELECT Title, Description, Category, Actors, Review, Rating, Year, Time FROM Movies", -1,
                       &st, nullptr);
    StatementPtr rows(st);
    int step;
    while ((step = sqlite3_step(st)) == SQLITE_ROW) {
        Movie m;
        for (int i = 0; i < FieldCount; ++i) {
            m.isNull[i] = sqlite3_column_type(st, i) == SQLITE_NULL;
            m.values[i] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i));
        }
        const auto seq = workloadSeq(m[Field::Title]);
        if (!seq)
            return "a movie nobody saved: " + m[Field::Title];
        if (m != workloadMovie(*seq))
            return "movie " + QString::number(*seq) + " does not hold the text saved";
        if (!movies.insert(*seq).second)
            return "movie " + QString::number(*seq) + " appears twice";
    }
    if (step != SQLITE_DONE)
        return QString("reading the movies failed: %1").arg(sqlite3_errmsg(raw));
    rows.reset();
    db.reset();

    // The program itself must take the file as a catalogue again.
    std::unique_ptr<Database> opened;
    if (const platform::Failure e = Database::open(file, opened))
        return "the program refuses the file: " + e.message;
    return {};
}

bool nonEmptyFile(const QString &path) { return QFileInfo(path).size() > 0; }

// Every file that counts as a backup is whole: a kill leaves at most a work file,
// which is never listed. Answers the problem, or nothing.
QString inspectBackups(const QString &catalogueFile, int &workFiles)
{
    const QList<BackupFile> backups = listBackups(catalogueFile);
    if (backups.size() > BackupsKept + BackupDaysKept)
        return QString("%1 backups kept").arg(backups.size());
    for (const BackupFile &b : backups) {
        const BackupContents c = inspectBackup(b.path);
        if (!c.intact)
            return QFileInfo(b.path).fileName() + " is not whole: " + c.problem;
    }
    workFiles = int(QDir(backupFolder(catalogueFile)).entryList({"*.part"}, QDir::Files | QDir::Hidden).size());
    return {};
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
private slots:
    void everyConfirmedSaveSurvivesAKill();
};

// A second process adds, edits, deletes, compacts, backs up and restores in a loop
// and is killed with SIGKILL at a different moment each time; after every kill the
// catalogue must be intact and hold exactly what that process had confirmed, give or
// take the one step it was in the middle of, and every backup that counts is whole.
void TestCrashSafety::everyConfirmedSaveSurvivesAKill()
{
    testsupport::TestFolder folder;
    QTemporaryDir journals;
    std::vector<Movie> initial;
    std::set<qint64> model;
    for (qint64 s = 1; s <= 20; ++s) {
        initial.push_back(workloadMovie(s));
        model.insert(s);
    }
    folder.makeCatalogue(initial);
    const QString file = folder.catalogue();
    const QString workFile = folder.path() + "/DVDs1.mdb";

    QRandomGenerator random(20240611);
    std::map<QString, int> killedDuring;
    int confirmedSteps = 0, hotJournals = 0, leftoverWorkFiles = 0, leftoverBackupWork = 0;
    for (int run = 0; run < Kills; ++run) {
        const QString journal = journals.filePath(QString("run-%1.txt").arg(run));
        QProcess worker;
        worker.setProgram(WORKER);
        worker.setArguments({"churn", folder.path(), journal, QString::number(100000LL * (run + 1)),
                             QString::number(random.generate())});
        worker.start();
        QVERIFY2(worker.waitForStarted(10000), qPrintable(worker.errorString()));
        // Most kills land while the worker writes; every tenth may hit its start-up.
        if (run % 10 != 0)
            worker.waitForReadyRead(10000);
        const double exponent = 4 + random.bounded(11.9); // 16 µs to 60 ms
        std::this_thread::sleep_for(std::chrono::microseconds(qint64(std::exp2(exponent))));
        ::kill(pid_t(worker.processId()), SIGKILL);
        QVERIFY(worker.waitForFinished(10000));
        const JournalReading r = readJournal(journal);
        QVERIFY2(r.failure.isEmpty(), qPrintable(QString("worker failed: %1").arg(r.failure)));
        QVERIFY2(worker.exitStatus() == QProcess::CrashExit,
                 qPrintable("worker ended by itself: " + QString::fromLocal8Bit(worker.readAllStandardError())));

        for (const QString &step : r.confirmed)
            model = applyStep(model, step);
        confirmedSteps += int(r.confirmed.size());
        ++killedDuring[!r.pending.isEmpty()    ? r.pending.section(' ', 0, 0)
                       : r.confirmed.isEmpty() ? QString("start-up")
                                               : QString("between steps")];
        hotJournals += nonEmptyFile(file + "-journal");
        leftoverWorkFiles += QFileInfo::exists(workFile);

        std::set<qint64> found;
        const QString problem = inspect(file, found);
        const QString when = QString("after kill %1 (during \"%2\"): ").arg(run).arg(r.pending);
        QVERIFY2(problem.isEmpty(), qPrintable(when + problem));
        // The step begun but not confirmed may show as done or as not done.
        const std::set<qint64> done = applyStep(model, r.pending);
        QVERIFY2(found == model || found == done, qPrintable(when + describe(model, found)));
        model = found;
        int work = 0;
        const QString backupProblem = inspectBackups(file, work);
        QVERIFY2(backupProblem.isEmpty(), qPrintable(when + backupProblem));
        leftoverBackupWork += work > 0;
    }

    // A last compaction runs over whatever work file a kill left behind.
    QProcess compactor;
    compactor.start(WORKER, {"compact", folder.path()});
    QVERIFY(compactor.waitForFinished(30000));
    QCOMPARE(compactor.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(workFile));
    std::set<qint64> found;
    const QString problem = inspect(file, found);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(found, model);

    // The next backup clears away the work files of backups that kills cut short.
    QVERIFY(!backUpCatalogue(file));
    int work = 0;
    QVERIFY(inspectBackups(file, work).isEmpty());
    QCOMPARE(work, 0);

    QStringList during;
    for (const auto &[what, n] : killedDuring)
        during << QString("%1 %2").arg(n).arg(what);
    qInfo("%d kills survived, %d confirmed steps kept; killed during: %s; %d kills left a hot journal, "
          "%d a compaction work file, %d a backup work file",
          Kills, confirmedSteps, qPrintable(during.join(", ")), hotJournals, leftoverWorkFiles, leftoverBackupWork);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
