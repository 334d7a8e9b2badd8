// Times the main window's work on catalogues of 1,000, 10,000 and 100,000 movies.
//   moviary-bench            runs every size (each in a child process of its own)
//   moviary-bench SIZE       measures one size
#include "bench/generator.h"
#include "catalogue/compaction.h"
#include "maintenance/report.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "platform/settings.h"
#include "tools/cataloguemaker.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

void moviaryInitResources();

namespace {

double ms(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

// The smallest of several runs: the least disturbed by the rest of the machine.
double best(int runs, const std::function<void()> &work)
{
    double b = 1e18;
    for (int i = 0; i < runs; ++i)
        b = std::min(b, ms(work));
    return b;
}

long residentKb()
{
    QFile f("/proc/self/status");
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void report(const char *what, double value, const char *unit = "ms")
{
    std::printf("  %-44s %10.2f %s\n", what, value, unit);
    std::fflush(stdout);
}

void closeOtherWindows(QWidget *main)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != main && w->isWindow() && w->isVisible())
            w->close();
    QApplication::processEvents();
}

int make(int size, const QString &folder)
{
    QString error;
    if (!tools::createCatalogue(folder + "/DVDs.mdb", bench::generateMovies(size), true, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

int measure(int size, const QDir &folder)
{
    QFile::copy(QCoreApplication::applicationDirPath() + "/TIPOFDAY.TXT", folder.filePath("TIPOFDAY.TXT"));
    std::printf("%d movies\n", size);

    platform::saveShowTipsAtStartup(false);
    std::unique_ptr<FrmMain> w;
    report("start to painted main window and About box", ms([&] {
               w = std::make_unique<FrmMain>(folder.path());
               w->load();
               w->show();
               w->repaint();
               QApplication::processEvents();
           }));
    if (size == 100000)
        report("resident memory after start", residentKb() / 1024.0, "MB");
    closeOtherWindows(w.get());
    w.reset();

    platform::saveShowTipsAtStartup(true);
    report("start with About box and tip window", ms([&] {
               w = std::make_unique<FrmMain>(folder.path());
               w->load();
               w->show();
               w->repaint();
               QApplication::processEvents();
           }));
    platform::saveShowTipsAtStartup(false);
    closeOtherWindows(w.get());

    auto *list = w->findChild<QTableView *>("fpList1");
    auto *counter = w->findChild<QWidget *>("lblRecordCount");
    auto paintList = [&] {
        list->viewport()->repaint();
        counter->repaint();
    };
    // As after a dialog saved: the database was closed, so the query runs afresh.
    report("ListAllRecords to painted list", best(5, [&] {
               w->mainCursor().closeDatabase();
               w->listAllRecords();
               paintList();
           }));

    auto *next = w->findChild<QPushButton *>("cmdNext");
    w->findChild<QAction *>("List")->trigger();
    const int steps = std::min(1000, size - 1);
    report("Next move (mean)", ms([&] {
               for (int i = 0; i < steps; ++i)
                   next->click();
           }) / steps);
    w->findChild<QAction *>("List")->trigger();

    auto scroll = [&] {
        QScrollBar *bar = list->verticalScrollBar();
        bar->setValue(0);
        return ms([&] {
                   for (int i = 0; i < 200; ++i) {
                       bar->setValue(bar->value() + bar->singleStep());
                       list->viewport()->repaint();
                   }
               }) / 200;
    };
    report("scroll step of the list (mean)", scroll());

    int button = 0;
    report("category listing to painted list", best(5, [&] {
               w->findChild<QPushButton *>(QString("cmdCategory_%1").arg(++button))->click();
               paintList();
           }));
    auto *search = w->findChild<QPushButton *>("cmdSearch");
    const QStringList words{"storm", "raven", "glass", "winter", "harbor"};
    int word = 0;
    report("search in the title to painted list", best(5, [&] {
               w->findChild<QLineEdit *>("txtSearch")->setText(words[word++]);
               search->click();
               paintList();
           }));
    w->findChild<QComboBox *>("cboField")->setEditText("Description");
    word = 0;
    report("search in the description to painted list", best(5, [&] {
               const int first = word++;
               w->findChild<QLineEdit *>("txtSearch")->setText(words[first] + " " + words[word % 5]);
               search->click();
               paintList();
           }));
    w->listAllRecords();
    report("switch to descending order", best(3, [&] {
               w->findChild<QAction *>("Descending")->trigger();
               paintList();
               w->findChild<QAction *>("Ascending")->trigger();
           }));
    auto *merge = w->findChild<QAction *>("Merge");
    report("switch merge on", best(3, [&] {
               merge->trigger();
               paintList();
               merge->trigger();
           }));
    merge->trigger();
    report("scroll step of the merged list (mean)", scroll());
    merge->trigger();

    // Edit the last movie of the full list.
    w->listAllRecords();
    list->scrollToBottom();
    w->mainCursor().setAbsolutePosition(size - 1);
    report("open the edit dialog on the last movie", ms([&] {
               w->findChild<QAction *>("Edit")->trigger();
               for (QWidget *top : QApplication::topLevelWidgets())
                   if (top->objectName() == "frmEdit")
                       top->repaint();
           }));
    QPushButton *finish = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmEdit" && top->isVisible())
            finish = top->findChild<QPushButton *>("cmdFinish");
    if (finish)
        report("Finish of an edit with the new listing", ms([&] {
                   finish->click();
                   paintList();
               }));
    w->findChild<QAction *>("New")->trigger();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmAddNew" && top->isVisible())
            finish = top->findChild<QPushButton *>("cmdFinish");
    report("Finish of an add with the new listing", ms([&] {
               finish->click();
               paintList();
           }));
    QTimer::singleShot(0, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    double deleteMs = 0;
    QElapsedTimer t;
    QObject::connect(&w->mainCursor(), &catalogue::RecordCursor::validate, [&](int action) {
        if (action == int(catalogue::CursorAction::Delete))
            t.start();
    });
    w->findChild<QAction *>("Delete")->trigger();
    paintList();
    deleteMs = t.nsecsElapsed() / 1e6;
    report("delete with the new listing (after Yes)", deleteMs);
    w.reset();

    if (size == 1000) {
        maintenance::Report printed(folder.path());
        const QString pdf = folder.filePath("movies.pdf");
        report("lay out and write a PDF of every movie", ms([&] { printed.printToPdf(pdf); }));
    }
    // Space to give back: a tenth of the movies deleted first.
    {
        sqlite3 *raw = nullptr;
        sqlite3_open(folder.filePath("DVDs.mdb").toUtf8().constData(), &raw);
        catalogue::ConnectionPtr db(raw);
        sqlite3_exec(raw, "DELETE FROM Movies WHERE rowid % 10 = 0", nullptr, nullptr, nullptr);
    }
    report("compaction of the catalogue", ms([&] {
               catalogue::compactCatalogue(folder.filePath("DVDs.mdb"), folder.filePath("DVDs1.mdb"));
           }));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    keepFreedMemoryForReuse();
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    moviaryInitResources();
    QStandardPaths::setTestModeEnabled(true); // never the user's own setting
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == "make")
        return make(args.at(2).toInt(), args.at(3));
    if (args.size() == 4 && args.at(1) == "measure")
        return measure(args.at(2).toInt(), QDir(args.at(3)));
    // Each catalogue is made by one process and measured by another, so that the
    // memory figure is the program's own.
    for (int size : {1000, 10000, 100000}) {
        QTemporaryDir folder;
        for (const char *step : {"make", "measure"}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(app.applicationFilePath(), {step, QString::number(size), folder.path()});
            child.waitForFinished(-1);
        }
    }
    return 0;
}
