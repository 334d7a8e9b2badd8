#include "resultset.h"

#include "textfold.h"

#include <QList>
#include <algorithm>
#include <cstring>
#include <numeric>

namespace catalogue {

namespace {

// Appends the letter without its accents: its canonical decomposition, marks left out.
// One letter at a time, because QString::normalized() takes time quadratic in the
// length of a text full of accented letters.
void appendBase(char32_t c, QString &base)
{
    if (QChar::decompositionTag(c) == QChar::Canonical) {
        for (char32_t part : QChar::decomposition(c).toUcs4())
            appendBase(part, base);
    } else if (!QChar::isMark(c)) {
        base += QChar::fromUcs4(c);
    }
}

// Accented letters sort beside their base letter ("Amélie" before "Amistad"): the key
// is the text without accents, then, for texts that had any, the full folded text.
void appendSortKey(QByteArrayView utf8, const std::u32string &folded, std::u32string &keys)
{
    const bool ascii = std::all_of(folded.begin(), folded.end(), [](char32_t c) { return c < 0x80; });
    if (ascii) {
        keys += folded;
        return;
    }
    QString base;
    base.reserve(utf8.size());
    for (char32_t c : QString::fromUtf8(utf8).toUcs4())
        appendBase(c, base);
    keys += foldCase(base);
    keys += U'\0';
    keys += folded;
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
    const Cell &c = cells_[index(f)][order_[pos]];
    return QString::fromUtf8(c.text, c.length);
}

std::pair<QByteArrayView, bool> ResultSet::rawText(int pos, Field f) const
{
    const Cell &c = cells_[index(f)][order_[pos]];
    return {QByteArrayView(c.text, c.length), c.isNull};
}

QString ResultSet::textStart(int pos, Field f, int maxChars) const
{
    const Cell &c = cells_[index(f)][order_[pos]];
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
    const Cell &a = cells_[index(f)][order_[pos]];
    const Cell &b = cells_[index(f)][order_[other]];
    return a.length == b.length && (a.length == 0 || std::memcmp(a.text, b.text, a.length) == 0);
}

void ResultSet::setText(int pos, Field f, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    Cell &c = cells_[index(f)][order_[pos]];
    c.text = pool_->add(utf8.constData(), size_t(utf8.size()));
    c.length = quint32(utf8.size());
    c.isNull = false;
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

void ResultSet::reserve(int rows)
{
    order_.reserve(rows);
    rowIds_.reserve(rows);
    for (auto &cells : cells_)
        cells.reserve(rows);
}

void ResultSet::appendRow(sqlite3_stmt *st)
{
    order_.push_back(int(rowIds_.size()));
    rowIds_.push_back(sqlite3_column_int64(st, 0));
    for (int i = 0; i < FieldCount; ++i) {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, i + 1));
        const int n = sqlite3_column_bytes(st, i + 1);
        cells_[i].push_back({pool_->add(p, size_t(n)), quint32(n), sqlite3_column_type(st, i + 1) == SQLITE_NULL});
    }
}

void ResultSet::sortBy(Field f, bool descending)
{
    const int n = size();
    const auto &cells = cells_[index(f)];
    // All folded keys in one buffer, addressed by storage row.
    size_t textBytes = 0;
    for (const Cell &c : cells)
        textBytes += c.length;
    std::u32string keys;
    keys.reserve(textBytes + textBytes / 4);
    std::vector<std::pair<size_t, size_t>> span(rowIds_.size());
    std::u32string folded;
    for (size_t row = 0; row < cells.size(); ++row) {
        const Cell &c = cells[row];
        const size_t start = keys.size();
        folded.clear();
        foldCaseUtf8({c.text ? c.text : "", c.length}, folded);
        appendSortKey(QByteArrayView(c.text, c.length), folded, keys);
        span[row] = {start, keys.size() - start};
    }
    auto key = [&](int row) {
        return std::u32string_view(keys.data() + span[row].first, span[row].second);
    };
    // Most comparisons are settled by the first three characters, packed in one number.
    struct Entry {
        quint64 prefix;
        int row;
    };
    std::vector<Entry> entries(order_.size());
    for (size_t i = 0; i < order_.size(); ++i) {
        const auto k = key(order_[i]);
        quint64 prefix = 0;
        for (size_t j = 0; j < 3; ++j)
            prefix = (prefix << 21) | (j < k.size() ? quint64(k[j]) + 1 : 0);
        entries[i] = {prefix, order_[i]};
    }
    auto less = [&](const Entry &a, const Entry &b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return key(a.row) < key(b.row);
    };
    // order_ holds table order, so a stable sort keeps it among equal keys.
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry &a, const Entry &b) { return descending ? less(b, a) : less(a, b); });
    for (size_t i = 0; i < entries.size(); ++i)
        order_[i] = entries[i].row;
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
