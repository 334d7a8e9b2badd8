// SPDX-License-Identifier: GPL-3.0-or-later
// Times the main window's work on catalogues of 1,000, 10,000 and 100,000 movies, each
// figure the median of five runs, from the action to the painted window.
//   moviary-bench            runs every size (each in a child process of its own)
//   moviary-bench SIZE       measures one size
#include "bench/generator.h"
#include "bench/measure.h"
#include "catalogue/compaction.h"
#include "catalogue/schema.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "platform/settings.h"
#include "report/report.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using namespace bench;

constexpr int Runs = 5;

int make(int size, const QString &folder)
{
    if (const platform::Failure error =
            catalogue::createCatalogue(folder + "/DVDs.mdb", bench::generateMovies(size), true)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    return 0;
}

// Lets closed dialogs go, as the event loop would between two actions of a user.
void settle()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget *topLevel(const char *name)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == name && top->isVisible())
            return top;
    return nullptr;
}

// Changes one movie through a connection of its own, as another program would.
void changeElsewhere(const QDir &folder, int n)
{
    sqlite3 *raw = nullptr;
    sqlite3_open(folder.filePath("DVDs.mdb").toUtf8().constData(), &raw);
    catalogue::ConnectionPtr db(raw);
    const QByteArray sql = "UPDATE Movies SET Review = 'changed " + QByteArray::number(n) + "' WHERE rowid = 1";
    sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr);
}

int measure(int size, const QDir &folder)
{
    QFile::copy(QCoreApplication::applicationDirPath() + "/TIPOFDAY.TXT", folder.filePath("TIPOFDAY.TXT"));
    std::printf("%d movies (median of %d runs)\n", size, Runs);

    (void)platform::saveShowTipsAtStartup(false);
    std::unique_ptr<FrmMain> w;
    printFigure("start to painted main window and About box", median(
                                                                  Runs,
                                                                  [&] {
                                                                      w = std::make_unique<FrmMain>(folder.path());
                                                                      w->load();
                                                                      w->show();
                                                                      w->repaint();
                                                                      QApplication::processEvents();
                                                                  },
                                                                  [&] {
                                                                      if (w)
                                                                          closeOtherWindows(w.get());
                                                                      w.reset();
                                                                  }));
    printFigure("resident memory after start", residentKb() / 1024.0, "MB");
    closeOtherWindows(w.get());

    auto *list = w->findChild<QTableView *>("fpList1");
    auto *counter = w->findChild<QWidget *>("lblRecordCount");
    auto paintList = [&] {
        list->viewport()->repaint();
        counter->repaint();
    };
    auto *listAll = w->findChild<QAction *>("ListAll");
    int button = 0;
    auto category = [&] { w->findChild<QPushButton *>(QString("cmdCategory_%1").arg(button++ % 12 + 1))->click(); };
    printFigure("List All to painted list", median(
                                                Runs,
                                                [&] {
                                                    listAll->trigger();
                                                    paintList();
                                                },
                                                category));
    int changes = 0;
    printFigure("List All after another program wrote", median(
                                                            Runs,
                                                            [&] {
                                                                listAll->trigger();
                                                                paintList();
                                                            },
                                                            [&] { changeElsewhere(folder, ++changes); }));

    auto *next = w->findChild<QPushButton *>("cmdNext");
    const int steps = std::min(1000, size - 1);
    printFigure("Next move (mean)", ms([&] {
                                        for (int i = 0; i < steps; ++i)
                                            next->click();
                                    }) / steps);
    listAll->trigger();

    auto scroll = [&] {
        QScrollBar *bar = list->verticalScrollBar();
        bar->setValue(0);
        return ms([&] {
                   for (int i = 0; i < 200; ++i) {
                       bar->setValue(bar->value() + bar->singleStep());
                       list->viewport()->repaint();
                   }
               }) /
               200;
    };
    printFigure("scroll step of the list (mean)", scroll());

    printFigure("category listing to painted list", median(
                                                        Runs,
                                                        [&] {
                                                            category();
                                                            paintList();
                                                        },
                                                        [&] { listAll->trigger(); }));
    auto *search = w->findChild<QPushButton *>("cmdSearch");
    auto *field = w->findChild<QComboBox *>("cboField");
    auto *text = w->findChild<QLineEdit *>("txtSearch");
    const QStringList words{"storm", "raven", "glass", "winter", "harbor", "amber", "silver"};
    int word = 0;
    auto searchIn = [&](const char *entry, bool twoWords) {
        field->setEditText(entry);
        return median(Runs, [&] {
            const int first = word++ % words.size();
            text->setText(twoWords ? words[first] + " " + words[(first + 1) % words.size()] : words[first]);
            search->click();
            paintList();
        });
    };
    printFigure("search in the title to painted list", searchIn("Title", false));
    printFigure("search in the description to painted list", searchIn("Description", true));
    if (field->findText("All Fields") >= 0)
        printFigure("search in all fields to painted list", searchIn("All Fields", false));
    else
        std::printf("  %-44s %10s\n", "search in all fields to painted list", "n/a");
    {
        // Typed without marks, found with them: the folding of accents and ligatures on every row.
        const QStringList unmarked{"chateau", "ete", "strasse", "nino", "oeuvre", "aeon", "soren"};
        field->setEditText("Title");
        printFigure("search typed without marks, in the title", median(Runs, [&] {
                        text->setText(unmarked[word++ % unmarked.size()]);
                        search->click();
                        paintList();
                    }));
    }
    field->setEditText("Title");

    listAll->trigger();
    auto *descending = w->findChild<QAction *>("Descending");
    auto *ascending = w->findChild<QAction *>("Ascending");
    printFigure("switch to descending order", median(
                                                  Runs,
                                                  [&] {
                                                      descending->trigger();
                                                      paintList();
                                                  },
                                                  [&] { ascending->trigger(); }));
    ascending->trigger();
    auto *merge = w->findChild<QAction *>("Merge");
    bool mergeOn = false;
    printFigure("switch merge on", median(
                                       Runs,
                                       [&] {
                                           merge->trigger();
                                           paintList();
                                           mergeOn = true;
                                       },
                                       [&] {
                                           if (mergeOn)
                                               merge->trigger();
                                           mergeOn = false;
                                       }));
    printFigure("scroll step of the merged list (mean)", scroll());
    merge->trigger();

    // Editing movies of the full list, the last one first.
    auto chooseRow = [&](int pos) {
        listAll->trigger();
        w->mainCursor().setAbsolutePosition(pos);
    };
    int chosen = size;
    auto openEdit = [&] {
        w->findChild<QAction *>("Edit")->trigger();
        if (QWidget *dialog = topLevel("frmEdit"))
            dialog->repaint();
    };
    auto chooseAnother = [&] {
        if (QWidget *dialog = topLevel("frmEdit"))
            dialog->close();
        settle();
        chooseRow(--chosen);
    };
    printFigure("open the edit dialog", median(Runs, openEdit, chooseAnother));
    if (QWidget *dialog = topLevel("frmEdit"))
        dialog->close();
    settle();

    QPushButton *finish = nullptr;
    int edits = 0;
    printFigure("Finish of an edit with the new listing",
                median(
                    Runs,
                    [&] {
                        finish->click();
                        paintList();
                    },
                    [&] {
                        settle();
                        chooseRow(size / 2 + edits);
                        w->findChild<QAction *>("Edit")->trigger();
                        QWidget *dialog = topLevel("frmEdit");
                        dialog->findChild<QLineEdit *>("Text1")->setText(QString("Edited %1").arg(++edits));
                        finish = dialog->findChild<QPushButton *>("cmdFinish");
                    }));
    printFigure("Finish of an add with the new listing",
                median(
                    Runs,
                    [&] {
                        finish->click();
                        paintList();
                    },
                    [&] {
                        settle();
                        w->findChild<QAction *>("New")->trigger();
                        QWidget *dialog = topLevel("frmAddNew");
                        dialog->findChild<QLineEdit *>("Text1")->setText(QString("Added %1").arg(++edits));
                        finish = dialog->findChild<QPushButton *>("cmdFinish");
                    }));

    QElapsedTimer t;
    QObject::connect(&w->mainCursor(), &catalogue::RecordCursor::validate, [&](int action) {
        if (action == int(catalogue::CursorAction::Delete))
            t.start();
    });
    std::vector<double> deletes;
    for (int i = 0; i < Runs; ++i) {
        settle();
        chooseRow(size / 3 + i);
        QTimer::singleShot(0, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Yes)->click();
        });
        w->findChild<QAction *>("Delete")->trigger();
        paintList();
        deletes.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(deletes.begin(), deletes.end());
    printFigure("delete with the new listing (after Yes)", deletes[deletes.size() / 2]);
    printFigure("resident memory after all of these", residentKb() / 1024.0, "MB");
    w.reset();

    if (size == 1000) {
        report::Report printed(folder.path());
        const QString pdf = folder.filePath("movies.pdf");
        printFigure("lay out and write a PDF of every movie", ms([&] { printed.printToPdf(pdf); }));
    }
    // Space to give back: a tenth of the movies deleted before each run.
    printFigure("compaction of the catalogue",
                median(
                    Runs,
                    [&] {
                        if (const platform::Failure e =
                                catalogue::compactCatalogue(folder.filePath("DVDs.mdb"), folder.filePath("DVDs1.mdb")))
                            qFatal("%s", qPrintable(e.message));
                    },
                    [&] {
                        sqlite3 *raw = nullptr;
                        sqlite3_open(folder.filePath("DVDs.mdb").toUtf8().constData(), &raw);
                        catalogue::ConnectionPtr db(raw);
                        sqlite3_exec(raw, "DELETE FROM Movies WHERE rowid % 50 = 0", nullptr, nullptr, nullptr);
                    }));
    return 0;
}

} // namespace

int main(int argc, char **argv) { return bench::runBySize(argc, argv, make, measure, {1000, 10000, 100000}); }
