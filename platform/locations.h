// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QString>

namespace platform {

// Where the program's files are. Three ways to run:
// - portable: everything in one folder, the program's own, as when a DVDs.mdb sits beside
//   the executable;
// - installed: the catalogue is the user's own (in the per-user data folder, or a file the
//   user chose to keep where it is); tips and help are read from the installation;
// - a catalogue named on the command line: that file, tips and help as the program finds them.
// The compaction work file and the backups folder always sit beside the catalogue in use,
// so nothing is ever written into the program's own folders unless the user put the
// catalogue there.
class Locations {
public:
    Locations() = default;
    static Locations portable(const QString &folder);
    static Locations installed(const QString &shareFolder, const QString &dataFolder,
                               const QString &catalogueFile = {});
    // The same tips and help, another catalogue.
    Locations withCatalogue(const QString &catalogueFile) const;

    QString catalogueFile() const { return catalogue_; }
    QString compactionWorkFile() const; // DVDs1.mdb; <file>-compacting for another name
    QString backupsFolder() const;      // Backups
    QString tipsFile() const;           // TIPOFDAY.TXT
    QString helpFile() const;           // Moviary.chm

    bool isInstalled() const { return !dataFolder_.isEmpty(); }
    // The per-user folder where a first start puts a new catalogue; empty unless installed.
    QString dataFolder() const { return dataFolder_; }
    // DVDs.mdb in the data folder; empty unless installed.
    QString dataCatalogueFile() const;

private:
    QString catalogue_;
    QString resources_; // the folder holding the tips and help files
    QString dataFolder_;
};

// The share/moviary folder of an installation whose bin folder holds the executable; empty
// when the program does not run from an installation.
QString installedShareFolder(const QString &executableFolder);

// The per-user data folder of the installed program (~/.local/share/moviary on Linux).
QString userDataFolder();

// What is wrong with the file named by --catalogue (it does not exist, or it is a folder),
// naming the path; none when it names a file.
Failure checkCatalogueOption(const QString &path);

struct LocationRequest {
    QString executableFolder;
    QString catalogueOption;     // --catalogue, empty when not given
    QString rememberedCatalogue; // a catalogue the user chose to keep where it is
    QString dataFolder;          // the per-user data folder
};

struct LocationChoice {
    Locations locations;
    // A --catalogue that names nothing usable, or an installed program without a data
    // folder: what is wrong, naming the path.
    Failure error;
    // An installed program without its catalogue: the user chooses how to start.
    bool firstStart = false;
};

// Decides which files this run uses: --catalogue first, then a DVDs.mdb beside the
// executable, then the installed layout; otherwise the program's folder, whose missing
// catalogue is reported as it always was.
LocationChoice chooseLocations(const LocationRequest &request);

} // namespace platform
