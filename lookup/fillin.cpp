// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/fillin.h"

#include "catalogue/backup.h"
#include "lookup/match.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <algorithm>

namespace lookup {

using catalogue::Field;

namespace {

// The fields a look-up fills in; the review is the collector's own.
constexpr Field Filled[] = {Field::Description, Field::Category, Field::Actors,
                            Field::Rating,      Field::Year,     Field::Time};
// Failures in a row after which the next movies would fail the same way.
constexpr int FailuresBeforeStop = 3;

int yearOf(const QString &text)
{
    bool ok = false;
    const int year = text.trimmed().toInt(&ok);
    return ok && year > 0 ? year : 0;
}

QString described(const Candidate &c) { return c.year > 0 ? QString("%1 (%2)").arg(c.title).arg(c.year) : c.title; }

} // namespace

bool isMissingAField(const catalogue::Movie &movie)
{
    return std::any_of(std::begin(Filled), std::end(Filled), [&](Field f) { return movie[f].trimmed().isEmpty(); });
}

FillIn::FillIn(Source &source, QObject *parent) : QObject(parent), source_(source) {}

FillIn::~FillIn() = default;

platform::Failure FillIn::load(const QString &catalogueFile, const std::vector<sqlite3_int64> &rowIds, bool onlyMissing)
{
    std::unique_ptr<catalogue::Database> db;
    platform::Failure error = catalogue::Database::open(catalogueFile, db);
    if (error)
        return error;
    std::vector<catalogue::StoredRow> rows;
    if ((error = catalogue::readStoredRows(*db, rows)))
        return error;
    if (!rowIds.empty()) {
        QHash<sqlite3_int64, size_t> at;
        for (size_t i = 0; i < rows.size(); ++i)
            at.insert(rows[i].rowId, i);
        std::vector<catalogue::StoredRow> chosen;
        for (sqlite3_int64 id : rowIds) {
            if (const auto it = at.constFind(id); it != at.cend())
                chosen.push_back(rows[*it]);
        }
        rows = std::move(chosen);
    }
    onlyMissing_ = onlyMissing;
    movies_.clear();
    for (auto &row : rows) {
        if (!onlyMissing || isMissingAField(row.movie()))
            movies_.push_back(std::move(row));
    }
    return {};
}

QString FillIn::titleAt(int index) const
{
    return index >= 0 && index < total() ? movies_[size_t(index)].movie()[Field::Title] : QString();
}

void FillIn::start()
{
    next_ = answered_ = failuresInARow_ = unchanged_ = 0;
    running_ = true;
    cancelled_ = false;
    stopReason_.clear();
    proposals_.clear();
    setAside_.clear();
    lookUpNext();
}

void FillIn::cancel()
{
    if (!running_)
        return;
    cancelled_ = true;
    request_.reset();
    finish();
}

void FillIn::finish()
{
    running_ = false;
    emit finished();
}

Request *FillIn::takeRequest()
{
    Request *r = request_.release();
    // It is still emitting the signal that brought us here.
    if (r)
        r->deleteLater();
    return r;
}

void FillIn::lookUpNext()
{
    if (!running_)
        return;
    while (next_ < total()) {
        const catalogue::Movie m = movies_[size_t(next_)].movie();
        if (!m[Field::Title].trimmed().isEmpty())
            break;
        setAside_.push_back({movies_[size_t(next_)].rowId, QString(), m[Field::Year], SetAside::Reason::NotFound,
                             QStringLiteral("It has no title to look up.")});
        ++next_;
    }
    if (next_ >= total()) {
        finish();
        return;
    }
    const catalogue::Movie m = movies_[size_t(next_)].movie();
    request_ = source_.search(m[Field::Title].trimmed(), yearOf(m[Field::Year]));
    connect(request_.get(), &Request::finished, this, &FillIn::onSearched);
}

void FillIn::failed(const Request &request)
{
    const catalogue::Movie m = movies_[size_t(next_)].movie();
    setAside_.push_back({movies_[size_t(next_)].rowId, m[Field::Title], m[Field::Year], SetAside::Reason::Failed,
                         request.errorMessage()});
    ++next_;
    emit progressed(next_, total());
    const Failure kind = request.failure();
    if (kind == Failure::Network || kind == Failure::KeyRefused || ++failuresInARow_ >= FailuresBeforeStop) {
        stopReason_ = request.errorMessage();
        finish();
        return;
    }
    lookUpNext();
}

void FillIn::onSearched()
{
    const Request *r = takeRequest();
    if (!r || !running_)
        return;
    if (r->failure() != Failure::None) {
        failed(*r);
        return;
    }
    failuresInARow_ = 0;
    ++answered_;
    const catalogue::Movie m = movies_[size_t(next_)].movie();
    const QString title = m[Field::Title].trimmed();
    const int year = yearOf(m[Field::Year]);
    QList<Candidate> confident;
    for (const Candidate &c : r->candidates()) {
        const bool seen = std::any_of(confident.begin(), confident.end(),
                                      [&](const Candidate &o) { return !c.id.isEmpty() && o.id == c.id; });
        if (!seen && isConfidentMatch(title, year, c.title, c.year))
            confident << c;
    }
    if (confident.size() != 1) {
        QStringList found;
        for (const Candidate &c : confident)
            found << described(c);
        setAside_.push_back({movies_[size_t(next_)].rowId, m[Field::Title], m[Field::Year],
                             confident.isEmpty() ? SetAside::Reason::NotFound : SetAside::Reason::MoreThanOne,
                             found.join(QStringLiteral("; "))});
        ++next_;
        emit progressed(next_, total());
        lookUpNext();
        return;
    }
    match_ = confident.first();
    request_ = source_.details(match_);
    connect(request_.get(), &Request::finished, this, &FillIn::onDetails);
}

void FillIn::onDetails()
{
    const Request *r = takeRequest();
    if (!r || !running_)
        return;
    if (r->failure() != Failure::None) {
        --answered_;
        failed(*r);
        return;
    }
    const catalogue::StoredRow &row = movies_[size_t(next_)];
    const catalogue::Movie m = row.movie();
    const catalogue::Movie found = r->details();
    MovieChanges changes{row, m[Field::Title], match_.title, match_.year, {}};
    // The title only where the collector asked for every difference: it is never empty.
    std::vector<Field> fields(std::begin(Filled), std::end(Filled));
    fields.insert(fields.begin(), Field::Title);
    for (Field f : fields) {
        const QString proposed = found[f].trimmed();
        const bool empty = m[f].trimmed().isEmpty();
        if (proposed.isEmpty() || proposed == m[f].trimmed() || (!empty && onlyMissing_))
            continue;
        changes.changes.push_back({f, m[f], proposed, empty});
    }
    if (changes.changes.empty())
        ++unchanged_;
    else
        proposals_.push_back(std::move(changes));
    ++next_;
    emit progressed(next_, total());
    lookUpNext();
}

ApplyResult applyChanges(const QString &catalogueFile, const std::vector<MovieChanges> &confirmed, const QDateTime &now)
{
    ApplyResult result;
    const bool anything =
        std::any_of(confirmed.begin(), confirmed.end(), [](const MovieChanges &m) { return !m.changes.empty(); });
    if (!anything)
        return result;
    platform::Failure error =
        catalogue::backUpCatalogue(catalogueFile, &result.backupFile, {}, now, catalogue::BackupReason::BeforeFillIn);
    if (error) {
        result.backupFile.clear();
        result.error = {error.kind, "No backup could be made, so nothing was changed: " + error.message, error.code};
        return result;
    }
    std::unique_ptr<catalogue::Database> db;
    if ((error = catalogue::Database::open(catalogueFile, db))) {
        result.error = error;
        return result;
    }
    sqlite3 *h = db->handle();
    const auto fail = [&](const platform::Failure &why) {
        if (!sqlite3_get_autocommit(h))
            sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        // A failed write may leave its rollback to the next reader: be that reader now, so
        // that the file on disk is as it was when we say nothing changed.
        if (sqlite3_exec(h, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
            db.reset();
            // Opening is the point here; what it answers changes nothing the caller is told.
            (void)catalogue::Database::open(catalogueFile, db);
        }
        const QString backup = result.backupFile;
        result = {};
        result.backupFile = backup;
        result.error = {why.kind, "Nothing was changed: " + why.message, why.code};
        return result;
    };
    // The write lock at once, so that no other writer slips in half way.
    int rc = sqlite3_exec(h, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(db->errorFor(rc));
    for (const MovieChanges &movie : confirmed) {
        if (movie.changes.empty())
            continue;
        std::vector<int> fields;
        std::vector<QByteArray> values;
        for (const FieldChange &c : movie.changes) {
            fields.push_back(catalogue::index(c.field));
            values.push_back(c.newValue.toUtf8());
        }
        catalogue::StatementPtr st;
        if ((error = db->prepare(catalogue::guardedUpdateSql(*db, fields).constData(), st)))
            return fail(error);
        for (size_t k = 0; k < values.size(); ++k)
            sqlite3_bind_text64(st.get(), int(k) + 1, values[k].constData(), sqlite3_uint64(values[k].size()),
                                SQLITE_STATIC, SQLITE_UTF8);
        catalogue::bindRowGuard(st.get(), int(fields.size()) + 1, movie.row);
        rc = sqlite3_step(st.get());
        if (rc != SQLITE_DONE)
            return fail(db->errorFor(rc));
        if (sqlite3_changes(h) == 1) {
            ++result.moviesChanged;
            result.fieldsChanged += int(fields.size());
        } else {
            result.changedMeanwhile << movie.title;
            result.changedMeanwhileRows.push_back(movie.row.rowId);
        }
    }
    rc = sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return fail(db->errorFor(rc));
    return result;
}

namespace {

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

QString named(const SetAside &m)
{
    return m.year.trimmed().isEmpty() ? m.title : QString("%1 (%2)").arg(m.title, m.year.trimmed());
}

// Names each movie the run could not settle, and why the run stopped early.
void reportSetAside(const FillIn &fillIn, QTextStream &out, QTextStream &err)
{
    for (const SetAside &m : fillIn.setAside()) {
        if (m.title.isEmpty())
            out << "Not looked up: a movie without a title\n";
        else if (m.reason == SetAside::Reason::NotFound)
            out << "No match found: " << named(m) << '\n';
        else if (m.reason == SetAside::Reason::MoreThanOne)
            out << "More than one match, not changed: " << named(m) << " (" << m.detail << ")\n";
        else if (m.reason == SetAside::Reason::Failed)
            err << "Not looked up: " << named(m) << ": " << m.detail << '\n';
    }
    const int notReached = fillIn.total() - fillIn.done();
    if (!fillIn.stopReason().isEmpty())
        err << "The look-up stopped: " << fillIn.stopReason() << " " << notReached << " of " << fillIn.total()
            << " movies were not looked up.\n";
}

} // namespace

int fillInCatalogue(const QString &catalogueFile, bool onlyMissing, Source *source, QTextStream &out, QTextStream &err)
{
    if (!source) {
        err << "Online look-up is not available in this build: nothing was changed.\n";
        return 1;
    }
    FillIn fillIn(*source);
    if (const platform::Failure e = fillIn.load(catalogueFile, {}, onlyMissing)) {
        err << e.message << '\n';
        return 1;
    }
    if (fillIn.total() == 0) {
        out << (onlyMissing ? "No movie is missing a field.\n" : "The catalogue holds no movie.\n");
        return 0;
    }
    QEventLoop loop;
    QObject::connect(&fillIn, &FillIn::finished, &loop, &QEventLoop::quit);
    fillIn.start();
    if (fillIn.isRunning())
        loop.exec();

    if (fillIn.answered() == 0 && fillIn.done() > 0 &&
        std::any_of(fillIn.setAside().begin(), fillIn.setAside().end(),
                    [](const SetAside &m) { return m.reason == SetAside::Reason::Failed; })) {
        reportSetAside(fillIn, out, err);
        err << fillIn.sourceName() << " gave no answer for any movie: nothing was changed.\n";
        return 1;
    }

    // Only what the review would offer checked: the fields that were empty.
    std::vector<MovieChanges> confirmed;
    for (MovieChanges m : fillIn.proposals()) {
        m.changes.erase(
            std::remove_if(m.changes.begin(), m.changes.end(), [](const FieldChange &c) { return !c.proposed; }),
            m.changes.end());
        if (!m.changes.empty())
            confirmed.push_back(std::move(m));
    }
    const ApplyResult applied = applyChanges(catalogueFile, confirmed);
    if (applied.error) {
        err << applied.error.message << '\n';
        return 1;
    }
    if (!applied.backupFile.isEmpty())
        out << "Backup taken before the changes: " << applied.backupFile << '\n';
    for (const MovieChanges &m : confirmed) {
        const auto &skipped = applied.changedMeanwhileRows;
        if (std::find(skipped.begin(), skipped.end(), m.row.rowId) != skipped.end())
            continue;
        for (const FieldChange &c : m.changes)
            out << m.title << ": " << catalogue::fieldName(c.field) << " = " << oneLine(c.newValue) << '\n';
    }
    for (const QString &title : applied.changedMeanwhile)
        out << "Changed elsewhere meanwhile, not overwritten: " << title << '\n';
    reportSetAside(fillIn, out, err);
    out << applied.moviesChanged << (applied.moviesChanged == 1 ? " movie" : " movies") << " changed in "
        << QFileInfo(catalogueFile).fileName() << ".\n";
    return 0;
}

} // namespace lookup
