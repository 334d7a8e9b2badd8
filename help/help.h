// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace help {

// Opens the help file at its default topic in the program's help window: one window,
// without an owner and not modal, reused and brought to the front by later calls. The
// calling window is left as it is. A missing or damaged file opens the help window
// with a page saying that the file cannot be opened.
void showHelp(QWidget *caller, const QString &helpFilePath);
// Closes the help window, if it is open (the window that opened it is going).
void closeHelp();

} // namespace help
