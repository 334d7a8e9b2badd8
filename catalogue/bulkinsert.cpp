// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/bulkinsert.h"

namespace catalogue {

namespace {

platform::Failure insertAll(Database *db, qsizetype count, const std::function<FieldBytes(qsizetype)> &movieAt,
                            const std::function<bool(qsizetype)> &progress)
{
    constexpr qsizetype ProgressEvery = 1000;
    platform::Failure error;
    sqlite3 *h = db->handle();
    // Take the write lock at once, so that no other writer slips in half way.
    int rc = sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return db->errorFor(rc);
    auto rollBack = [&](platform::Failure why) {
        if (!sqlite3_get_autocommit(h))
            sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        return why;
    };
    {
        StatementPtr insert;
        if (auto error = db->prepare(
                ("INSERT INTO Movies (" + columnList() + ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)").constData(),
                insert))
            return rollBack(error);
        sqlite3_stmt *st = insert.get();
        for (qsizetype i = 0; i < count; ++i) {
            if (progress && i % ProgressEvery == 0 && !progress(i))
                return rollBack(
                    sqliteFailure(SQLITE_INTERRUPT, QStringLiteral("The import was cancelled: nothing was written.")));
            const FieldBytes movie = movieAt(i);
            for (int f = 0; f < FieldCount; ++f) {
                const QByteArrayView v = movie[size_t(f)];
                // An empty text, never NULL: the editors and the list treat both alike.
                sqlite3_bind_text64(st, f + 1, v.data() ? v.data() : "", sqlite3_uint64(v.size()), SQLITE_STATIC,
                                    SQLITE_UTF8);
            }
            rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE)
                return rollBack(db->errorFor(rc));
        }
    }
    if (progress && !progress(count))
        return rollBack(
            sqliteFailure(SQLITE_INTERRUPT, QStringLiteral("The import was cancelled: nothing was written.")));
    rc = sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rollBack(db->errorFor(rc));
    return {};
}

} // namespace

platform::Failure appendMovies(const QString &catalogueFile, qsizetype count,
                               const std::function<FieldBytes(qsizetype)> &movieAt,
                               const std::function<bool(qsizetype)> &progress)
{
    std::unique_ptr<Database> db;
    if (auto error = Database::open(catalogueFile, db))
        return error;
    const platform::Failure error = insertAll(db.get(), count, movieAt, progress);
    // After a failed write the engine may leave its rollback (the file grown, a hot
    // journal) to the next reader: be that reader now, on a new connection if need be,
    // so that the file on disk is as it was when the caller says nothing changed.
    if (error &&
        sqlite3_exec(db->handle(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        db.reset();
        // Opening is the point here; what it answers changes nothing the caller is told.
        (void)Database::open(catalogueFile, db);
    }
    return error;
}

} // namespace catalogue
