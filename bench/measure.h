// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every benchmark program shares: timing, memory readings, one line per figure,
// and the application set up as the program sets itself up.

#include "platform/failure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QTimer>
#include <ctime>
#include <functional>
#include <memory>

class QApplication;
class QWidget;

namespace bench {

// Milliseconds the work took.
double ms(const std::function<void()> &work);
// The median, or the best, of several runs; prepare, untimed, sets up each run.
double median(int runs, const std::function<void()> &work, const std::function<void()> &prepare = {});
double best(int runs, const std::function<void()> &work);

// A line of /proc/self/status in KiB: "VmRSS:" now, "VmHWM:" the most the process ever held.
long statusKb(const char *key);
inline long residentKb() { return statusKb("VmRSS:"); }

// Processor time so far in milliseconds, of the calling thread or of the whole process.
double cpuMs(clockid_t clock);
inline double threadCpuMs() { return cpuMs(CLOCK_THREAD_CPUTIME_ID); }
inline double processCpuMs() { return cpuMs(CLOCK_PROCESS_CPUTIME_ID); }

// Watches a 1 ms timer for how late it fires: the longest the event loop stood still while
// the watch lives. The timer costs processor time of its own: do not count that in a run.
class StillWatch {
public:
    StillWatch();
    // The span since the last tick counts too: work that ends the run has no tick after it.
    double longestMs() const;
    // Runs on every tick, after the wait is noted.
    void setOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }

private:
    QTimer tick_;
    QElapsedTimer since_;
    double longestMs_ = 0;
    std::function<void()> onTick_;
};

// One figure, aligned with the others.
void printFigure(const char *what, double value, const char *unit = "ms");
// Writes the reason on standard error and ends the benchmark with a failure.
[[noreturn]] void fail(const QString &why);
// The same for a failed step, when there is one: every figure after it would mean nothing.
inline void failOn(const platform::Failure &failure)
{
    if (failure)
        fail(failure.message);
}

// Closes every visible window but the main one and lets the closing happen.
void closeOtherWindows(QWidget *main);

// The main of a benchmark measured at several catalogue sizes: for each size, one child
// process makes the catalogue (make) and another measures it (measure), so that each
// memory figure is the measured work's own. Run with one size as argument, only that size.
int runBySize(int argc, char **argv, const std::function<int(int size, const QString &folder)> &make,
              const std::function<int(int size, const QDir &folder)> &measure, const QList<int> &sizes);

// The application as the program makes it (offscreen unless a display is chosen, its
// resources, its memory allocator settings), with the user's own settings left alone.
std::unique_ptr<QApplication> makeApplication(int &argc, char **argv);

} // namespace bench
