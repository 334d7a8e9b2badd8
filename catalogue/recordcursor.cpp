// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/recordcursor.h"

#include "catalogue/guardedwrite.h"

namespace catalogue {

namespace {

QByteArray insertSql(const Database &db)
{
    QByteArray s = "INSERT INTO Movies (";
    for (int i = 0; i < FieldCount; ++i)
        s += (i ? ", \"" : "\"") + fieldName(fieldAt(i)).toLatin1() + '"';
    s += ") VALUES (";
    for (int i = 0; i < FieldCount; ++i)
        s += (i ? ", " : "") + db.writtenValue(fieldAt(i), i + 1);
    return s + ")";
}

QByteArray deleteSql() { return "DELETE FROM Movies WHERE " + rowGuard(1); }

void bindText(sqlite3_stmt *st, int param, const QString &text, bool isNull)
{
    if (isNull) {
        sqlite3_bind_null(st, param);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text64(st, param, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
}

} // namespace

RecordCursor::RecordCursor(QObject *parent) : QObject(parent) {}

RecordCursor::~RecordCursor() = default;

void RecordCursor::setDatabaseName(const QString &path)
{
    if (path != databaseName_ && link_)
        closeDatabase();
    databaseName_ = path;
}

bool RecordCursor::fail(const platform::Failure &e)
{
    error_ = e;
    return false;
}

bool RecordCursor::ensureOpen()
{
    if (link_)
        return true;
    std::unique_ptr<Database> db;
    if (auto e = Database::open(databaseName_, db))
        return fail(e);
    link_ = std::make_shared<Link>();
    link_->db = std::move(db);
    return true;
}

bool RecordCursor::shareConnectionOf(RecordCursor &other)
{
    if (!other.ensureOpen())
        return fail(other.error_);
    if (link_ != other.link_)
        closeDatabase();
    databaseName_ = other.databaseName_;
    link_ = other.link_;
    return true;
}

bool RecordCursor::rowsAreCurrent() const { return link_ && link_->kept.isCurrent(link_->db->handle()); }

// Reads the rows of query from the file. The whole table is kept with the connection
// for the listings that follow; a filtered read is not.
bool RecordCursor::readRows(const Query &query)
{
    Database &db = *link_->db;
    // The state is taken before reading: a change that lands in between makes the
    // kept rows look out of date, never the other way round.
    const ListingCache::Stamp stamp = ListingCache::stampOf(db.handle());
    StatementPtr st;
    if (auto e = db.prepare(query.sql().constData(), st))
        return fail(e);
    ResultSet fresh;
    fresh.reserve(query.filter == Query::Filter::None ? db.estimatedRowCount() : 0);
    if (query.filter != Query::Filter::None) {
        const QByteArray text = query.filterText.toUtf8();
        sqlite3_bind_text64(st.get(), 1, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        if (stop_ && stop_->load(std::memory_order_relaxed))
            return fail(sqliteFailure(SQLITE_INTERRUPT, QStringLiteral("The reading of the catalogue was stopped.")));
        fresh.appendRow(st.get());
    }
    if (rc != SQLITE_DONE)
        return fail(db.errorFor(rc));
    if (query.filter == Query::Filter::None) {
        link_->kept.keepTable(db.handle(), fresh, stamp);
        if (auto rows = link_->kept.rowsFor(db.handle(), query)) {
            replaceResult(std::move(*rows));
            return true;
        }
    }
    if (query.orderBy)
        fresh.sortBy(*query.orderBy, query.descending);
    link_->kept.keepAnswer(query, fresh, stamp);
    replaceResult(std::move(fresh));
    return true;
}

void RecordCursor::replaceResult(ResultSet rows)
{
    const bool same = rows.sameRowsAs(result_) && rows.storedChanges() == announcedChanges_;
    result_ = std::move(rows);
    announcedChanges_ = result_.storedChanges();
    if (!same)
        emit resultChanged();
}

bool RecordCursor::refresh()
{
    error_ = {};
    editMode_ = EditMode::None;
    bool ok = ensureOpen();
    std::optional<Query> query;
    if (ok && recordSource_.isEmpty()) {
        // No query: an empty result, as before any query was set.
        replaceResult(ResultSet());
    } else if (ok) {
        Query parsed;
        if (const platform::Failure why = Query::parse(recordSource_, parsed))
            ok = fail(sqliteFailure(SQLITE_ERROR,
                                    QString("The query \"%1\" cannot be run: %2.").arg(recordSource_, why.message)));
        else
            query = std::move(parsed);
    }
    if (ok && query) {
        if (auto kept = link_->kept.rowsFor(link_->db->handle(), *query)) {
            replaceResult(std::move(*kept));
        } else {
            // The rows shown go before the new ones are read, so that a large catalogue is
            // never held twice; the list hears of it once the new rows are in (nothing
            // paints in between).
            result_ = ResultSet();
            ok = readRows(*query);
        }
    }
    if (!ok)
        replaceResult(ResultSet());
    visited_ = 0;
    const bool empty = result_.isEmpty();
    bof_ = eof_ = empty;
    pos_ = empty ? -1 : 0;
    if (!empty)
        visited_ = 1;
    showCurrent();
    return ok;
}

void RecordCursor::closeDatabase()
{
    emit validate(int(CursorAction::Close));
    editMode_ = EditMode::None;
    link_.reset();
}

void RecordCursor::moveTo(int pos)
{
    const int n = result_.size();
    bof_ = pos < 0 || n == 0;
    eof_ = pos >= n || n == 0;
    pos_ = std::clamp(pos, -1, n);
    if (hasCurrent())
        visited_ = std::max(visited_, pos_ + 1);
    showCurrent();
}

void RecordCursor::moveFirst()
{
    emit validate(int(CursorAction::MoveFirst));
    moveTo(0);
}

void RecordCursor::moveLast()
{
    emit validate(int(CursorAction::MoveLast));
    moveTo(result_.size() - 1);
}

void RecordCursor::moveNext()
{
    emit validate(int(CursorAction::MoveNext));
    if (!eof_)
        moveTo(bof_ ? 0 : pos_ + 1);
}

void RecordCursor::movePrevious()
{
    emit validate(int(CursorAction::MovePrevious));
    if (!bof_)
        moveTo(eof_ ? result_.size() - 1 : pos_ - 1);
}

void RecordCursor::setAbsolutePosition(int pos)
{
    if (pos >= 0 && pos < result_.size())
        moveTo(pos);
}

Movie RecordCursor::currentMovie() const { return hasCurrent() ? result_.movie(pos_) : Movie{}; }

void RecordCursor::addNew()
{
    emit validate(int(CursorAction::AddNew));
    editMode_ = EditMode::AddNew;
    showValues(nullptr);
}

bool RecordCursor::edit()
{
    if (!hasCurrent())
        return fail(sqliteFailure(SQLITE_NOTFOUND, "There is no current movie to edit."));
    editMode_ = EditMode::Edit;
    return true;
}

void RecordCursor::cancelUpdate()
{
    const bool wasAdding = editMode_ == EditMode::AddNew;
    editMode_ = EditMode::None;
    if (wasAdding)
        showCurrent();
}

Movie RecordCursor::valuesFromControls(const Movie &base) const
{
    Movie m = base;
    for (const auto &[field, control] : bindings_) {
        if (control->isAlive() && control->isEditable()) {
            m[field] = control->editedValue();
            m.isNull[index(field)] = false;
        }
    }
    return m;
}

bool RecordCursor::writeRow(const QByteArray &sql, const Movie *newValues, const std::vector<int> &fields)
{
    if (!ensureOpen())
        return false;
    Database &db = *link_->db;
    StatementPtr st;
    if (auto e = db.prepare(sql.constData(), st))
        return fail(e);
    int next = 1;
    for (int field : fields)
        bindText(st.get(), next++, newValues->values[field], newValues->isNull[field]);
    if (editMode_ != EditMode::AddNew) {
        // The row is named by the bytes read, exactly.
        sqlite3_bind_int64(st.get(), next, currentRowId());
        for (int i = 0; i < FieldCount; ++i) {
            const auto [text, null] = result_.rawText(pos_, fieldAt(i));
            if (null)
                sqlite3_bind_null(st.get(), next + 1 + i);
            else
                sqlite3_bind_text64(st.get(), next + 1 + i, text.data() ? text.data() : "", sqlite3_uint64(text.size()),
                                    SQLITE_TRANSIENT, SQLITE_UTF8);
        }
    }
    beforeWrite_ = ListingCache::stampOf(db.handle());
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_DONE)
        return fail(db.errorFor(rc));
    if (sqlite3_changes(db.handle()) != 1)
        return fail(sqliteFailure(RowChanged, "This movie was changed or deleted elsewhere since it was shown; "
                                              "nothing was saved. List the movies again and retry."));
    return true;
}

bool RecordCursor::updateRecord()
{
    error_ = {};
    emit validate(int(CursorAction::Update));
    if (editMode_ != EditMode::None && !ensureOpen())
        return false;
    if (editMode_ == EditMode::AddNew) {
        Movie empty;
        const Movie m = valuesFromControls(empty);
        if (!writeRow(insertSql(*link_->db), &m, {0, 1, 2, 3, 4, 5, 6, 7}))
            return false;
        sqlite3 *db = link_->db->handle();
        link_->kept.rowInserted(db, beforeWrite_, sqlite3_last_insert_rowid(db), m);
        editMode_ = EditMode::None;
        return true;
    }
    if (editMode_ != EditMode::Edit || !hasCurrent())
        return fail(sqliteFailure(SQLITE_MISUSE, "No movie is open for editing."));
    const Movie m = valuesFromControls(currentMovie());
    const Movie read = currentMovie();
    std::vector<int> changed;
    for (int i = 0; i < FieldCount; ++i)
        if (m.values[i] != read.values[i])
            changed.push_back(i);
    if (!writeRow(guardedUpdateSql(*link_->db, changed), &m, changed))
        return false;
    editMode_ = EditMode::None;
    for (int field : changed)
        result_.setText(pos_, fieldAt(field), m.values[field]);
    announcedChanges_ = result_.storedChanges();
    link_->kept.rowUpdated(link_->db->handle(), beforeWrite_, currentRowId(), m, changed);
    emit rowUpdated(pos_);
    return true;
}

bool RecordCursor::deleteCurrent()
{
    error_ = {};
    emit validate(int(CursorAction::Delete));
    if (!hasCurrent())
        return fail(sqliteFailure(SQLITE_NOTFOUND, "There is no current movie to delete."));
    editMode_ = EditMode::None;
    const sqlite3_int64 rowId = currentRowId();
    if (!writeRow(deleteSql(), nullptr, {}))
        return false;
    link_->kept.rowDeleted(link_->db->handle(), beforeWrite_, rowId);
    result_.remove(pos_);
    emit resultChanged();
    moveTo(std::min(pos_, result_.size()));
    return true;
}

void RecordCursor::bind(Field f, std::unique_ptr<BoundControl> control)
{
    bindings_.emplace_back(f, std::move(control));
    const Movie m = currentMovie();
    bindings_.back().second->showValue(hasCurrent() ? m[f] : QString());
}

void RecordCursor::showCurrent()
{
    if (hasCurrent()) {
        const Movie m = result_.movie(pos_);
        showValues(&m);
    } else {
        showValues(nullptr);
    }
    emit currentChanged();
}

void RecordCursor::showValues(const Movie *m)
{
    for (auto it = bindings_.begin(); it != bindings_.end();) {
        if (!it->second->isAlive()) {
            it = bindings_.erase(it);
            continue;
        }
        it->second->showValue(m ? (*m)[it->first] : QString());
        ++it;
    }
}

} // namespace catalogue
