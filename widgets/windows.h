// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QDialog;

namespace widgets {

// Keeps a window above every ordinary window, the main window included.
void makeTopMost(QWidget *w);

// Tells a screen reader that a window is a dialog (a QWidget window is told as a
// filler otherwise). Call before the window is first shown.
void exposeAsDialog(QWidget *w);

// Return and Enter press the window's focused push or tool button, as Space does,
// whether or not the button may become the window's default.
void pressFocusedButtonOnReturn(QWidget *window);

// Shows the one instance of a window: creates it on first use (it deletes itself
// when closed, so the next use loads it afresh), or brings the open one to the front.
template <class W, class Make>
W *showSingle(QPointer<W> &slot, Make make)
{
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

// Runs a message box, question or other modal dialog above every window of the program,
// the top-most ones included, modal for the whole program and with the keyboard focus
// (on its default button, if it has one). Every message box of the program goes
// through here, so that none can hide behind an open editor.
int execOnTop(QDialog &dialog);

// A message box with an OK button, run by execOnTop().
void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

// A Yes/No question run by execOnTop(); true when the answer is Yes.
bool askYesNo(QWidget *parent, const QString &title, const QString &text, QMessageBox::StandardButton defaultButton,
              QMessageBox::Icon icon = QMessageBox::Question);

// Shows the hourglass for as long as it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Drops every hourglass a window may have left behind.
void restoreArrowCursor();

} // namespace widgets
