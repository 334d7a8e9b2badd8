// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure.h"

#include "mainwindow/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
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

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

StillWatch::StillWatch()
{
    tick_.setTimerType(Qt::PreciseTimer);
    tick_.setInterval(1);
    QObject::connect(&tick_, &QTimer::timeout, [this] {
        longestMs_ = std::max(longestMs_, double(since_.nsecsElapsed()) / 1e6 - 1);
        since_.restart();
        if (onTick_)
            onTick_();
    });
    since_.start();
    tick_.start();
}

double StillWatch::longestMs() const { return std::max(longestMs_, double(since_.nsecsElapsed()) / 1e6 - 1); }

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

int runBySize(int argc, char **argv, const std::function<int(int, const QString &)> &make,
              const std::function<int(int, const QDir &)> &measure, const QList<int> &sizes)
{
    const auto application = makeApplication(argc, argv);
    const QStringList args = application->arguments();
    if (args.size() == 4 && args.at(1) == "make")
        return make(args.at(2).toInt(), args.at(3));
    if (args.size() == 4 && args.at(1) == "measure")
        return measure(args.at(2).toInt(), QDir(args.at(3)));
    const QList<int> chosen = args.size() == 2 ? QList<int>{args.at(1).toInt()} : sizes;
    for (int size : chosen) {
        QTemporaryDir folder;
        for (const char *step : {"make", "measure"}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(application->applicationFilePath(), {step, QString::number(size), folder.path()});
            child.waitForFinished(-1);
        }
    }
    return 0;
}

} // namespace bench
