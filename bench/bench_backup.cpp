// SPDX-License-Identifier: GPL-3.0-or-later
// Times backups, restore and the duplicate check on a catalogue of 100,000 movies.
//   moviary-bench-backup [SIZE]
#include "bench/generator.h"
#include "bench/measure.h"
#include "catalogue/backup.h"
#include "catalogue/database.h"
#include "catalogue/duplicates.h"
#include "catalogue/schema.h"
#include "maintenance/backups.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/startup.h"
#include "platform/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace bench;

int main(int argc, char **argv)
{
    const auto app = bench::makeApplication(argc, argv);
    const int size = argc > 1 ? QString(argv[1]).toInt() : 100000;

    QTemporaryDir folder;
    const QString file = folder.filePath("DVDs.mdb");
    if (const platform::Failure error = catalogue::createCatalogue(file, bench::generateMovies(size), true)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    std::printf("%d movies, %.1f MB\n", size, QFileInfo(file).size() / 1e6);

    QString made;
    printFigure("first backup (copy, check, rename, prune)",
                ms([&] { failOn(catalogue::backUpCatalogue(file, &made)); }));
    printFigure("backup, best of 5", best(5, [&] { failOn(catalogue::backUpCatalogue(file, &made)); }));
    printFigure("check of one backup (quick_check and count)", best(3, [&] { catalogue::inspectBackup(made); }));
    printFigure("start-up decision, newest backup recent", best(3, [&] { catalogue::backupDueAtStartup(file); }));
    const QDateTime later = QDateTime::currentDateTime().addDays(2);
    printFigure("start-up decision, newest old, movies compared",
                best(3, [&] { catalogue::backupDueAtStartup(file, later); }));
    printFigure("restore of a backup", best(3, [&] { failOn(catalogue::restoreBackup(made, file)); }));
    {
        std::unique_ptr<catalogue::Database> db;
        failOn(catalogue::Database::open(file, db));
        std::optional<catalogue::DuplicateMovie> found;
        printFigure("duplicate check on Finish, plain title", best(5, [&] {
                        failOn(catalogue::findDuplicate(db->handle(), "No Such Title Anywhere", "2001", found));
                    }));
        printFigure("duplicate check on Finish, accented title", best(5, [&] {
                        failOn(catalogue::findDuplicate(db->handle(), "Amélie au Pays des Merveilles", "2001", found));
                    }));
    }

    // The start-up backup runs after the window is shown, on a thread of its own.
    (void)platform::saveShowTipsAtStartup(false);
    QDir(catalogue::backupFolder(file)).removeRecursively();
    std::unique_ptr<FrmMain> w;
    auto showWindow = [&] {
        w = std::make_unique<FrmMain>(folder.path());
        w->load();
        w->show();
        w->repaint();
        QApplication::processEvents();
    };
    printFigure("window shown, no backup running", ms(showWindow));
    closeOtherWindows(w.get());
    w.reset();
    QDir(catalogue::backupFolder(file)).removeRecursively();
    std::unique_ptr<maintenance::StartupBackup> startup;
    QElapsedTimer sinceStart;
    printFigure("window shown, then the start-up backup started", ms([&] {
                    showWindow();
                    sinceStart.start();
                    startup = std::make_unique<maintenance::StartupBackup>(file);
                }));
    QSignalSpy done(startup.get(), &maintenance::StartupBackup::finished);
    QElapsedTimer ui;
    ui.start();
    int events = 0;
    double longestEvent = 0;
    while (done.isEmpty()) {
        const double step = ms([] { QApplication::processEvents(QEventLoop::AllEvents, 5); });
        longestEvent = std::max(longestEvent, step);
        ++events;
    }
    printFigure("start-up backup on its thread, start to finished", sinceStart.nsecsElapsed() / 1e6);
    printFigure("longest event-loop turn meanwhile", longestEvent);
    closeOtherWindows(w.get());
    startup.reset();
    w.reset();
    return 0;
}
