// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/help.h"

#include "help/helpviewer.h"

#include <QPointer>
#include <QScreen>

namespace help {

namespace {
QPointer<HelpViewer> viewer;
} // namespace

void closeHelp() { delete viewer.data(); }

void showHelp(QWidget *caller, const QString &helpFilePath)
{
    const bool created = !viewer;
    if (created) {
        viewer = new HelpViewer;
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        // An open help window alone does not keep the program running.
        viewer->setAttribute(Qt::WA_QuitOnClose, false);
    }

    // A top-most dialog asking for help would otherwise hide the help window.
    const bool aboveCaller = caller && caller->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != aboveCaller)
        viewer->setWindowFlag(Qt::WindowStaysOnTopHint, aboveCaller);

    viewer->openFile(helpFilePath);

    if (created && caller) {
        if (QScreen *screen = caller->window()->screen()) {
            const QRect room = screen->availableGeometry();
            viewer->resize(viewer->size().boundedTo(room.size() * 9 / 10));
            QRect frame = viewer->frameGeometry();
            frame.moveCenter(room.center());
            viewer->move(frame.topLeft());
        }
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace help
