#include "windows.h"

#include <QApplication>
#include <QCursor>

namespace platform {

void makeTopMost(QWidget *w)
{
    w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

void restoreArrowCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace platform
