#include "resultset.h"

#include "textfold.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace catalogue {

namespace {

// Accented letters sort beside their base letter ("Amélie" before "Amistad"): the key
// is the text without accents, then, for texts that had any, the full folded text.
void appendSortKey(QByteArrayView utf8, const std::u32string &folded, std::u32string &keys)
{
    const bool ascii = std::all_of(folded.begin(), folded.end(), [](char32_t c) { return c < 0x80; });
    if (ascii) {
        keys += folded;
        return;
    }
    const QString decomposed = QString::fromUtf8(utf8).normalized(QString::NormalizationForm_D);
    QString base;
    base.reserve(decomposed.size());
    for (QChar ch : decomposed)
        if (!ch.isMark())
            base += ch;
    keys += foldCase(base);
    keys += U'\0';
    keys += folded;
}

} // namespace

QString ResultSet::text(int pos, Field f) const
{
    const Cell &c = cells_[index(f)][order_[pos]];
    return QString::fromUtf8(pools_[index(f)].constData() + c.start, c.length);
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
    const Cell &a = cells_[index(f)][order_[pos]];
    const Cell &b = cells_[index(f)][order_[other]];
    const char *pool = pools_[index(f)].constData();
    return a.length == b.length && std::memcmp(pool + a.start, pool + b.start, a.length) == 0;
}

void ResultSet::setMovie(int pos, const Movie &m)
{
    const int row = order_[pos];
    for (int i = 0; i < FieldCount; ++i) {
        const QByteArray utf8 = m.values[i].toUtf8();
        Cell &c = cells_[i][row];
        c.start = pools_[i].size();
        c.length = quint32(utf8.size());
        c.isNull = m.isNull[i];
        pools_[i].append(utf8);
    }
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
}

void ResultSet::appendRow(sqlite3_stmt *st)
{
    order_.push_back(int(rowIds_.size()));
    rowIds_.push_back(sqlite3_column_int64(st, 0));
    for (int i = 0; i < FieldCount; ++i) {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i + 1));
        const int n = sqlite3_column_bytes(st, i + 1);
        cells_[i].push_back({pools_[i].size(), quint32(n), sqlite3_column_type(st, i + 1) == SQLITE_NULL});
        if (n > 0)
            pools_[i].append(p, n);
    }
}

void ResultSet::sortBy(Field f, bool descending)
{
    const int n = size();
    // All folded keys in one pool, addressed by storage row.
    std::u32string keys;
    std::vector<std::pair<size_t, size_t>> span(rowIds_.size());
    const char *pool = pools_[index(f)].constData();
    std::u32string folded;
    for (int row = 0; row < int(rowIds_.size()); ++row) {
        const Cell &c = cells_[index(f)][row];
        const size_t start = keys.size();
        folded.clear();
        foldCaseUtf8({pool + c.start, c.length}, folded);
        appendSortKey(QByteArrayView(pool + c.start, c.length), folded, keys);
        span[row] = {start, keys.size() - start};
    }
    auto key = [&](int row) {
        return std::u32string_view(keys.data() + span[row].first, span[row].second);
    };
    // order_ holds table order, so a stable sort keeps it among equal keys.
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        return descending ? key(b) < key(a) : key(a) < key(b);
    });
    sortField_ = f;
    sameKeyAsPrevious_.assign(n, false);
    for (int pos = 1; pos < n; ++pos)
        sameKeyAsPrevious_[pos] = key(order_[pos]) == key(order_[pos - 1]);
}

bool ResultSet::sameKeyAsPrevious(int pos) const
{
    return pos > 0 && pos < int(sameKeyAsPrevious_.size()) && sameKeyAsPrevious_[pos];
}

} // namespace catalogue
