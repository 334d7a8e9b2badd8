#pragma once

#include <QPointer>
#include <QWidget>

namespace platform {

// Keeps a window above every ordinary window, the main window included.
void makeTopMost(QWidget *w);

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

} // namespace platform
