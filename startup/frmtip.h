// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/locations.h"

#include <QDialog>
#include <QRandomGenerator>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

namespace startup {

// The tip of the day: one random line of TIPOFDAY.TXT at a time, and the check box
// that decides whether the window opens at start-up.
class FrmTip : public QDialog {
    Q_OBJECT
public:
    explicit FrmTip(const platform::Locations &locations, QWidget *parent = nullptr);
    // Everything in one folder, the program's.
    explicit FrmTip(const QString &appFolder, QWidget *parent = nullptr);

    // Appends the file's lines to the tips and shows a random one. False, reading
    // nothing, when the name is empty or names no readable ordinary file.
    bool loadTips(const QString &fileName);
    void displayCurrentTip();

    // What the tip area says when TIPOFDAY.TXT cannot be found.
    static QString missingFileText();

private:
    void load();
    void selectRandomTip();
    void onNextTipClicked();
    void onOkClicked();
    void onShowAtStartupToggled();

    platform::Locations locations_;
    QStringList tips_;
    int currentTip_ = 0; // counts from 1; 0 while no tip is shown
    QRandomGenerator random_;

    QLabel *tipPanel_;
    QLabel *tipText_;
    QCheckBox *showAtStartup_;
    QPushButton *nextTipButton_;
    QPushButton *okButton_;
};

} // namespace startup
