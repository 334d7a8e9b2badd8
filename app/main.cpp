// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/startup.h"
#include "platform/commandline.h"
#include "platform/locations.h"
#include "platform/settings.h"
#include "startup/frmfirststart.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

void moviaryInitResources();

int main(int argc, char **argv)
{
    // The command line is read before any window system is needed, so that --help,
    // --version and a wrong option work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const platform::CommandLine line = platform::parseCommandLine(arguments, QStringLiteral(MOVIARY_VERSION));
    if (line.finished) {
        std::fputs(line.output.toLocal8Bit().constData(), line.exitCode == 0 ? stdout : stderr);
        return line.exitCode;
    }
    if (!line.catalogue.isEmpty()) {
        if (const platform::Failure error = platform::checkCatalogueOption(line.catalogue)) {
            std::fprintf(stderr, "moviary: %s\n", error.message.toLocal8Bit().constData());
            return 2;
        }
    }

    keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    // No organisation name: the per-user data folder is then ~/.local/share/moviary, and
    // the settings store names its own place.
    QApplication::setApplicationName("moviary");
    QApplication::setApplicationVersion(MOVIARY_VERSION);
    QGuiApplication::setDesktopFileName(MOVIARY_ID);
    moviaryInitResources();
    QApplication::setWindowIcon(QIcon(":/images/moviary32.png"));

    const platform::LocationChoice choice =
        platform::chooseLocations({QApplication::applicationDirPath(), line.catalogue, platform::rememberedCatalogue(),
                                   platform::userDataFolder()});
    if (choice.error) {
        std::fprintf(stderr, "moviary: %s\n", choice.error.message.toLocal8Bit().constData());
        return 2;
    }
    platform::Locations locations = choice.locations;
    if (choice.firstStart) {
        const auto chosen = startup::runFirstStart(locations);
        if (!chosen)
            return 0;
        locations = *chosen;
    }
    return runMoviary(locations);
}
