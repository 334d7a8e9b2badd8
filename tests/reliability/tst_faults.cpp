// Engine faults: every write, sync, read or truncate along an add, an edit, a delete
// and a compaction is made to fail in turn, through a fault layer under SQLite.
#include "faultvfs.h"

#include "catalogue/compaction.h"
#include "catalogue/database.h"
#include "mainwindow/frmmain.h"
#include "platform/appfolder.h"
#include "platform/settings.h"
#include "tests/common/testfolder.h"
#include "tools/cataloguemaker.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>

void moviaryInitResources();

using catalogue::Field;
using catalogue::Movie;
using faultvfs::Op;

namespace {

// One way for the disk to fail.
struct Fault {
    const char *name;
    Op op;
    int code;
    int times; // 0: every operation from the first failing one on
};

const Fault Faults[] = {
    {"write I/O error", Op::Write, SQLITE_IOERR_WRITE, 1},
    // The second failure hits the rollback: the next connection must finish it.
    {"two write I/O errors", Op::Write, SQLITE_IOERR_WRITE, 2},
    {"disk full", Op::Write, SQLITE_FULL, 0},
    {"sync I/O error", Op::Sync, SQLITE_IOERR_FSYNC, 1},
    {"read I/O error", Op::Read, SQLITE_IOERR_READ, 1},
    {"truncate I/O error", Op::Truncate, SQLITE_IOERR_TRUNCATE, 1},
};

// A message names the problem when it says what the disk did.
bool namesProblem(const Fault &fault, const QString &message)
{
    if (fault.code == SQLITE_FULL)
        return message.contains("disk is full", Qt::CaseInsensitive);
    return message.contains("input/output error", Qt::CaseInsensitive) ||
           message.contains("I/O error", Qt::CaseInsensitive);
}

struct Tally {
    int injected = 0;  // operations made to fail
    int refused = 0;   // steps that failed, said why and changed nothing
    int completed = 0; // steps that completed in spite of the fault
};

// The catalogue as a fresh connection finds it, a hot journal rolled back first.
struct Snapshot {
    QByteArray bytes;
    std::vector<Movie> movies;
    QString integrity;
    QString error;
};

// The file's bytes, read through SQLite's own file layer: closing a descriptor of our
// own would drop the locks the program's connections hold.
QByteArray fileBytes(const QString &path)
{
    sqlite3_vfs *vfs = sqlite3_vfs_find("unix");
    std::vector<char> buffer(size_t(vfs->szOsFile));
    auto *file = reinterpret_cast<sqlite3_file *>(buffer.data());
    int flags = 0;
    const QByteArray name = path.toUtf8();
    if (vfs->xOpen(vfs, name.constData(), file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) != SQLITE_OK)
        return {};
    sqlite3_int64 size = 0;
    QByteArray bytes;
    if (file->pMethods->xFileSize(file, &size) == SQLITE_OK) {
        bytes.resize(qsizetype(size));
        if (file->pMethods->xRead(file, bytes.data(), int(size), 0) != SQLITE_OK)
            bytes.clear();
    }
    file->pMethods->xClose(file);
    return bytes;
}

Snapshot snapshot(const QString &path)
{
    Snapshot s;
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    catalogue::ConnectionPtr db(raw);
    sqlite3_busy_timeout(raw, 2000);
    sqlite3_stmt *st = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(raw, "SELECT Title, Description, Category, Actors, Review, Rating, Year, Time "
                                     "FROM Movies ORDER BY rowid", -1, &st, nullptr);
    catalogue::StatementPtr rows(st);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        Movie m;
        for (int i = 0; i < catalogue::FieldCount; ++i) {
            m.isNull[i] = sqlite3_column_type(st, i) == SQLITE_NULL;
            m.values[i] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i));
        }
        s.movies.push_back(m);
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE) {
        s.error = QString::fromUtf8(sqlite3_errmsg(raw));
        return s;
    }
    rows.reset();
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &st, nullptr);
    rows.reset(st);
    if (sqlite3_step(st) == SQLITE_ROW)
        s.integrity = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    rows.reset();
    db.reset();
    s.bytes = fileBytes(path);
    return s;
}

QStringList titlesOf(const std::vector<Movie> &movies)
{
    QStringList titles;
    for (const Movie &m : movies)
        titles << m[Field::Title];
    titles.sort();
    return titles;
}

// Answers every message box while it lives: Yes where offered, else OK. Keeps what
// each box said.
class BoxWatcher {
public:
    BoxWatcher()
    {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            QAbstractButton *answer = box->button(QMessageBox::Yes);
            if (!answer)
                answer = box->button(QMessageBox::Ok);
            if (!answer)
                answer = box->defaultButton();
            if (answer)
                answer->click();
            else
                box->reject();
        });
        timer_.start();
    }
    QStringList texts;

private:
    QTimer timer_;
};

const QString Confirmation = "Are you sure you want to delete this movie ?";

// The movies a new catalogue holds: enough of them, with long reviews, that a deletion
// leaves free pages for a compaction to give back.
std::vector<Movie> collection()
{
    std::vector<Movie> movies;
    for (int i = 0; i < 24; ++i) {
        Movie m = testsupport::movie(QString("Movie %1").arg(i, 2, 10, QChar('0')), "Drama",
                                     QString::number(1950 + i));
        m[Field::Review] = QString("Seen on a Sunday. ").repeated(40 + i);
        movies.push_back(m);
    }
    movies[3][Field::Actors] = QString(); // a NULL field must not stop a write either
    movies[3].isNull[catalogue::index(Field::Actors)] = true;
    return movies;
}

QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

template <class T>
T *control(QWidget *window, const char *name)
{
    T *w = window ? window->findChild<T *>(name) : nullptr;
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The program started on its own folder with a copy of a prepared catalogue.
struct Program {
    testsupport::TestFolder folder;
    std::unique_ptr<FrmMain> window;

    explicit Program(const QByteArray &catalogueBytes)
    {
        QFile file(folder.catalogue());
        if (!file.open(QIODevice::WriteOnly) || file.write(catalogueBytes) != catalogueBytes.size())
            qFatal("cannot write the catalogue");
        file.close();
        window = std::make_unique<FrmMain>(folder.path());
        if (!window->Form_Load())
            qFatal("start-up failed: %s", qPrintable(window->loadError()));
        window->show();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != window.get() && w->isVisible())
                w->close();
        flushDeletes();
    }
    ~Program()
    {
        window.reset();
        flushDeletes();
    }
    void trigger(const char *tool) { control<QAction>(window.get(), tool)->trigger(); }
    QStringList listedTitles() const
    {
        QStringList titles;
        auto *model = window->findChild<QTableView *>("fpList1")->model();
        for (int r = 0; r < model->rowCount(); ++r)
            titles << model->index(r, 0).data().toString();
        titles.sort();
        return titles;
    }
};

void enter(QWidget *d, const Movie &m)
{
    control<QLineEdit>(d, "Text1")->setText(m[Field::Title]);
    control<QPlainTextEdit>(d, "Text2")->setPlainText(m[Field::Description]);
    control<QComboBox>(d, "cboCat")->setEditText(m[Field::Category]);
    control<QPlainTextEdit>(d, "Text3")->setPlainText(m[Field::Actors]);
    control<QPlainTextEdit>(d, "Text4")->setPlainText(m[Field::Review]);
    control<QComboBox>(d, "cboRating")->setEditText(m[Field::Rating]);
    control<QLineEdit>(d, "Text5")->setText(m[Field::Year]);
    control<QLineEdit>(d, "Text6")->setText(m[Field::Time]);
}

Movie shown(QWidget *d)
{
    return tools::makeMovie(control<QLineEdit>(d, "Text1")->text(), control<QPlainTextEdit>(d, "Text2")->toPlainText(),
                            control<QComboBox>(d, "cboCat")->currentText(),
                            control<QPlainTextEdit>(d, "Text3")->toPlainText(),
                            control<QPlainTextEdit>(d, "Text4")->toPlainText(),
                            control<QComboBox>(d, "cboRating")->currentText(), control<QLineEdit>(d, "Text5")->text(),
                            control<QLineEdit>(d, "Text6")->text());
}

QString where(const char *step, const Fault &fault, int n)
{
    return QString("%1, %2 at operation %3").arg(QLatin1String(step), QLatin1String(fault.name)).arg(n);
}

// What a step that writes the catalogue must leave after the n-th operation failed:
// either the step completed, or it was refused with a message naming the problem and
// the file is exactly as before. Answers whether the step completed.
bool checkOutcome(const QString &ctx, const Fault &fault, const QStringList &messages, const Snapshot &before,
                  const Snapshot &after, const std::vector<Movie> &expected, bool bytesMustMatch)
{
    [&] {
        QVERIFY2(after.error.isEmpty(), qPrintable(ctx + ": the catalogue cannot be read: " + after.error));
        QCOMPARE(after.integrity, QString("ok"));
        for (const QString &m : messages)
            QVERIFY2(namesProblem(fault, m), qPrintable(ctx + ": a message that does not name the problem: " + m));
    }();
    if (QTest::currentTestFailed())
        return false;
    const bool completed = after.movies == expected && (!bytesMustMatch || after.bytes != before.bytes);
    if (completed)
        return true;
    [&] {
        QVERIFY2(after.movies == before.movies, qPrintable(ctx + ": the catalogue holds neither the old nor the new movies"));
        QVERIFY2(after.bytes == before.bytes, qPrintable(ctx + ": the catalogue file changed though the step failed"));
        QVERIFY2(!messages.isEmpty(), qPrintable(ctx + ": the step failed and no message said so"));
    }();
    return false;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void addMovieUnderEveryFault();
    void editMovieUnderEveryFault();
    void deleteMovieUnderEveryFault();
    void compactionUnderEveryFault();
    void compactionDialogUnderEveryFault();

private:
    QByteArray template_;
    QByteArray fragmented_;
    Tally total_;
    void report(const char *step, const Tally &t);
};

void TestFaults::initTestCase()
{
    faultvfs::install();
    moviaryInitResources();
    testsupport::useTestSettings();
    platform::saveShowTipsAtStartup(false);

    testsupport::TestFolder folder;
    folder.makeCatalogue(collection());
    template_ = fileBytes(folder.catalogue());
    QVERIFY(!template_.isEmpty());

    // Half the movies deleted: the compaction has pages to give back.
    sqlite3 *raw = nullptr;
    QCOMPARE(sqlite3_open(folder.catalogue().toUtf8().constData(), &raw), SQLITE_OK);
    catalogue::ConnectionPtr db(raw);
    QCOMPARE(sqlite3_exec(raw, "DELETE FROM Movies WHERE rowid % 2 = 0", nullptr, nullptr, nullptr), SQLITE_OK);
    db.reset();
    fragmented_ = fileBytes(folder.catalogue());
}

void TestFaults::report(const char *step, const Tally &t)
{
    qInfo("%s: %d faults injected; %d times the step was refused with a message and nothing changed, "
          "%d times it completed",
          step, t.injected, t.refused, t.completed);
    total_.injected += t.injected;
    total_.refused += t.refused;
    total_.completed += t.completed;
}

void TestFaults::cleanupTestCase()
{
    qInfo("all steps: %d faults injected (%d by the fault layer), %d refused, %d completed", total_.injected,
          faultvfs::totalInjected(), total_.refused, total_.completed);
}

void TestFaults::addMovieUnderEveryFault()
{
    const Movie typed = tools::makeMovie("Zardoz", "A floating head", "Sci-Fi", "Sean Connery", "Odd",
                                         "R", "1974", "105");
    Tally tally;
    for (const Fault &fault : Faults) {
        for (int n = 1;; ++n) {
            const QString ctx = where("add", fault, n);
            Program p(template_);
            const Snapshot before = snapshot(p.folder.catalogue());
            std::vector<Movie> expected = before.movies;
            expected.push_back(typed);

            p.trigger("New");
            QPointer<QWidget> dialog = topLevel("frmAddNew");
            QVERIFY(dialog);
            enter(dialog, typed);

            QStringList messages;
            faultvfs::arm(fault.op, n, fault.code, fault.times);
            {
                BoxWatcher boxes;
                control<QPushButton>(dialog, "cmdFinish")->click();
                flushDeletes();
                messages = boxes.texts;
            }
            const int injected = faultvfs::disarm();
            if (!injected) {
                QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
                QCOMPARE(snapshot(p.folder.catalogue()).movies, expected);
                break;
            }
            tally.injected += injected;
            const Snapshot after = snapshot(p.folder.catalogue());
            const bool completed = checkOutcome(ctx, fault, messages, before, after, expected, false);
            if (QTest::currentTestFailed())
                return;
            if (completed) {
                ++tally.completed;
                QVERIFY2(!dialog || !dialog->isVisible(), qPrintable(ctx + ": saved, but the dialog stayed open"));
                if (messages.isEmpty())
                    QVERIFY2(p.listedTitles() == titlesOf(expected), qPrintable(ctx + ": the list shows " + p.listedTitles().join(", ")));
            } else {
                ++tally.refused;
                QVERIFY2(dialog && dialog->isVisible(), qPrintable(ctx + ": the dialog closed though nothing was saved"));
                QCOMPARE(shown(dialog), typed);
                // The disk is back: the same Finish saves the movie, once.
                BoxWatcher boxes;
                control<QPushButton>(dialog, "cmdFinish")->click();
                flushDeletes();
                QVERIFY2(boxes.texts.isEmpty(), qPrintable(ctx + ": retry: " + boxes.texts.join('\n')));
                QVERIFY2(!dialog || !dialog->isVisible(), qPrintable(ctx + ": retry left the dialog open"));
                QCOMPARE(snapshot(p.folder.catalogue()).movies, expected);
            }
            p.trigger("ListAll");
            QVERIFY2(p.listedTitles() == titlesOf(expected), qPrintable(ctx + ": the list shows " + p.listedTitles().join(", ")));
        }
    }
    report("add", tally);
}

void TestFaults::editMovieUnderEveryFault()
{
    Tally tally;
    for (const Fault &fault : Faults) {
        for (int n = 1;; ++n) {
            const QString ctx = where("edit", fault, n);
            Program p(template_);
            const Snapshot before = snapshot(p.folder.catalogue());

            p.trigger("Edit");
            QPointer<QWidget> dialog = topLevel("frmEdit");
            QVERIFY(dialog);
            const Movie original = shown(dialog);
            const auto row = std::find_if(before.movies.begin(), before.movies.end(), [&](const Movie &m) {
                return m[Field::Title] == original[Field::Title];
            });
            QVERIFY(row != before.movies.end());
            Movie typed = original;
            typed[Field::Title] = "Movie 00, director's cut";
            typed[Field::Review] = "Better the second time.";
            typed[Field::Time] = "131";
            enter(dialog, typed);
            std::vector<Movie> expected = before.movies;
            expected[size_t(row - before.movies.begin())] = typed;

            QStringList messages;
            faultvfs::arm(fault.op, n, fault.code, fault.times);
            {
                BoxWatcher boxes;
                control<QPushButton>(dialog, "cmdFinish")->click();
                flushDeletes();
                messages = boxes.texts;
            }
            const int injected = faultvfs::disarm();
            if (!injected) {
                QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
                QCOMPARE(snapshot(p.folder.catalogue()).movies, expected);
                break;
            }
            tally.injected += injected;
            const Snapshot after = snapshot(p.folder.catalogue());
            const bool completed = checkOutcome(ctx, fault, messages, before, after, expected, false);
            if (QTest::currentTestFailed())
                return;
            if (completed) {
                ++tally.completed;
                QVERIFY2(!dialog || !dialog->isVisible(), qPrintable(ctx + ": saved, but the dialog stayed open"));
                if (messages.isEmpty())
                    QVERIFY2(p.listedTitles() == titlesOf(expected), qPrintable(ctx + ": the list shows " + p.listedTitles().join(", ")));
            } else {
                ++tally.refused;
                QVERIFY2(dialog && dialog->isVisible(), qPrintable(ctx + ": the dialog closed though nothing was saved"));
                QCOMPARE(shown(dialog), typed);
                BoxWatcher boxes;
                control<QPushButton>(dialog, "cmdFinish")->click();
                flushDeletes();
                QVERIFY2(boxes.texts.isEmpty(), qPrintable(ctx + ": retry: " + boxes.texts.join('\n')));
                QVERIFY2(!dialog || !dialog->isVisible(), qPrintable(ctx + ": retry left the dialog open"));
                QCOMPARE(snapshot(p.folder.catalogue()).movies, expected);
            }
            p.trigger("ListAll");
            QVERIFY2(p.listedTitles() == titlesOf(expected), qPrintable(ctx + ": the list shows " + p.listedTitles().join(", ")));
        }
    }
    report("edit", tally);
}

void TestFaults::deleteMovieUnderEveryFault()
{
    Tally tally;
    for (const Fault &fault : Faults) {
        for (int n = 1;; ++n) {
            const QString ctx = where("delete", fault, n);
            Program p(template_);
            const Snapshot before = snapshot(p.folder.catalogue());
            const QString doomed = control<QLabel>(p.window.get(), "lblTitle")->text();
            std::vector<Movie> expected;
            for (const Movie &m : before.movies)
                if (m[Field::Title] != doomed)
                    expected.push_back(m);
            QCOMPARE(expected.size() + 1, before.movies.size());

            QStringList messages;
            faultvfs::arm(fault.op, n, fault.code, fault.times);
            {
                BoxWatcher boxes;
                p.trigger("Delete");
                flushDeletes();
                messages = boxes.texts;
            }
            const int injected = faultvfs::disarm();
            QVERIFY2(!messages.isEmpty() && messages.takeFirst() == Confirmation, qPrintable(ctx));
            if (!injected) {
                QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
                QCOMPARE(snapshot(p.folder.catalogue()).movies, expected);
                break;
            }
            tally.injected += injected;
            const Snapshot after = snapshot(p.folder.catalogue());
            const bool completed = checkOutcome(ctx, fault, messages, before, after, expected, false);
            if (QTest::currentTestFailed())
                return;
            if (completed) {
                ++tally.completed;
                if (messages.isEmpty())
                    QVERIFY2(p.listedTitles() == titlesOf(expected), qPrintable(ctx + ": the list shows " + p.listedTitles().join(", ")));
            } else {
                ++tally.refused;
                QVERIFY2(messages.first().startsWith("The movie could not be deleted."), qPrintable(ctx));
                // The movie is still the current one: deleting it again works.
                QCOMPARE(control<QLabel>(p.window.get(), "lblTitle")->text(), doomed);
                BoxWatcher boxes;
                p.trigger("Delete");
                QCOMPARE(boxes.texts, QStringList{Confirmation});
                QCOMPARE(snapshot(p.folder.catalogue()).movies, expected);
            }
            p.trigger("ListAll");
            QVERIFY2(p.listedTitles() == titlesOf(expected), qPrintable(ctx + ": the list shows " + p.listedTitles().join(", ")));
        }
    }
    report("delete", tally);
}

void TestFaults::compactionUnderEveryFault()
{
    testsupport::TestFolder folder;
    const QString file = folder.catalogue();
    const QString work = platform::compactionWorkFile(folder.path());
    Tally tally;
    for (const Fault &fault : Faults) {
        for (int n = 1;; ++n) {
            const QString ctx = where("compaction", fault, n);
            {
                QFile f(file);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                QCOMPARE(f.write(fragmented_), fragmented_.size());
            }
            const Snapshot before = snapshot(file);
            QCOMPARE(before.bytes, fragmented_);

            faultvfs::arm(fault.op, n, fault.code, fault.times);
            const catalogue::CatalogueError error = catalogue::compactCatalogue(file, work);
            const int injected = faultvfs::disarm();
            const Snapshot after = snapshot(file);
            QVERIFY2(!QFile::exists(work), qPrintable(ctx + ": the work file was left behind"));
            QVERIFY2(!QFile::exists(work + "-journal"), qPrintable(ctx + ": the work file's journal was left behind"));
            if (!injected) {
                QVERIFY2(!error, qPrintable(error.message));
                QCOMPARE(after.movies, before.movies);
                QVERIFY(after.bytes.size() < before.bytes.size());
                break;
            }
            tally.injected += injected;
            const QStringList messages = error ? QStringList{error.message} : QStringList{};
            const bool completed = checkOutcome(ctx, fault, messages, before, after, before.movies, true);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(completed == !error, qPrintable(ctx + ": the answer does not tell what happened: " + error.message));
            ++(completed ? tally.completed : tally.refused);
        }
    }
    report("compaction", tally);
}

void TestFaults::compactionDialogUnderEveryFault()
{
    Tally tally;
    for (const Fault &fault : Faults) {
        for (int n = 1;; ++n) {
            const QString ctx = where("compaction dialog", fault, n);
            Program p(fragmented_);
            const Snapshot before = snapshot(p.folder.catalogue());
            p.trigger("Compact");
            QPointer<QWidget> dialog = topLevel("frmCompact");
            QVERIFY(dialog);

            faultvfs::arm(fault.op, n, fault.code, fault.times);
            QStringList boxes;
            {
                BoxWatcher watcher;
                control<QPushButton>(dialog, "cmdCompact")->click();
                boxes = watcher.texts;
            }
            const int injected = faultvfs::disarm();
            QVERIFY2(boxes.isEmpty(), qPrintable(ctx + ": " + boxes.join('\n')));
            const QString status = control<QLabel>(dialog, "lblStatus")->text();
            const QString reason = control<QLabel>(dialog, "lblReason")->text();
            const Snapshot after = snapshot(p.folder.catalogue());
            QVERIFY(!QFile::exists(platform::compactionWorkFile(p.folder.path())));
            if (!injected) {
                QCOMPARE(status, QString("Database Compacted !"));
                QCOMPARE(after.movies, before.movies);
                break;
            }
            tally.injected += injected;
            const bool failed = status == "Compaction failed";
            QVERIFY2(failed || status == "Database Compacted !", qPrintable(ctx + ": " + status));
            const bool completed = checkOutcome(ctx, fault, failed ? QStringList{reason} : QStringList{}, before,
                                                after, before.movies, true);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(completed == !failed, qPrintable(ctx + ": the dialog does not tell what happened"));
            ++(completed ? tally.completed : tally.refused);

            // Finish closes the dialog and the main window lists every movie again.
            control<QPushButton>(dialog, "cmdCompact")->click();
            flushDeletes();
            QCOMPARE(p.listedTitles(), titlesOf(before.movies));
        }
    }
    report("compaction dialog", tally);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
