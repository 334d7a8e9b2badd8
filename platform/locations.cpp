// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/locations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

const char *const CatalogueName = "DVDs.mdb";

QString inFolder(const QString &folder, const char *name)
{
    return QDir::cleanPath(folder) + QLatin1Char('/') + QLatin1String(name);
}

QString folderOf(const QString &file) { return QFileInfo(file).absolutePath(); }

} // namespace

Locations Locations::portable(const QString &folder)
{
    Locations l;
    l.resources_ = QDir::cleanPath(folder);
    l.catalogue_ = inFolder(folder, CatalogueName);
    return l;
}

Locations Locations::installed(const QString &shareFolder, const QString &dataFolder, const QString &catalogueFile)
{
    Locations l;
    l.resources_ = QDir::cleanPath(shareFolder);
    l.dataFolder_ = QDir::cleanPath(dataFolder);
    l.catalogue_ = catalogueFile.isEmpty() ? l.dataCatalogueFile() : QDir::cleanPath(catalogueFile);
    return l;
}

Locations Locations::withCatalogue(const QString &catalogueFile) const
{
    Locations l = *this;
    l.catalogue_ = QFileInfo(catalogueFile).absoluteFilePath();
    return l;
}

QString Locations::compactionWorkFile() const
{
    // DVDs.mdb compacts through DVDs1.mdb, as it always has. Another catalogue gets a
    // name no user file takes, because compaction removes what it finds there:
    // "Films.mdb" must not delete a second catalogue "Films1.mdb".
    const QFileInfo info(catalogue_);
    if (info.fileName() == QLatin1String(CatalogueName))
        return inFolder(info.absolutePath(), "DVDs1.mdb");
    return info.absoluteFilePath() + QStringLiteral("-compacting");
}

QString Locations::backupsFolder() const { return inFolder(folderOf(catalogue_), "Backups"); }
QString Locations::tipsFile() const { return inFolder(resources_, "TIPOFDAY.TXT"); }
QString Locations::helpFile() const { return inFolder(resources_, "Moviary.chm"); }
QString Locations::dataCatalogueFile() const
{
    return dataFolder_.isEmpty() ? QString() : inFolder(dataFolder_, CatalogueName);
}

QString installedShareFolder(const QString &executableFolder)
{
    const QDir bin(QDir::cleanPath(executableFolder));
    if (bin.dirName() != QLatin1String("bin"))
        return {};
    const QString share = QDir::cleanPath(bin.absoluteFilePath("../share/moviary"));
    return QFileInfo(share).isDir() ? share : QString();
}

QString userDataFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

Failure checkCatalogueOption(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return {ErrorKind::CantOpen, QString("The catalogue %1 does not exist.").arg(path)};
    if (file.isDir())
        return {ErrorKind::CantOpen, QString("%1 is a folder, not a catalogue file.").arg(path)};
    return {};
}

LocationChoice chooseLocations(const LocationRequest &request)
{
    LocationChoice choice;
    const QString share = installedShareFolder(request.executableFolder);
    const Locations base = share.isEmpty() ? Locations::portable(request.executableFolder)
                                           : Locations::installed(share, request.dataFolder);

    if (!request.catalogueOption.isEmpty()) {
        choice.error = checkCatalogueOption(request.catalogueOption);
        choice.locations = base.withCatalogue(request.catalogueOption);
        return choice;
    }

    // A catalogue beside the program makes it a portable one, installed or not.
    const Locations portable = Locations::portable(request.executableFolder);
    if (share.isEmpty() || QFileInfo::exists(portable.catalogueFile())) {
        choice.locations = portable;
        return choice;
    }

    if (request.dataFolder.isEmpty()) {
        // Without a home folder there is nowhere to keep the user's catalogue.
        choice.error = {ErrorKind::CantOpen, QStringLiteral("No folder for your own files is known; is HOME set?")};
        return choice;
    }
    choice.locations = request.rememberedCatalogue.isEmpty()
                           ? base
                           : Locations::installed(share, request.dataFolder, request.rememberedCatalogue);
    choice.firstStart = !QFileInfo::exists(choice.locations.catalogueFile());
    return choice;
}

} // namespace platform
