// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

namespace startup {

// A tips file holds a few kilobytes. Reading stops after 4 MiB and 100,000 lines, and
// each tip is cut at 2,000 characters: a huge file, or one long line laid out in a
// word-wrapped label, would otherwise stall the window or exhaust memory.
constexpr qint64 MaxTipsFileBytes = 4 * 1024 * 1024;
constexpr int MaxTips = 100000;
constexpr int MaxTipLength = 2000;

// The tips in the bytes of a tips file, one per line. A byte-order mark names the
// encoding; otherwise the text is UTF-8 when it is valid UTF-8, and Windows-1252 (what
// Notepad writes as "ANSI") when it is not. A line ends with CR LF, LF or CR, and the
// last line needs no end.
QStringList readTips(const QByteArray &bytes);

} // namespace startup
