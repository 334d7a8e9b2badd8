// SPDX-License-Identifier: GPL-3.0-or-later
// A second program on a catalogue, for the reliability tests:
//   churn FOLDER JOURNAL FIRSTSEQ SEED  adds, edits, deletes, compacts, backs up and
//                                       restores until killed, journalling each step
//                                       before and after it
//   lock FILE                           holds an exclusive transaction until stdin closes
//   compact FOLDER                      compacts once; exit 0 on success, 2 on refusal
//   add FOLDER FIRSTSEQ COUNT           adds COUNT workload movies; exit 3 on a failure
#include "catalogue/backup.h"
#include "catalogue/compaction.h"
#include "catalogue/recordcursor.h"
#include "platform/appfolder.h"
#include "workload.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace catalogue;

namespace {

// Gives the cursor the values to save, as the dialogs' controls do.
class Slot : public BoundControl {
public:
    explicit Slot(const QString *value) : value_(value) {}
    void showValue(const QString &) override {}
    bool isEditable() const override { return true; }
    QString editedValue() const override { return *value_; }

private:
    const QString *value_;
};

class Journal {
public:
    explicit Journal(const QString &path)
        : fd_(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644))
    {
    }
    ~Journal() { ::close(fd_); }
    void line(const QString &text)
    {
        const QByteArray bytes = text.toUtf8() + '\n';
        if (::write(fd_, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fdatasync(fd_) != 0) {
            std::perror("journal");
            std::_Exit(4);
        }
    }

private:
    int fd_;
};

[[noreturn]] void failed(Journal *journal, const QString &what, const QString &why)
{
    if (journal)
        journal->line("x " + what + " " + why);
    std::fprintf(stderr, "%s failed: %s\n", qPrintable(what), qPrintable(why));
    std::_Exit(3);
}

void waitForStdinToClose()
{
    char buffer[64];
    while (::read(0, buffer, sizeof buffer) > 0) {
    }
}

void say(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

struct Writer {
    explicit Writer(const QString &catalogueFile)
    {
        for (int i = 0; i < FieldCount; ++i) {
            list.bind(fieldAt(i), std::make_unique<Slot>(&values.values[i]));
            adder.bind(fieldAt(i), std::make_unique<Slot>(&values.values[i]));
        }
        list.setDatabaseName(catalogueFile);
        list.setRecordSource("select * from Movies order by Title");
        adder.setDatabaseName(catalogueFile);
        adder.setRecordSource("Movies");
    }
    bool add(qint64 seq)
    {
        if (!adder.refresh())
            return false;
        adder.addNew();
        values = reliability::workloadMovie(seq);
        return adder.updateRecord();
    }
    QString lastError() const { return list.lastError() ? list.lastError().message : adder.lastError().message; }

    Movie values;
    RecordCursor list;
    RecordCursor adder;
};

int churn(const QString &folder, const QString &journalPath, qint64 seq, quint32 seed)
{
    Journal journal(journalPath);
    QRandomGenerator random(seed);
    const QString file = platform::catalogueFile(folder);
    Writer w(file);
    if (!w.list.refresh())
        failed(&journal, "open", w.lastError());
    say("ready");
    for (;;) {
        const int rows = w.list.result().size();
        const int dice = int(random.bounded(100));
        const QList<BackupFile> backups = dice >= 14 && dice < 17 ? listBackups(file) : QList<BackupFile>{};
        if (dice < 8) {
            journal.line("? COMPACT");
            w.list.closeDatabase();
            w.adder.closeDatabase();
            if (const platform::Failure e = compactCatalogue(file, platform::compactionWorkFile(folder)))
                failed(&journal, "COMPACT", e.message);
            journal.line("! COMPACT");
        } else if (dice < 14) {
            // A backup, and the pruning that follows it.
            journal.line("? BACKUP");
            if (const platform::Failure e = backUpCatalogue(file))
                failed(&journal, "BACKUP", e.message);
            journal.line("! BACKUP");
        } else if (!backups.isEmpty()) {
            // The movies of the backup go into the journal: a later pruning may remove it.
            const QString chosen = backups[int(random.bounded(backups.size()))].path;
            QStringList seqs;
            {
                RecordCursor reader;
                reader.setDatabaseName(chosen);
                reader.setRecordSource("Movies");
                if (!reader.refresh())
                    failed(&journal, "read backup", reader.lastError().message);
                for (int i = 0; i < reader.result().size(); ++i)
                    seqs << QString::number(*reliability::workloadSeq(reader.result().text(i, Field::Title)));
            }
            const QString op = QString("RESTORE %1 %2").arg(QFileInfo(chosen).fileName(), seqs.join(','));
            journal.line("? " + op);
            w.list.closeDatabase();
            w.adder.closeDatabase();
            if (const platform::Failure e = backUpCatalogue(file, nullptr, chosen))
                failed(&journal, op, e.message);
            if (const platform::Failure e = restoreBackup(chosen, file))
                failed(&journal, op, e.message);
            journal.line("! " + op);
        } else if (rows < 10 || (rows < 60 && dice < 45)) {
            const QString op = QString("ADD %1").arg(seq);
            journal.line("? " + op);
            if (!w.add(seq))
                failed(&journal, op, w.lastError());
            journal.line("! " + op);
            ++seq;
        } else {
            w.list.setAbsolutePosition(int(random.bounded(rows)));
            const auto old = reliability::workloadSeq(w.list.currentMovie()[Field::Title]);
            if (!old)
                failed(&journal, "read", "a movie the worker did not write: " + w.list.currentMovie()[Field::Title]);
            QString op;
            bool ok = false;
            if (dice < 75) {
                op = QString("EDIT %1 %2").arg(*old).arg(seq);
                journal.line("? " + op);
                w.values = reliability::workloadMovie(seq++);
                ok = w.list.edit() && w.list.updateRecord();
            } else {
                op = QString("DEL %1").arg(*old);
                journal.line("? " + op);
                ok = w.list.deleteCurrent();
            }
            if (!ok)
                failed(&journal, op, w.lastError());
            journal.line("! " + op);
        }
        if (!w.list.refresh())
            failed(&journal, "list", w.lastError());
    }
}

int lock(const QString &file)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    ConnectionPtr db(raw);
    if (sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        failed(nullptr, "lock", QString::fromUtf8(sqlite3_errmsg(raw)));
    say("locked");
    waitForStdinToClose();
    sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
    return 0;
}

int compact(const QString &folder)
{
    const platform::Failure e = compactCatalogue(platform::catalogueFile(folder), platform::compactionWorkFile(folder));
    std::printf("%s\n", qPrintable(e ? e.message : QString("compacted")));
    return e ? 2 : 0;
}

// A save that finds the other program busy for longer than the busy timeout is tried
// again, as a user told "in use" would.
int add(const QString &folder, qint64 seq, int count)
{
    Writer w(platform::catalogueFile(folder));
    for (int i = 0; i < count; ++i) {
        int attempts = 0;
        while (!w.add(seq + i)) {
            if ((w.adder.lastError().code & 0xFF) != SQLITE_BUSY || ++attempts == 30)
                failed(nullptr, QString("ADD %1").arg(seq + i), w.lastError());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const QString mode = a.value(1);
    if (mode == "churn" && a.size() == 6)
        return churn(a[2], a[3], a[4].toLongLong(), a[5].toUInt());
    if (mode == "lock" && a.size() == 3)
        return lock(a[2]);
    if (mode == "compact" && a.size() == 3)
        return compact(a[2]);
    if (mode == "add" && a.size() == 5)
        return add(a[2], a[3].toLongLong(), a[4].toInt());
    std::fprintf(stderr, "usage: see the top of reliability_worker.cpp\n");
    return 64;
}
