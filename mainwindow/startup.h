// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/locations.h"

// Starts Moviary on the catalogue the locations name and runs it until its last window
// closes. A catalogue that cannot be opened is named in a message box, and the answer is
// then a non-zero exit status.
int runMoviary(const platform::Locations &locations);
// The same with everything in one folder, the program's.
int runMoviary(const QString &applicationFolder);

// Keeps memory the program frees in its own heap, so that listing a large catalogue
// again reuses it instead of asking the system for fresh pages each time.
void keepFreedMemoryForReuse();
