// SPDX-License-Identifier: GPL-3.0-or-later
#include "faultcases.h"

#include "catalogue/database.h"
#include "platform/settings.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using catalogue::Field;
using catalogue::Movie;
using faultvfs::Op;

namespace faultcases {

namespace {

// The movies a new catalogue holds: enough of them, with long reviews, that a deletion
// leaves free pages for a compaction to give back.
std::vector<Movie> collection()
{
    std::vector<Movie> movies;
    for (int i = 0; i < 24; ++i) {
        Movie m = testsupport::movie(QString("Movie %1").arg(i, 2, 10, QChar('0')), "Drama", QString::number(1950 + i));
        m[Field::Review] = QString("Seen on a Sunday. ").repeated(40 + i);
        movies.push_back(m);
    }
    movies[3][Field::Actors] = QString(); // a NULL field must not stop a write either
    movies[3].isNull[catalogue::index(Field::Actors)] = true;
    return movies;
}

QByteArray full, fragmented;

} // namespace

const std::vector<Fault> &faults()
{
    static const std::vector<Fault> list{
        {"write I/O error", Op::Write, SQLITE_IOERR_WRITE, 1},
        // The second failure hits the rollback: the next connection must finish it.
        {"two write I/O errors", Op::Write, SQLITE_IOERR_WRITE, 2},
        {"disk full", Op::Write, SQLITE_FULL, 0},
        {"sync I/O error", Op::Sync, SQLITE_IOERR_FSYNC, 1},
        {"read I/O error", Op::Read, SQLITE_IOERR_READ, 1},
        {"truncate I/O error", Op::Truncate, SQLITE_IOERR_TRUNCATE, 1},
    };
    return list;
}

bool namesProblem(const Fault &fault, const QString &message)
{
    if (fault.code == SQLITE_FULL)
        return message.contains("disk is full", Qt::CaseInsensitive);
    return message.contains("input/output error", Qt::CaseInsensitive) ||
           message.contains("I/O error", Qt::CaseInsensitive);
}

void Tally::report(const char *step) const
{
    qInfo("%s: %d faults injected; %d times the step was refused with a message and nothing changed, "
          "%d times it completed",
          step, injected, refused, completed);
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
        rc = sqlite3_prepare_v2(raw,
                                "SELECT Title, Description, Category, Actors, Review, Rating, Year, Time "
                                "FROM Movies ORDER BY rowid",
                                -1, &st, nullptr);
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

void setUp()
{
    faultvfs::install();
    moviaryInitResources();
    testsupport::useTestSettings();
    (void)platform::saveShowTipsAtStartup(false);

    testsupport::TestFolder folder;
    folder.makeCatalogue(collection());
    full = fileBytes(folder.catalogue());
    sqlite3 *raw = nullptr;
    sqlite3_open(folder.catalogue().toUtf8().constData(), &raw);
    catalogue::ConnectionPtr db(raw);
    if (sqlite3_exec(raw, "DELETE FROM Movies WHERE rowid % 2 = 0", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot prepare the catalogue");
    db.reset();
    fragmented = fileBytes(folder.catalogue());
    if (full.isEmpty() || fragmented.isEmpty())
        qFatal("cannot prepare the catalogue");
}

QByteArray fullCatalogue() { return full; }

QByteArray fragmentedCatalogue() { return fragmented; }

BoxWatcher::BoxWatcher()
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

Program::Program(const QByteArray &catalogueBytes)
{
    QFile file(folder.catalogue());
    if (!file.open(QIODevice::WriteOnly) || file.write(catalogueBytes) != catalogueBytes.size())
        qFatal("cannot write the catalogue");
    file.close();
    window = std::make_unique<FrmMain>(folder.path());
    if (!window->load())
        qFatal("start-up failed: %s", qPrintable(window->loadError()));
    window->show();
    testsupport::closeWindowsBut("frmMain");
    flushDeletes();
}

Program::~Program()
{
    window.reset();
    flushDeletes();
}

QStringList Program::listedTitles() const
{
    QStringList titles;
    auto *model = window->findChild<QTableView *>("fpList1")->model();
    for (int r = 0; r < model->rowCount(); ++r)
        titles << model->index(r, 0).data().toString();
    titles.sort();
    return titles;
}

QString where(const char *step, const Fault &fault, int n)
{
    return QString("%1, %2 at operation %3").arg(QLatin1String(step), QLatin1String(fault.name)).arg(n);
}

// What a step that writes the catalogue must leave after the n-th operation failed:
// either the step completed, or it was refused with a message naming the problem and
// the file is exactly as before. Answers whether the step completed.
bool checkOutcome(const QString &ctx, const Fault &fault, const QStringList &messages, const Snapshot &before,
                  const Snapshot &after, const std::vector<Movie> &expected, bool layoutOnly)
{
    [&] {
        QVERIFY2(after.error.isEmpty(), qPrintable(ctx + ": the catalogue cannot be read: " + after.error));
        QCOMPARE(after.integrity, QString("ok"));
        for (const QString &m : messages)
            QVERIFY2(namesProblem(fault, m), qPrintable(ctx + ": a message that does not name the problem: " + m));
    }();
    if (QTest::currentTestFailed())
        return false;
    const bool completed = after.movies == expected && (!layoutOnly || after.bytes != before.bytes);
    if (completed)
        return true;
    [&] {
        QVERIFY2(after.movies == before.movies,
                 qPrintable(ctx + ": the catalogue holds neither the old nor the new movies"));
        QVERIFY2(after.bytes == before.bytes, qPrintable(ctx + ": the catalogue file changed though the step failed"));
        QVERIFY2(!messages.isEmpty(), qPrintable(ctx + ": the step failed and no message said so"));
    }();
    return false;
}

} // namespace faultcases
