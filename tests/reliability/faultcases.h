// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine-fault suites share: the ways a disk fails, the program on its own
// folder, and the checks every failed step must pass.
#include "faultvfs.h"

#include "catalogue/movie.h"
#include "mainwindow/frmmain.h"
#include "tests/common/files.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"

#include <QAction>
#include <QByteArray>
#include <QStringList>
#include <QTableView>
#include <QTimer>
#include <memory>
#include <vector>

namespace faultcases {

// One way for the disk to fail.
struct Fault {
    const char *name;
    faultvfs::Op op;
    int code;
    int times; // 0: every operation from the first failing one on
};

const std::vector<Fault> &faults();

// A message names the problem when it says what the disk did.
bool namesProblem(const Fault &fault, const QString &message);

struct Tally {
    int injected = 0;  // operations made to fail
    int refused = 0;   // steps that failed, said why and changed nothing
    int completed = 0; // steps that completed in spite of the fault
    void report(const char *step) const;
    Tally &operator+=(const Tally &o)
    {
        injected += o.injected;
        refused += o.refused;
        completed += o.completed;
        return *this;
    }
};

// The catalogue as a fresh connection finds it, a hot journal rolled back first.
struct Snapshot {
    QByteArray bytes;
    std::vector<catalogue::Movie> movies;
    QString integrity;
    QString error;
};
Snapshot snapshot(const QString &path);

QStringList titlesOf(const std::vector<catalogue::Movie> &movies);

// Installs the fault layer before any connection is opened, and the test settings.
void setUp();
// Catalogues to start from: two dozen movies, and the same with half of them deleted,
// so that a compaction has pages to give back.
QByteArray fullCatalogue();
QByteArray fragmentedCatalogue();

// Answers every message box while it lives: Yes where offered, else OK. Keeps what
// each box said.
class BoxWatcher {
public:
    BoxWatcher();
    QStringList texts;

private:
    QTimer timer_;
};

using testsupport::control;
using testsupport::fileBytes;
using testsupport::flushDeletes;
using testsupport::topLevel;

// The program started on its own folder with a copy of a prepared catalogue.
struct Program {
    testsupport::TestFolder folder;
    std::unique_ptr<FrmMain> window;

    explicit Program(const QByteArray &catalogueBytes);
    ~Program();
    void trigger(const char *tool) { control<QAction>(window.get(), tool)->trigger(); }
    // What the list shows, sorted.
    QStringList listedTitles() const;
};

QString where(const char *step, const Fault &fault, int n);

// What a step that writes the catalogue must leave after the n-th operation failed:
// either the step completed, or it was refused with a message naming the problem and
// the file is exactly as before. A step that changes only the layout of the file (a
// compaction) has completed when the bytes changed. Answers whether it completed.
bool checkOutcome(const QString &ctx, const Fault &fault, const QStringList &messages, const Snapshot &before,
                  const Snapshot &after, const std::vector<catalogue::Movie> &expected, bool layoutOnly);

} // namespace faultcases
