// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/database.h"

#include "catalogue/likepattern.h"
#include "catalogue/movie.h"
#include "catalogue/textfold.h"

#include <QFileInfo>
#include <algorithm>

namespace catalogue {

namespace {

std::string_view textArg(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return {p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v))};
}

void jetLike(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    auto *pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
    if (!pattern) {
        const auto p = textArg(argv[0]);
        pattern = new LikePattern(QString::fromUtf8(p.data(), qsizetype(p.size())));
        sqlite3_set_auxdata(ctx, 0, pattern, [](void *x) { delete static_cast<LikePattern *>(x); });
        // SQLite may drop the pattern at once; fetch it back so that we use the kept one.
        pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(ctx, 0));
        if (!pattern) {
            LikePattern once(QString::fromUtf8(p.data(), qsizetype(p.size())));
            std::u32string value;
            foldCaseUtf8(textArg(argv[1]), value, Ligatures::Keep);
            return sqlite3_result_int(ctx, once.matches(value));
        }
    }
    thread_local std::u32string value;
    value.clear();
    foldCaseUtf8(textArg(argv[1]), value, Ligatures::Keep);
    sqlite3_result_int(ctx, pattern->matches(value));
}

void jetEqual(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    thread_local std::u32string a, b;
    a.clear();
    b.clear();
    foldCaseUtf8(textArg(argv[0]), a);
    foldCaseUtf8(textArg(argv[1]), b);
    sqlite3_result_int(ctx, a == b);
}

// Gives back the text as it would read after being stored in a column of the given
// affinity, or, when the column would turn it into a number that reads differently
// ("007", "1e3", " 12" or "2001" in a REAL column), the same bytes as a blob: SQLite
// never converts a blob, and a blob reads back as exactly those bytes.
void keepText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT)
        return sqlite3_result_value(ctx, argv[0]);
    const auto affinity = static_cast<Affinity>(sqlite3_value_int(argv[1]));
    const auto text = textArg(argv[0]);
    bool keeps = true;
    if (affinity == Affinity::Integer || affinity == Affinity::Numeric || affinity == Affinity::Real) {
        // The same conversion the column applies, on a copy.
        sqlite3_value *number = sqlite3_value_dup(argv[0]);
        if (!number)
            return sqlite3_result_error_nomem(ctx);
        const int type = sqlite3_value_numeric_type(number);
        if (type == SQLITE_FLOAT)
            keeps = false;
        else if (type == SQLITE_INTEGER)
            keeps = affinity != Affinity::Real && QByteArray::number(sqlite3_value_int64(number)) ==
                                                      QByteArrayView(text.data(), qsizetype(text.size()));
        sqlite3_value_free(number);
    }
    if (keeps)
        sqlite3_result_value(ctx, argv[0]);
    else
        sqlite3_result_blob64(ctx, text.data(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT);
}

// The Movies table must carry the eight fields, in order. Their declared types may be
// anything: every value is read as text, and keepText() writes it back so.
platform::Failure checkSchema(sqlite3 *db, const QString &path, std::array<Affinity, FieldCount> &affinities)
{
    int rc = SQLITE_OK;
    const StatementPtr st = prepareStatement(db, "PRAGMA table_info(Movies)", rc);
    if (!st)
        return sqliteFailure(rc, describeSqliteError(rc, path, sqlite3_errmsg(db)));
    QStringList names, types;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1)));
        types << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 2)));
    }
    if (rc != SQLITE_DONE)
        return sqliteFailure(rc, describeSqliteError(rc, path, sqlite3_errmsg(db)));
    const QString file = QFileInfo(path).fileName();
    if (names.isEmpty())
        return sqliteFailure(SQLITE_NOTFOUND,
                             QString("%1 is not a movie catalogue: it has no table named Movies.").arg(file));
    for (int i = 0; i < FieldCount; ++i) {
        if (i >= names.size() || names[i].compare(fieldNames()[i], Qt::CaseInsensitive) != 0)
            return sqliteFailure(SQLITE_MISMATCH,
                                 QString("%1 is not a movie catalogue: column %2 of the table Movies should be %3, "
                                         "but it is %4.")
                                     .arg(file)
                                     .arg(i + 1)
                                     .arg(fieldNames()[i], i < names.size() ? names[i] : QString("missing")));
        affinities[i] = affinityOf(types[i]);
    }
    return {};
}

} // namespace

Affinity affinityOf(const QString &declaredType)
{
    // SQLite's own rules, in their order.
    const QString t = declaredType.toUpper();
    if (t.contains("INT"))
        return Affinity::Integer;
    if (t.contains("CHAR") || t.contains("CLOB") || t.contains("TEXT"))
        return Affinity::Text;
    if (t.isEmpty() || t.contains("BLOB"))
        return Affinity::Blob;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

QString describeSqliteError(int code, const QString &path, const char *engineText)
{
    const QString file = QFileInfo(path).fileName();
    switch (code & 0xFF) {
    case SQLITE_CANTOPEN:
        return QString("The catalogue file %1 could not be opened.").arg(path);
    case SQLITE_NOTADB:
        return QString("%1 is not a catalogue this program can read: it is not a database file.").arg(file);
    case SQLITE_CORRUPT:
        return QString("The catalogue file %1 is damaged.").arg(file);
    case SQLITE_READONLY:
        return QString("The catalogue file %1 is read-only: nothing could be saved.").arg(file);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QString("The catalogue file %1 is in use by another program. Try again later.").arg(file);
    case SQLITE_FULL:
        return QString("The disk is full: nothing could be saved to %1.").arg(file);
    case SQLITE_IOERR:
        return QString("The catalogue file %1 could not be read or written (input/output error).").arg(file);
    case SQLITE_PERM:
        return QString("Permission denied for the catalogue file %1.").arg(file);
    default:
        return QString("The catalogue file %1 reported an error: %2")
            .arg(file, QString::fromUtf8(engineText ? engineText : sqlite3_errstr(code)));
    }
}

platform::Failure Database::open(const QString &path, std::unique_ptr<Database> &opened)
{
    opened.reset();
    QFileInfo info(path);
    if (!info.exists())
        return sqliteFailure(SQLITE_CANTOPEN, QString("The catalogue file %1 was not found.").arg(path));
    if (!info.isFile())
        return sqliteFailure(SQLITE_CANTOPEN, QString("%1 is not a file.").arg(path));
    int rc = SQLITE_OK;
    ConnectionPtr db = openConnection(path, SQLITE_OPEN_READWRITE, rc);
    if (rc != SQLITE_OK)
        return sqliteFailure(rc, describeSqliteError(rc, path, db ? sqlite3_errmsg(db.get()) : nullptr));
    std::array<Affinity, FieldCount> affinities{};
    if (auto error = checkSchema(db.get(), path, affinities))
        return error;
    opened.reset(new Database(std::move(db), path));
    opened->affinities_ = affinities;
    return {};
}

QByteArray Database::writtenValue(Field f, int param) const
{
    const Affinity a = affinities_[index(f)];
    const QByteArray p = "?" + QByteArray::number(param);
    if (a == Affinity::Text || a == Affinity::Blob)
        return p;
    return "keep_text(" + p + ", " + QByteArray::number(int(a)) + ")";
}

platform::Failure Database::prepare(const char *sql, StatementPtr &st) const
{
    int rc = SQLITE_OK;
    st = prepareStatement(db_.get(), sql, rc);
    if (!st)
        return errorFor(rc);
    return {};
}

platform::Failure Database::errorFor(int code) const
{
    // The file itself is open, but each change also needs a journal file beside it.
    const QFileInfo info(path_);
    if (code == SQLITE_READONLY_DIRECTORY ||
        ((code & 0xFF) == SQLITE_CANTOPEN && !QFileInfo(info.absolutePath()).isWritable()))
        return sqliteFailure(code,
                             QString("The program's folder is read-only: %1 could not be changed, because no journal "
                                     "file can be made beside it.")
                                 .arg(info.fileName()));
    return sqliteFailure(code, describeSqliteError(code, path_, sqlite3_errmsg(db_.get())));
}

int Database::estimatedRowCount() const
{
    constexpr qint64 Limit = 4'000'000;
    // Rowids need not be dense, but every row takes a few bytes of the file: a small
    // file with one large rowid must not reserve room for millions of rows.
    qint64 rows = 0, fileBytes = 0;
    int rc = SQLITE_OK;
    if (const StatementPtr st = prepareStatement(db_.get(),
                                                 "SELECT max(rowid), (SELECT page_count FROM pragma_page_count()) * "
                                                 "(SELECT page_size FROM pragma_page_size()) FROM Movies",
                                                 rc)) {
        if (sqlite3_step(st.get()) == SQLITE_ROW) {
            rows = sqlite3_column_int64(st.get(), 0);
            fileBytes = sqlite3_column_int64(st.get(), 1);
        }
    }
    return int(std::clamp<qint64>(std::min(rows, fileBytes / 4), 0, Limit));
}

void registerTextFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "jet_like", 2, flags, nullptr, jetLike, nullptr, nullptr);
    sqlite3_create_function(db, "jet_equal", 2, flags, nullptr, jetEqual, nullptr, nullptr);
    sqlite3_create_function(db, "keep_text", 2, flags, nullptr, keepText, nullptr, nullptr);
}

} // namespace catalogue
