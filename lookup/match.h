// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace lookup {

// A title folded for comparison: accents dropped, case folded, spaces trimmed.
QString foldedTitle(const QString &title);

// True when a candidate is a confident match: same folded title, and the same year when the movie has one.
bool isConfidentMatch(const QString &title, int year, const QString &candidateTitle, int candidateYear);

} // namespace lookup
