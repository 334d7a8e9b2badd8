// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure.h"

#include "mainwindow/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

void moviaryInitResources();

namespace bench {

double ms(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

double median(int runs, const std::function<void()> &work, const std::function<void()> &prepare)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        times.push_back(ms(work));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double best(int runs, const std::function<void()> &work)
{
    double b = 1e18;
    for (int i = 0; i < runs; ++i)
        b = std::min(b, ms(work));
    return b;
}

long statusKb(const char *key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toLong();
    return 0;
}

void printFigure(const char *what, double value, const char *unit)
{
    std::printf("  %-52s %10.2f %s\n", what, value, unit);
    std::fflush(stdout);
}

void fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    std::exit(1);
}

void closeOtherWindows(QWidget *main)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != main && w->isWindow() && w->isVisible())
            w->close();
    QApplication::processEvents();
}

std::unique_ptr<QApplication> makeApplication(int &argc, char **argv)
{
    keepFreedMemoryForReuse();
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QApplication>(argc, argv);
    moviaryInitResources();
    QStandardPaths::setTestModeEnabled(true); // never the user's own setting
    return app;
}

} // namespace bench
