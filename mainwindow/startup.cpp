// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/startup.h"

#include "catalogue/sqlitefile.h"
#include "mainwindow/frmmain.h"
#include "startup/damagedcatalogue.h"
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
    while (!window->load()) {
        const QString problem = window->loadError();
        const platform::ErrorKind kind = catalogue::errorKind(window->loadErrorCode());
        window.reset(); // lets go of the file before a backup is put in its place
        startup::Recovery recovery = startup::Recovery::NoBackups;
        if (kind == platform::ErrorKind::NotACatalogue || kind == platform::ErrorKind::Damaged)
            recovery = startup::offerBackupsOfDamagedCatalogue(locations.catalogueFile(), problem);
        if (recovery == startup::Recovery::NoBackups)
            widgets::showMessage(nullptr, QMessageBox::Critical, "Moviary", problem);
        if (recovery != startup::Recovery::Restored)
            return 1;
        window = std::make_unique<FrmMain>(locations);
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
