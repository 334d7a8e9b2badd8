// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"

#include <QString>
#include <functional>

namespace catalogue {

// The points a compaction passes, in this order.
enum class CompactionStep {
    Started,  // nothing written yet
    Copied,   // the compacted copy is written and flushed to disk
    Checked,  // the copy opens, is intact and holds every movie
    Replaced, // the catalogue holds the compacted copy; the work file is gone
};

// Rewrites the catalogue into a compacted copy at workFile, checks the copy, brings
// it into the catalogue in one atomic step through SQLite, then deletes the copy.
// The catalogue file is never deleted or renamed: on any failure it stays exactly as
// it was and the answer says why. Refuses while another connection of this process
// or another running process has the catalogue open. A file already at workFile is
// taken for a leftover of an interrupted run and removed first.
platform::Failure compactCatalogue(const QString &catalogueFile, const QString &workFile,
                                   const std::function<void(CompactionStep)> &progress = {});

} // namespace catalogue
