// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/firststart.h"

#include "catalogue/database.h"
#include "catalogue/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace startup {

namespace {

bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool makeFolderFor(const QString &path, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (QDir().mkpath(folder))
        return true;
    return failWith(error, QString("The folder %1 could not be made.").arg(QDir::toNativeSeparators(folder)));
}

} // namespace

bool makeStartCatalogue(const QString &path, StartWith contents, QString *error)
{
    if (!makeFolderFor(path, error))
        return false;
    if (const platform::Failure failure = catalogue::createCatalogue(
            path, contents == StartWith::Sample ? catalogue::Contents::Sample : catalogue::Contents::Empty, false))
        return failWith(error, failure.message);
    return true;
}

bool isCatalogue(const QString &path, QString *error)
{
    std::unique_ptr<catalogue::Database> db;
    if (const platform::Failure failure = catalogue::Database::open(path, db))
        return failWith(error, failure.message);
    return true;
}

bool copyCatalogue(const QString &source, const QString &target, QString *error)
{
    std::unique_ptr<catalogue::Database> from;
    if (const platform::Failure failure = catalogue::Database::open(source, from))
        return failWith(error, failure.message);
    if (QFileInfo::exists(target))
        return failWith(error, QString("%1 already exists; it was left as it is.").arg(target));
    if (!makeFolderFor(target, error))
        return false;

    const QString work = target + QStringLiteral(".new");
    QFile::remove(work);
    int rc = SQLITE_OK;
    catalogue::ConnectionPtr to = catalogue::openConnection(work, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, rc);
    if (rc == SQLITE_OK)
        rc = catalogue::copyDatabase(to.get(), from->handle());
    const QString why = catalogue::describeSqliteError(rc, target, to ? sqlite3_errmsg(to.get()) : nullptr);
    to.reset();
    if (rc != SQLITE_OK || !isCatalogue(work, nullptr) || !QFile::rename(work, target)) {
        QFile::remove(work);
        return failWith(error, rc != SQLITE_OK ? why : QString("%1 could not be written.").arg(target));
    }
    return true;
}

} // namespace startup
