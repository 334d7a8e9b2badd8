// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace startup {

// The ways a first start can give an installed Moviary its catalogue.
enum class StartWith { Empty, Sample };

// Makes a new catalogue at path, creating its folder; never replaces an existing file.
// False, with the reason in error, on failure.
bool makeStartCatalogue(const QString &path, StartWith contents, QString *error);

// Checks that source is a movie catalogue and copies it to target through SQLite's
// backup API, so that a file another program has open still gives a consistent copy.
// The copy is built beside target and moved there only when complete; an existing
// target is never replaced. False, with the reason in error, on failure.
bool copyCatalogue(const QString &source, const QString &target, QString *error);

// Whether path opens as a movie catalogue; error says why not.
bool isCatalogue(const QString &path, QString *error);

} // namespace startup
