// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace startup {

// When the catalogue could not be opened at start-up (problem says why) and good
// backups of it exist, says so and offers the newest good backup, a choice among them,
// or to quit. Restored: a backup now stands in the catalogue's place, so that the caller
// opens it again; NoBackups: nothing was shown.
enum class Recovery { NoBackups, Restored, Quit };
Recovery offerBackupsOfDamagedCatalogue(const QString &catalogueFile, const QString &problem);

} // namespace startup
