#include "recordcursor.h"

namespace catalogue {

namespace {

// Names a row by rowid and by every value read, so a write never reaches a row that
// changed since. Values are compared as text, the way they were read.
QByteArray rowCondition(int firstParam)
{
    QByteArray s = "rowid = ?" + QByteArray::number(firstParam);
    for (int i = 0; i < FieldCount; ++i)
        s += " AND CAST(\"" + fieldName(fieldAt(i)).toLatin1() + "\" AS TEXT) IS ?" +
             QByteArray::number(firstParam + 1 + i);
    return s;
}

// Sets only the fields listed, so that a field the user left alone keeps exactly what
// is stored (a NULL, a number, bytes another program wrote).
QByteArray updateSql(const Database &db, const std::vector<int> &fields)
{
    QByteArray s = "UPDATE Movies SET ";
    for (size_t k = 0; k < fields.size(); ++k)
        s += (k ? ", \"" : "\"") + fieldName(fieldAt(fields[k])).toLatin1() +
             "\" = " + db.writtenValue(fieldAt(fields[k]), int(k) + 1);
    if (fields.empty())
        s += "\"Title\" = \"Title\"";
    return s + " WHERE " + rowCondition(int(fields.size()) + 1);
}

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

QByteArray deleteSql() { return "DELETE FROM Movies WHERE " + rowCondition(1); }

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
    if (path != databaseName_ && db_)
        closeDatabase();
    databaseName_ = path;
}

bool RecordCursor::fail(const CatalogueError &e)
{
    error_ = e;
    return false;
}

bool RecordCursor::ensureOpen()
{
    if (db_)
        return true;
    CatalogueError e;
    db_ = Database::open(databaseName_, e);
    lastStamp_ = -1;
    return db_ ? true : fail(e);
}

bool RecordCursor::refresh()
{
    error_ = {};
    editMode_ = EditMode::None;
    bool ok = ensureOpen();
    std::optional<Query> query;
    if (ok && recordSource_.isEmpty()) {
        // No query: an empty result, as before any query was set.
        result_ = ResultSet();
        lastRun_.clear();
    } else if (ok) {
        QString why;
        query = Query::parse(recordSource_, &why);
        if (!query)
            ok = fail({SQLITE_ERROR, QString("The query \"%1\" cannot be run: %2.").arg(recordSource_, why)});
    }
    if (ok && query) {
        const qint64 stamp = db_->changeStamp();
        if (recordSource_ != lastRun_ || stamp != lastStamp_) {
            CatalogueError e;
            StatementPtr st = db_->prepare(query->sql().constData(), e);
            ResultSet fresh;
            fresh.reserve(db_->estimatedRowCount());
            if (st && query->filter != Query::Filter::None) {
                const QByteArray text = query->filterText.toUtf8();
                sqlite3_bind_text64(st.get(), 1, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                    SQLITE_UTF8);
            }
            int rc = st ? SQLITE_ROW : SQLITE_ERROR;
            while (st && (rc = sqlite3_step(st.get())) == SQLITE_ROW)
                fresh.appendRow(st.get());
            if (!st)
                ok = fail(e);
            else if (rc != SQLITE_DONE)
                ok = fail(db_->errorFor(rc));
            else {
                if (query->orderBy)
                    fresh.sortBy(*query->orderBy, query->descending);
                result_ = std::move(fresh);
                lastRun_ = recordSource_;
                lastStamp_ = db_->changeStamp();
            }
        }
    }
    if (!ok) {
        result_ = ResultSet();
        lastRun_.clear();
    }
    visited_ = 0;
    const bool empty = result_.isEmpty();
    bof_ = eof_ = empty;
    pos_ = empty ? -1 : 0;
    if (!empty)
        visited_ = 1;
    emit resultChanged();
    showCurrent();
    return ok;
}

void RecordCursor::closeDatabase()
{
    emit validate(int(CursorAction::Close));
    editMode_ = EditMode::None;
    db_.reset();
    lastRun_.clear();
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
        return fail({SQLITE_NOTFOUND, "There is no current movie to edit."});
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
    CatalogueError e;
    StatementPtr st = db_->prepare(sql.constData(), e);
    if (!st)
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
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_DONE)
        return fail(db_->errorFor(rc));
    if (sqlite3_changes(db_->handle()) != 1)
        return fail({RowChanged, "This movie was changed or deleted elsewhere since it was shown; "
                                 "nothing was saved. List the movies again and retry."});
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
        if (!writeRow(insertSql(*db_), &m, {0, 1, 2, 3, 4, 5, 6, 7}))
            return false;
        editMode_ = EditMode::None;
        return true;
    }
    if (editMode_ != EditMode::Edit || !hasCurrent())
        return fail({SQLITE_MISUSE, "No movie is open for editing."});
    const Movie m = valuesFromControls(currentMovie());
    const Movie read = currentMovie();
    std::vector<int> changed;
    for (int i = 0; i < FieldCount; ++i)
        if (m.values[i] != read.values[i])
            changed.push_back(i);
    if (!writeRow(updateSql(*db_, changed), &m, changed))
        return false;
    editMode_ = EditMode::None;
    for (int field : changed)
        result_.setText(pos_, fieldAt(field), m.values[field]);
    emit rowUpdated(pos_);
    return true;
}

bool RecordCursor::deleteCurrent()
{
    error_ = {};
    emit validate(int(CursorAction::Delete));
    if (!hasCurrent())
        return fail({SQLITE_NOTFOUND, "There is no current movie to delete."});
    editMode_ = EditMode::None;
    if (!writeRow(deleteSql(), nullptr, {}))
        return false;
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
