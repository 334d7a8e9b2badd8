// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"

#include <QString>
#include <memory>

namespace catalogue {

// Refuses while another connection of this process or another running process has
// the catalogue open: an operation that rewrites the whole file must not pull it from
// under a window that is working on it.
platform::Failure refusalIfInUse(const QString &catalogueFile);

// Brings the whole content of source into the catalogue behind live, through SQLite's
// backup API: the pages are written inside one transaction through the catalogue's
// journal, so either all of source arrives or the file stays as it was, and other
// connections stay valid. live is closed before the answer is known. sourceName says
// what source is in messages ("the backup").
platform::Failure replaceContent(std::unique_ptr<Database> live, sqlite3 *source, const QString &sourceName);

} // namespace catalogue
