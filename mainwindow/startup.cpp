// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/startup.h"

#include "mainwindow/frmmain.h"
#include "widgets/windows.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#ifdef __GLIBC__
#include <malloc.h>
#endif

int runMoviary(const platform::Locations &locations)
{
    auto window = std::make_unique<FrmMain>(locations);
    if (!window->load()) {
        widgets::showMessage(nullptr, QMessageBox::Critical, "Moviary", window->loadError());
        return 1;
    }
    // Centred on the screen; the About box and the tip window, opened during the
    // load, stay in front of it.
    if (QScreen *screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    window->show();
    window->raiseStartupWindows();
    // Once the window has had its first turn of the event loop.
    QTimer::singleShot(0, window.get(), &FrmMain::startStartupBackup);
    return QApplication::exec();
}

int runMoviary(const QString &applicationFolder)
{
    return runMoviary(platform::Locations::portable(applicationFolder));
}

void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
#endif
}
