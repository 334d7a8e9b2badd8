#include "cataloguemaker.h"

#include "catalogue/database.h"

#include <QFile>
#include <QFileInfo>

namespace tools {

namespace {

const char *const CreateTable =
    "CREATE TABLE Movies (Title TEXT, Description TEXT, Category TEXT, Actors TEXT, "
    "Review TEXT, Rating TEXT, Year TEXT, Time TEXT)";

bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

catalogue::Movie makeMovie(const QString &title, const QString &description, const QString &category,
                           const QString &actors, const QString &review, const QString &rating,
                           const QString &year, const QString &time)
{
    catalogue::Movie m;
    m.values = {title, description, category, actors, review, rating, year, time};
    return m;
}

bool createCatalogue(const QString &path, Contents contents, bool overwrite, QString *error)
{
    static const std::vector<catalogue::Movie> none;
    return createCatalogue(path, contents == Contents::Sample ? sampleMovies() : none, overwrite, error);
}

bool createCatalogue(const QString &path, const std::vector<catalogue::Movie> &movies, bool overwrite,
                     QString *error)
{
    if (QFileInfo::exists(path)) {
        if (!overwrite)
            return failWith(error, QString("%1 already exists; it was left as it is.").arg(path));
        if (!QFile::remove(path))
            return failWith(error, QString("%1 could not be replaced.").arg(path));
    }
    // Build the catalogue beside its final name, then move it there whole.
    const QString work = path + ".new";
    QFile::remove(work);
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(work.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    catalogue::ConnectionPtr db(raw);
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
    const QString why = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(db.get()));
    db.reset();
    if (rc != SQLITE_OK) {
        QFile::remove(work);
        return failWith(error, QString("%1 could not be created: %2").arg(path, why));
    }
    if (!QFile::rename(work, path)) {
        QFile::remove(work);
        return failWith(error, QString("%1 could not be created.").arg(path));
    }
    return true;
}

} // namespace tools
