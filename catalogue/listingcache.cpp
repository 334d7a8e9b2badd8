#include "listingcache.h"

#include "textfold.h"

#include <algorithm>

namespace catalogue {

namespace {

qint64 single(sqlite3 *db, const char *sql)
{
    qint64 value = -1;
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) == SQLITE_OK && sqlite3_step(raw) == SQLITE_ROW)
        value = sqlite3_column_int64(raw, 0);
    sqlite3_finalize(raw);
    return value;
}

// A trigger or a unique index (whose conflict clause may replace other rows) can make
// one write change more rows than the one it names.
bool isPlainTable(sqlite3 *db)
{
    return single(db, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'Movies' "
                      "COLLATE NOCASE") == 0 &&
           single(db, "SELECT count(*) FROM pragma_index_list('Movies') WHERE \"unique\"") == 0;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

// Whether text, lowered, contains needle (already lowered); nothing when the text is
// not plain ASCII, whose folding only the full rules get right.
std::optional<bool> asciiContains(std::string_view text, const QByteArray &needle)
{
    for (char c : text)
        if (uchar(c) >= 0x80)
            return std::nullopt;
    const size_t m = size_t(needle.size());
    if (m == 0)
        return true;
    const char first = needle[0];
    for (size_t i = 0; i + m <= text.size(); ++i) {
        if (lowerAscii(text[i]) != first)
            continue;
        size_t j = 1;
        while (j < m && lowerAscii(text[i + j]) == needle[qsizetype(j)])
            ++j;
        if (j == m)
            return true;
    }
    return false;
}

} // namespace

ListingCache::Stamp ListingCache::stampOf(sqlite3 *db)
{
    return {single(db, "PRAGMA data_version"), sqlite3_total_changes64(db)};
}

bool ListingCache::isCurrent(sqlite3 *db) const { return kept_ && stamp_.dataVersion >= 0 && stampOf(db) == stamp_; }

void ListingCache::forget()
{
    kept_ = false;
    table_ = ResultSet();
    sorted_.clear();
}

void ListingCache::keepTable(sqlite3 *db, const ResultSet &table, Stamp at)
{
    forget();
    table_ = table;
    stamp_ = at;
    plain_ = isPlainTable(db);
    kept_ = true;
}

std::optional<ResultSet> ListingCache::rowsFor(sqlite3 *db, const Query &query)
{
    if (!isCurrent(db)) {
        forget();
        return std::nullopt;
    }
    const ResultSet *base = &table_;
    ResultSet subset;
    if (query.orderBy) {
        const std::pair<int, bool> key{index(*query.orderBy), query.descending};
        auto it = sorted_.find(key);
        if (it != sorted_.end()) {
            base = &it->second;
        } else if (query.filter == Query::Filter::None) {
            // A sort of the whole table is worth keeping; a search sorts only what it found.
            ResultSet sorted = table_;
            sorted.sortBy(*query.orderBy, query.descending);
            base = &sorted_.emplace(key, std::move(sorted)).first->second;
        } else {
            const RowFilter filter(query);
            subset = table_.filtered([&](int pos) { return filter.matches(table_, pos); });
            subset.sortBy(*query.orderBy, query.descending);
            return subset;
        }
    }
    if (query.filter == Query::Filter::None)
        return *base;
    const RowFilter filter(query);
    return base->filtered([&](int pos) { return filter.matches(*base, pos); });
}

bool ListingCache::followsOneWrite(sqlite3 *db, Stamp before)
{
    const Stamp now = stampOf(db);
    if (!kept_ || !plain_ || before != stamp_ || now.dataVersion != before.dataVersion ||
        now.changes != before.changes + 1) {
        forget();
        return false;
    }
    stamp_ = now;
    return true;
}

void ListingCache::rowInserted(sqlite3 *db, Stamp before, sqlite3_int64 rowId, const Movie &m)
{
    if (!followsOneWrite(db, before))
        return;
    const int pos = table_.insertRow(rowId, m);
    for (auto &[key, sorted] : sorted_)
        sorted.insertRowOf(table_, pos);
}

void ListingCache::rowUpdated(sqlite3 *db, Stamp before, sqlite3_int64 rowId, const Movie &m,
                              const std::vector<int> &fields)
{
    if (!followsOneWrite(db, before))
        return;
    const int pos = table_.find(rowId);
    if (pos < 0) {
        forget();
        return;
    }
    for (int f : fields)
        table_.setText(pos, fieldAt(f), m.values[f]);
    for (auto &[key, sorted] : sorted_)
        if (std::find(fields.begin(), fields.end(), key.first) != fields.end())
            sorted.placeAgain(sorted.find(rowId));
}

void ListingCache::rowDeleted(sqlite3 *db, Stamp before, sqlite3_int64 rowId)
{
    if (!followsOneWrite(db, before))
        return;
    const int pos = table_.find(rowId);
    if (pos < 0) {
        forget();
        return;
    }
    table_.remove(pos);
    for (auto &[key, sorted] : sorted_)
        sorted.remove(sorted.find(rowId));
}

RowFilter::RowFilter(const Query &query) : query_(query)
{
    // The statement hands the filter text over as UTF-8; go through the same bytes.
    const QByteArray utf8 = query.filterText.toUtf8();
    if (query.filter == Query::Filter::Like) {
        pattern_.emplace(QString::fromUtf8(utf8));
        // Folding plain ASCII lowers its letters and nothing else, so such a pattern
        // over such a value is a search for the lowered bytes, many times faster.
        const QByteArray inner = utf8.mid(1, utf8.size() - 2);
        if (utf8.size() >= 2 && utf8.startsWith('*') && utf8.endsWith('*') &&
            std::all_of(inner.begin(), inner.end(),
                        [](char c) { return uchar(c) < 0x80 && c != '*' && c != '?' && c != '#' && c != '['; }))
            plainNeedle_ = inner.toLower();
    } else {
        foldCaseUtf8({utf8.constData(), size_t(utf8.size())}, folded_);
    }
}

bool RowFilter::matches(const ResultSet &rows, int pos) const
{
    if (query_.filter == Query::Filter::None)
        return true;
    for (Field f : query_.filterFields) {
        const auto [text, isNull] = rows.rawText(pos, f);
        if (isNull)
            continue;
        const std::string_view bytes(text.data() ? text.data() : "", size_t(text.size()));
        if (plainNeedle_) {
            if (const auto found = asciiContains(bytes, *plainNeedle_)) {
                if (*found)
                    return true;
                continue;
            }
        }
        value_.clear();
        foldCaseUtf8(bytes, value_);
        if (pattern_ ? pattern_->matches(value_) : value_ == folded_)
            return true;
    }
    return false;
}

} // namespace catalogue
