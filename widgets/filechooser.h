// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace widgets {

// The file the user picks in the platform's file dialog; an empty text when none.
QString chooseFileToOpen(QWidget *parent, const QString &caption, const QString &filter);
QString chooseFileToSave(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter);

// The next chooser answers this path at once, without a dialog: how tests and
// scripts pick a file.
void setNextChosenFile(const QString &path);

} // namespace widgets
