// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/resultset.h"

#include "catalogue/textfold.h"

#include <QList>
#include <algorithm>
#include <cstring>
#include <numeric>

namespace catalogue {

namespace {

// Appends the letter without its accents: its canonical decomposition, marks left out;
// ligatures and letters with strokes as the letters they are written beside ("Æ" as "AE").
// One letter at a time, because QString::normalized() takes time quadratic in the
// length of a text full of accented letters.
void appendBase(char32_t c, QString &base)
{
    switch (c) {
    case U'Æ':
        base += QLatin1String("AE");
        return;
    case U'æ':
        base += QLatin1String("ae");
        return;
    case U'Œ':
        base += QLatin1String("OE");
        return;
    case U'œ':
        base += QLatin1String("oe");
        return;
    case U'ß':
        base += QLatin1String("ss");
        return;
    case U'Ø':
        base += QLatin1Char('O');
        return;
    case U'ø':
        base += QLatin1Char('o');
        return;
    case U'Đ':
        base += QLatin1Char('D');
        return;
    case U'đ':
        base += QLatin1Char('d');
        return;
    case U'Ł':
        base += QLatin1Char('L');
        return;
    case U'ł':
        base += QLatin1Char('l');
        return;
    default:
        break;
    }
    if (QChar::decompositionTag(c) == QChar::Canonical) {
        for (char32_t part : QChar::decomposition(c).toUcs4())
            appendBase(part, base);
    } else if (!QChar::isMark(c)) {
        base += QChar::fromUcs4(c);
    }
}

// Accented letters sort beside their base letter ("Amélie" before "Amistad"): the key
// is the text without accents, then, for texts that had any, the case-folded text.
void appendSortKey(QByteArrayView utf8, const std::u32string &folded, std::u32string &keys)
{
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return (unsigned char)c < 0x80; });
    if (ascii) {
        keys += folded;
        return;
    }
    const QList<uint> ucs4 = QString::fromUtf8(utf8).toUcs4();
    QString base;
    base.reserve(utf8.size());
    for (char32_t c : ucs4)
        appendBase(c, base);
    keys += foldCase(base);
    keys += U'\0';
    for (char32_t c : ucs4)
        keys += QChar::toCaseFolded(c);
}

} // namespace

const char *ResultSet::TextPool::add(const char *text, size_t n)
{
    constexpr size_t BlockSize = 1 << 20;
    if (n == 0)
        return nullptr;
    if (used_ + n > capacity_) {
        capacity_ = std::max(BlockSize, n);
        blocks_.push_back(std::unique_ptr<char[]>(new char[capacity_])); // no need to clear it
        used_ = 0;
    }
    char *at = blocks_.back().get() + used_;
    std::memcpy(at, text, n);
    used_ += n;
    return at;
}

QString ResultSet::text(int pos, Field f) const
{
    const Cell &c = cell(pos, f);
    return QString::fromUtf8(c.text, c.length);
}

std::pair<QByteArrayView, bool> ResultSet::rawText(int pos, Field f) const
{
    const Cell &c = cell(pos, f);
    return {QByteArrayView(c.text, c.length), c.isNull};
}

QString ResultSet::textStart(int pos, Field f, int maxChars) const
{
    const Cell &c = cell(pos, f);
    // No character takes more than four bytes, so this many bytes hold maxChars.
    const quint32 bytes = std::min<quint32>(c.length, quint32(maxChars) * 4);
    return QString::fromUtf8(c.text, bytes).left(maxChars);
}

Movie ResultSet::movie(int pos) const
{
    Movie m;
    for (int i = 0; i < FieldCount; ++i) {
        m.values[i] = text(pos, fieldAt(i));
        m.isNull[i] = isNull(pos, fieldAt(i));
    }
    return m;
}

bool ResultSet::sameText(int pos, int other, Field f) const
{
    const Cell &a = cell(pos, f);
    const Cell &b = cell(other, f);
    return a.length == b.length && (a.length == 0 || std::memcmp(a.text, b.text, a.length) == 0);
}

void ResultSet::setText(int pos, Field f, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    Cell &c = rows_->cells[index(f)][order_[pos]];
    if (!c.isNull && c.length == quint32(utf8.size()) &&
        (c.length == 0 || std::memcmp(c.text, utf8.data(), c.length) == 0))
        return; // already stored, through another set sharing the rows
    c.text = rows_->pool.add(utf8.constData(), size_t(utf8.size()));
    c.length = quint32(utf8.size());
    c.isNull = false;
    ++rows_->changes;
}

void ResultSet::remove(int pos)
{
    order_.erase(order_.begin() + pos);
    if (sameKeyAsPrevious_.empty())
        return;
    // Equal keys are transitive: the row after the removed one equals the row before
    // it exactly when both equalled the removed row.
    if (pos + 1 < int(sameKeyAsPrevious_.size()))
        sameKeyAsPrevious_[pos + 1] = sameKeyAsPrevious_[pos + 1] && sameKeyAsPrevious_[pos];
    sameKeyAsPrevious_.erase(sameKeyAsPrevious_.begin() + pos);
    if (!sameKeyAsPrevious_.empty())
        sameKeyAsPrevious_[0] = false;
}

void ResultSet::reserve(int rows)
{
    order_.reserve(rows);
    rows_->rowIds.reserve(rows);
    for (auto &cells : rows_->cells)
        cells.reserve(rows);
}

void ResultSet::appendRow(sqlite3_stmt *st)
{
    Rows &r = *rows_;
    order_.push_back(int(r.rowIds.size()));
    r.rowIds.push_back(sqlite3_column_int64(st, 0));
    for (int i = 0; i < FieldCount; ++i) {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i + 1));
        const int n = sqlite3_column_bytes(st, i + 1);
        r.cells[i].push_back({r.pool.add(p, size_t(n)), quint32(n), sqlite3_column_type(st, i + 1) == SQLITE_NULL});
    }
}

std::u32string ResultSet::sortKey(int row) const
{
    const Cell &c = rows_->cells[index(*sortField_)][row];
    std::u32string folded, key;
    foldCaseUtf8({c.text ? c.text : "", c.length}, folded);
    appendSortKey(QByteArrayView(c.text, c.length), folded, key);
    return key;
}

void ResultSet::sortBy(Field f, bool descending)
{
    const int n = size();
    const auto &cells = rows_->cells[index(f)];
    // The folded keys of the rows of this set in one buffer, addressed by place.
    size_t textBytes = 0;
    for (int row : order_)
        textBytes += cells[row].length;
    std::u32string keys;
    keys.reserve(textBytes + textBytes / 4);
    std::vector<std::pair<size_t, size_t>> span(order_.size());
    std::u32string folded;
    for (int i = 0; i < n; ++i) {
        const Cell &c = cells[order_[i]];
        const size_t start = keys.size();
        folded.clear();
        foldCaseUtf8({c.text ? c.text : "", c.length}, folded);
        appendSortKey(QByteArrayView(c.text, c.length), folded, keys);
        span[i] = {start, keys.size() - start};
    }
    auto key = [&](int i) { return std::u32string_view(keys.data() + span[i].first, span[i].second); };
    // Most comparisons are settled by the first three characters, packed in one number.
    struct Entry {
        quint64 prefix;
        int place;
    };
    std::vector<Entry> entries(order_.size());
    for (int i = 0; i < n; ++i) {
        const auto k = key(i);
        quint64 prefix = 0;
        for (size_t j = 0; j < 3; ++j)
            prefix = (prefix << 21) | (j < k.size() ? quint64(k[j]) + 1 : 0);
        entries[i] = {prefix, i};
    }
    auto less = [&](const Entry &a, const Entry &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return key(a.place) < key(b.place);
    };
    // order_ holds table order, so a stable sort keeps it among equal keys.
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry &a, const Entry &b) { return descending ? less(b, a) : less(a, b); });
    std::vector<int> sorted(order_.size());
    for (int i = 0; i < n; ++i)
        sorted[i] = order_[entries[i].place];
    sortField_ = f;
    descending_ = descending;
    sameKeyAsPrevious_.assign(n, false);
    for (int i = 1; i < n; ++i)
        sameKeyAsPrevious_[i] = key(entries[i].place) == key(entries[i - 1].place);
    order_ = std::move(sorted);
}

bool ResultSet::sameKeyAsPrevious(int pos) const
{
    return pos > 0 && pos < int(sameKeyAsPrevious_.size()) && sameKeyAsPrevious_[pos];
}

ResultSet ResultSet::filtered(const std::function<bool(int pos)> &keep) const
{
    ResultSet out;
    out.rows_ = rows_;
    out.sortField_ = sortField_;
    out.descending_ = descending_;
    const bool sorted = !sameKeyAsPrevious_.empty();
    int run = 0, lastRun = -1;
    for (int pos = 0; pos < size(); ++pos) {
        if (pos > 0 && !sameKeyAsPrevious(pos))
            ++run;
        if (!keep(pos))
            continue;
        out.order_.push_back(order_[pos]);
        // Keys run in equal stretches, so two kept rows share a key when no new stretch began between them.
        if (sorted)
            out.sameKeyAsPrevious_.push_back(run == lastRun);
        lastRun = run;
    }
    return out;
}

bool ResultSet::before(int a, const std::u32string &keyA, int b, const std::u32string &keyB) const
{
    if (sortField_ && keyA != keyB)
        return descending_ ? keyB < keyA : keyA < keyB;
    return rows_->rowIds[a] < rows_->rowIds[b];
}

int ResultSet::insertAt(int row)
{
    const std::u32string key = sortField_ ? sortKey(row) : std::u32string();
    int lo = 0, hi = size();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int other = order_[mid];
        if (before(other, sortField_ ? sortKey(other) : std::u32string(), row, key))
            lo = mid + 1;
        else
            hi = mid;
    }
    order_.insert(order_.begin() + lo, row);
    if (sortField_) {
        auto equalAt = [&](int pos) { return sortKey(order_[pos]) == key; };
        sameKeyAsPrevious_.insert(sameKeyAsPrevious_.begin() + lo, lo > 0 && equalAt(lo - 1));
        if (lo + 1 < size())
            sameKeyAsPrevious_[lo + 1] = equalAt(lo + 1);
    }
    return lo;
}

int ResultSet::insertRow(sqlite3_int64 rowId, const Movie &m)
{
    Rows &r = *rows_;
    const int row = int(r.rowIds.size());
    r.rowIds.push_back(rowId);
    ++r.changes;
    for (int i = 0; i < FieldCount; ++i) {
        const QByteArray utf8 = m.values[i].toUtf8();
        r.cells[i].push_back({r.pool.add(utf8.constData(), size_t(utf8.size())), quint32(utf8.size()), m.isNull[i]});
    }
    return insertAt(row);
}

int ResultSet::placeAgain(int pos)
{
    const int row = order_[pos];
    remove(pos);
    return insertAt(row);
}

int ResultSet::find(sqlite3_int64 rowId) const
{
    const auto &ids = rows_->rowIds;
    for (int pos = 0; pos < size(); ++pos)
        if (ids[order_[pos]] == rowId)
            return pos;
    return -1;
}

} // namespace catalogue
