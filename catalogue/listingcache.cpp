// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/listingcache.h"

#include "catalogue/database.h"
#include "catalogue/textfold.h"

#include <algorithm>
#include <cstring>

namespace catalogue {

namespace {

// The number the statement gives, or -1 when it gives none.
qint64 single(sqlite3 *db, const char *sql)
{
    qint64 value = -1;
    return readValue(db, sql, value) ? value : -1;
}

// A trigger or a unique index (whose conflict clause may replace other rows) can make
// one write change more rows than the one it names.
bool isPlainTable(sqlite3 *db)
{
    return single(db, "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'Movies' "
                      "COLLATE NOCASE") == 0 &&
           single(db, "SELECT count(*) FROM pragma_index_list('Movies') WHERE \"unique\"") == 0;
}

// Whether text, lowered, contains needle (already lowered); nothing when the text is
// not plain ASCII, whose folding only the full rules get right. Eight bytes at a time:
// a letter from A to Z gains the bit 0x20.
std::optional<bool> asciiContains(std::string_view text, const QByteArray &needle)
{
    constexpr quint64 High = 0x8080808080808080ull, Low7 = 0x7F7F7F7F7F7F7F7Full;
    thread_local std::string lowered;
    const size_t n = text.size();
    lowered.resize(n);
    quint64 high = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 x;
        std::memcpy(&x, text.data() + i, 8);
        high |= x;
        const quint64 seven = x & Low7;
        const quint64 atLeastA = seven + 0x3F3F3F3F3F3F3F3Full; // high bit set from 'A' on
        const quint64 pastZ = seven + 0x2525252525252525ull;    // high bit set past 'Z'
        x |= ((atLeastA ^ pastZ) & High) >> 2;
        std::memcpy(lowered.data() + i, &x, 8);
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        high |= c;
        lowered[i] = char(c + (unsigned(c - 'A') < 26u ? 32 : 0));
    }
    if (high & High)
        return std::nullopt;
    if (needle.isEmpty())
        return true;
    return std::string_view(lowered).find(std::string_view(needle.constData(), size_t(needle.size()))) !=
           std::string_view::npos;
}

} // namespace

ListingCache::Stamp ListingCache::stampOf(sqlite3 *db)
{
    return {single(db, "PRAGMA data_version"), sqlite3_total_changes64(db)};
}

bool ListingCache::isCurrent(sqlite3 *db) const { return kept_ && stamp_.dataVersion >= 0 && stampOf(db) == stamp_; }

namespace {

bool sameQuery(const Query &a, const Query &b)
{
    return a.filter == b.filter && a.filterFields == b.filterFields && a.filterText == b.filterText &&
           a.orderBy == b.orderBy && a.descending == b.descending;
}

} // namespace

void ListingCache::forget()
{
    lastQuery_.reset();
    lastRows_ = ResultSet();
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
    const Stamp now = stampOf(db);
    if (now.dataVersion < 0) {
        forget();
        return std::nullopt;
    }
    if (lastQuery_ && sameQuery(*lastQuery_, query) && now == answerStamp_)
        return lastRows_;
    if (!kept_ || now != stamp_) {
        forget();
        return std::nullopt;
    }
    keepAnswer(query, answer(query), now);
    return lastRows_;
}

void ListingCache::keepAnswer(const Query &query, const ResultSet &rows, Stamp at)
{
    lastQuery_ = query;
    lastRows_ = rows;
    answerStamp_ = at;
}

ResultSet ListingCache::answer(const Query &query)
{
    const ResultSet *base = &table_;
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
            ResultSet found = table_.filtered([&](int pos) { return filter.matches(table_, pos); });
            found.sortBy(*query.orderBy, query.descending);
            return found;
        }
    }
    if (query.filter == Query::Filter::None)
        return *base;
    // The rows are tested in table order, which reads the stored text from front to
    // back, and then taken in the sorted order.
    const RowFilter filter(query);
    std::vector<bool> match(size_t(table_.storedRows()), false);
    for (int pos = 0; pos < table_.size(); ++pos)
        match[size_t(table_.storedRow(pos))] = filter.matches(table_, pos);
    return base->filtered([&](int pos) { return match[size_t(base->storedRow(pos))]; });
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
    lastQuery_.reset();
    lastRows_ = ResultSet();
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
                        [](char c) { return uchar(c) < 0x80 && c != '*' && c != '?' && c != '#' && c != '['; })) {
            plainNeedle_ = inner.toLower();
            plainNeedle32_.assign(plainNeedle_->begin(), plainNeedle_->end());
        }
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
            // Folded with its ligatures split, a value holds the letters the pattern would match.
            value_.clear();
            foldCaseUtf8(bytes, value_, Ligatures::Split);
            if (value_.find(plainNeedle32_) != std::u32string::npos)
                return true;
            continue;
        }
        value_.clear();
        foldCaseUtf8(bytes, value_, pattern_ ? Ligatures::Keep : Ligatures::Split);
        if (pattern_ ? pattern_->matches(value_) : value_ == folded_)
            return true;
    }
    return false;
}

} // namespace catalogue
