// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFont;
class QLabel;
class QPushButton;
class QWidget;

// Builders for the main window's controls: each is named, placed in twips and styled
// the way every panel of the window shows them.
namespace widgets {

// A label in the classic font unless another is given. A label with a style sheet
// does not take its window's font, so the font is always set explicitly.
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int left, int top, int width, int height,
                  const QString &style = {}, const QFont *font = nullptr);
// A push button that never becomes the default button of its window.
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, int left, int top, int width,
                        int height);
// Prepares a panel of the window: its name and a plain background.
void stylePanel(QWidget *panel, const QString &name, const QString &background);

inline const char *const WhiteOnBlack = "color: white; background: black;";

} // namespace widgets
