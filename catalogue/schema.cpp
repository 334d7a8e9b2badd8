// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/schema.h"

#include "catalogue/database.h"
#include "catalogue/openfiles.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace catalogue {

namespace {

const char *const CreateTable = "CREATE TABLE Movies (Title TEXT, Description TEXT, Category TEXT, Actors TEXT, "
                                "Review TEXT, Rating TEXT, Year TEXT, Time TEXT)";

// Writes a new catalogue file holding the movies.
platform::Failure build(const QString &work, const std::vector<catalogue::Movie> &movies)
{
    int rc = SQLITE_OK;
    catalogue::ConnectionPtr db = catalogue::openConnection(work, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, rc);
    auto exec = [&](const char *sql) {
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr);
    };
    exec("BEGIN");
    exec(CreateTable);
    catalogue::StatementPtr insert;
    if (rc == SQLITE_OK)
        insert =
            catalogue::prepareStatement(db.get(), "INSERT INTO Movies VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)", rc);
    sqlite3_stmt *st = insert.get();
    for (const auto &m : movies) {
        if (rc != SQLITE_OK)
            break;
        for (int i = 0; i < catalogue::FieldCount; ++i) {
            const QByteArray utf8 = m.values[i].toUtf8();
            if (m.isNull[i])
                sqlite3_bind_null(st, i + 1);
            else
                sqlite3_bind_text64(st, i + 1, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                                    SQLITE_UTF8);
        }
        rc = sqlite3_step(st) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db.get());
        sqlite3_reset(st);
    }
    insert.reset();
    exec("COMMIT");
    if (rc != SQLITE_OK)
        return catalogue::sqliteFailure(rc, db ? QString::fromUtf8(sqlite3_errmsg(db.get()))
                                               : QString::fromUtf8(sqlite3_errstr(rc)));
    return {};
}

// Opens the new file as the program does and checks that it is intact and complete.
platform::Failure check(const QString &work, size_t expectedMovies)
{
    std::unique_ptr<catalogue::Database> db;
    if (auto e = catalogue::Database::open(work, db))
        return e;
    catalogue::StatementPtr st;
    if (auto e = db->prepare("SELECT (SELECT quick_check FROM pragma_quick_check), (SELECT count(*) FROM Movies)", st))
        return e;
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_ROW)
        return catalogue::sqliteFailure(rc, QString::fromUtf8(sqlite3_errmsg(db->handle())));
    const QByteArray verdict(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 0)));
    if (verdict != "ok")
        return catalogue::sqliteFailure(SQLITE_CORRUPT,
                                        QString("the new file is damaged (%1)").arg(QString::fromUtf8(verdict)));
    if (sqlite3_column_int64(st.get(), 1) != qint64(expectedMovies))
        return catalogue::sqliteFailure(SQLITE_CORRUPT, QStringLiteral("the new file does not hold every movie"));
    return {};
}

// Moves the finished file to its name in one step, over an old file when asked.
bool replaceWith(const QString &work, const QString &path, bool overwrite)
{
    if (!overwrite)
        return QFile::rename(work, path);
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(work).toStdString(), QFile::encodeName(path).toStdString(), ec);
    return !ec;
}

} // namespace

catalogue::Movie makeMovie(const QString &title, const QString &description, const QString &category,
                           const QString &actors, const QString &review, const QString &rating, const QString &year,
                           const QString &time)
{
    catalogue::Movie m;
    m.values = {title, description, category, actors, review, rating, year, time};
    return m;
}

platform::Failure createCatalogue(const QString &path, Contents contents, bool overwrite)
{
    static const std::vector<catalogue::Movie> none;
    return createCatalogue(path, contents == Contents::Sample ? sampleMovies() : none, overwrite);
}

platform::Failure createCatalogue(const QString &path, const std::vector<catalogue::Movie> &movies, bool overwrite)
{
    using platform::ErrorKind;
    if (QFileInfo::exists(path) && !overwrite)
        return {ErrorKind::Other, QString("%1 already exists; it was left as it is.").arg(path)};
    // A program that has the old file open would go on writing into a file that is gone.
    if (QFileInfo::exists(path)) {
        const QList<catalogue::OtherProcess> users = catalogue::otherProcessesWithFile(path);
        if (!users.isEmpty())
            return {ErrorKind::Busy, QString("%1 is open in another program (process %2); it was left as it is.")
                                         .arg(path)
                                         .arg(users.first().pid)};
    }
    // Build the catalogue beside its final name; an existing catalogue is replaced only
    // by a new one that is complete and checked, so that a failure never loses it.
    const QString work = path + ".new";
    if (QFileInfo(work).isDir() || (QFileInfo::exists(work) && !QFile::remove(work)))
        return {ErrorKind::CantOpen, QString("%1 could not be created: %2 is in the way.").arg(path, work)};
    platform::Failure why = build(work, movies);
    if (!why)
        why = check(work, movies.size());
    if (!why && !replaceWith(work, path, overwrite))
        why = QFileInfo::exists(path) && !overwrite
                  ? platform::Failure{ErrorKind::Other, QString("%1 appeared meanwhile").arg(path)}
                  : platform::Failure{ErrorKind::Io, QString("%1 could not be replaced").arg(path)};
    if (why) {
        QFile::remove(work);
        return {why.kind, QString("%1 could not be created: %2").arg(path, why.message), why.code};
    }
    return {};
}

} // namespace catalogue
