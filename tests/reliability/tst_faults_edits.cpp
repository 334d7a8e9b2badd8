// SPDX-License-Identifier: GPL-3.0-or-later
// Engine faults along the edits a user makes: every write, sync, read or truncate of
// an add, an edit and a delete is made to fail in turn, through a layer under SQLite.
#include "faultcases.h"

#include "catalogue/schema.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>

using catalogue::Field;
using catalogue::Movie;
using namespace faultcases;
using testsupport::enter;
using testsupport::shown;

namespace {

const QString Confirmation = "Are you sure you want to delete this movie ?";
Tally total;

// The list shows these movies and no others.
void checkList(const QString &ctx, const Program &p, const std::vector<Movie> &movies)
{
    const QStringList listed = p.listedTitles();
    QVERIFY2(listed == titlesOf(movies), qPrintable(ctx + ": the list shows " + listed.join(", ")));
}

// Opens a dialog with the tool, types into it (answering the movies the catalogue must
// hold once it is saved), then clicks Finish with the n-th operation failing, for
// every fault and every n until a Finish meets no fault.
void saveUnderEveryFault(const char *step, const char *tool, const char *dialogName,
                         const std::function<std::vector<Movie>(QWidget *, const Snapshot &)> &typeInto)
{
    Tally tally;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where(step, fault, n);
            Program p(fullCatalogue());
            const Snapshot before = snapshot(p.folder.catalogue());
            p.trigger(tool);
            QPointer<QWidget> dialog = topLevel(dialogName);
            QVERIFY2(dialog, qPrintable(ctx));
            const std::vector<Movie> expected = typeInto(dialog, before);
            const Movie typed = shown(dialog);

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
                    checkList(ctx, p, expected);
            } else {
                ++tally.refused;
                QVERIFY2(dialog && dialog->isVisible(),
                         qPrintable(ctx + ": the dialog closed though nothing was saved"));
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
            checkList(ctx, p, expected);
            if (QTest::currentTestFailed())
                return;
        }
    }
    tally.report(step);
    total += tally;
}

} // namespace

class TestFaultsEdits : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUp(); }
    void cleanupTestCase() { total.report("all edits"); }
    void addMovieUnderEveryFault();
    void editMovieUnderEveryFault();
    void deleteMovieUnderEveryFault();
};

void TestFaultsEdits::addMovieUnderEveryFault()
{
    saveUnderEveryFault("add", "New", "frmAddNew", [](QWidget *dialog, const Snapshot &before) {
        const Movie typed =
            catalogue::makeMovie("Zardoz", "A floating head", "Sci-Fi", "Sean Connery", "Odd", "R", "1974", "105");
        enter(dialog, typed);
        std::vector<Movie> expected = before.movies;
        expected.push_back(typed);
        return expected;
    });
}

void TestFaultsEdits::editMovieUnderEveryFault()
{
    saveUnderEveryFault("edit", "Edit", "frmEdit", [](QWidget *dialog, const Snapshot &before) {
        std::vector<Movie> expected = before.movies;
        const Movie original = shown(dialog);
        const auto row = std::find_if(expected.begin(), expected.end(),
                                      [&](const Movie &m) { return m[Field::Title] == original[Field::Title]; });
        if (row == expected.end())
            qFatal("the edited movie is not in the catalogue");
        Movie typed = *row;
        typed[Field::Title] = "Movie 00, director's cut";
        typed[Field::Review] = "Better the second time.";
        typed[Field::Time] = "131";
        enter(dialog, typed);
        *row = typed;
        return expected;
    });
}

void TestFaultsEdits::deleteMovieUnderEveryFault()
{
    Tally tally;
    for (const Fault &fault : faults()) {
        for (int n = 1;; ++n) {
            const QString ctx = where("delete", fault, n);
            Program p(fullCatalogue());
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
                    checkList(ctx, p, expected);
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
            checkList(ctx, p, expected);
        }
    }
    tally.report("delete");
    total += tally;
}

QTEST_MAIN(TestFaultsEdits)
#include "tst_faults_edits.moc"
