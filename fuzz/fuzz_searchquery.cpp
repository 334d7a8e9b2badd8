// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the main window's search: from a field selector text and a search text to the
// query, its translation for SQLite, and the movies its pattern selects.
//
// Input: byte 0 says how the field selector text is made (one of the nine entries
// with its letter case and blanks varied, or free text up to the first NUL byte);
// byte 1 picks the entry and the junk around the values; the rest is the search text
// as UTF-8.
#include "catalogue/database.h"
#include "catalogue/likepattern.h"
#include "catalogue/listingcache.h"
#include "catalogue/query.h"
#include "catalogue/recordcursor.h"
#include "catalogue/searchquery.h"
#include "catalogue/textfold.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace catalogue;

namespace {

const char *const Entries[] = {"Title",  "Description", "Category",     "Actors",    "Review",
                               "Rating", "Year",        "Running Time", "All Fields"};
constexpr int AllFields = 8;
const char *const Columns[] = {"Title", "Description", "Category", "Actors", "Review", "Rating", "Year", "Time"};

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

// Jet's Like over case-folded code points, written plainly: "*" any run, "?" any one,
// "#" one digit, "[...]" one of a set ("[!...]" one not of it, "a-z" a range, "[]" the
// empty text), a "[" without a closing "]" itself. Memoised backtracking.
// The value's ligatures are split into their letters (ligature_ marks where one
// starts); a "?" or a set may also take a ligature whole.
class ReferenceMatcher {
public:
    ReferenceMatcher(const std::u32string &p, const std::u32string &kept) : p_(p)
    {
        for (char32_t c : kept) {
            if (const char *letters = ligatureLetters(c)) {
                v_ += {char32_t(letters[0]), char32_t(letters[1])};
                ligature_ += {c, 0};
            } else {
                v_ += c;
                ligature_ += char32_t(0);
            }
        }
        memo_.assign((p_.size() + 1) * (v_.size() + 1), -1);
    }
    bool matches() { return at(0, 0); }

private:
    bool at(size_t i, size_t j)
    {
        signed char &m = memo_[i * (v_.size() + 1) + j];
        if (m < 0)
            m = compute(i, j);
        return m;
    }
    bool compute(size_t i, size_t j)
    {
        if (i == p_.size())
            return j == v_.size();
        const char32_t c = p_[i];
        if (c == U'*')
            return at(i + 1, j) || (j < v_.size() && at(i, j + 1));
        if (c == U'[') {
            const size_t close = p_.find(U']', i + 1);
            if (close != std::u32string::npos) {
                size_t k = i + 1;
                const bool negated = k < close && p_[k] == U'!';
                if (negated)
                    ++k;
                if (k == close && !negated)
                    return at(close + 1, j);
                if (j == v_.size())
                    return false;
                auto in = [&](char32_t x) {
                    bool found = false;
                    for (size_t r = k; r < close;) {
                        if (r + 2 < close && p_[r + 1] == U'-') {
                            found = found || (x >= p_[r] && x <= p_[r + 2]);
                            r += 3;
                        } else {
                            found = found || x == p_[r];
                            ++r;
                        }
                    }
                    return found != negated;
                };
                return (in(v_[j]) && at(close + 1, j + 1)) ||
                       (ligature_[j] && in(ligature_[j]) && at(close + 1, j + 2));
            }
        }
        if (j == v_.size())
            return false;
        if (const char *letters = ligatureLetters(c))
            return j + 1 < v_.size() && v_[j] == char32_t(letters[0]) && v_[j + 1] == char32_t(letters[1]) &&
                   at(i + 1, j + 2);
        if (c == U'?')
            return at(i + 1, j + 1) || (ligature_[j] && at(i + 1, j + 2));
        const bool one = c == U'#' ? v_[j] >= U'0' && v_[j] <= U'9' : v_[j] == c;
        return one && at(i + 1, j + 1);
    }

    const std::u32string &p_;
    std::u32string v_, ligature_;
    std::vector<signed char> memo_;
};

bool referenceMatch(const QString &pattern, const QString &value)
{
    const std::u32string p = foldCase(pattern, Ligatures::Keep), v = foldCase(value, Ligatures::Keep);
    return ReferenceMatcher(p, v).matches();
}

bool hasPatternCharacters(const QString &text)
{
    for (QChar c : text)
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            return true;
    return false;
}

// The text with each pattern character replaced by something it stands for; whole
// code points, so that no surrogate is split.
QString instanceOf(const QString &text)
{
    const QList<uint> t = text.toUcs4();
    QList<uint> out;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const uint c = t[i];
        if (c == '*') {
            out << 's' << 't';
        } else if (c == '?') {
            out << 'k';
        } else if (c == '#') {
            out << '7';
        } else if (c == '[') {
            const qsizetype close = t.indexOf(']', i + 1);
            if (close < 0) {
                out << c;
            } else {
                if (close > i + 1 && t[i + 1] != '!')
                    out << t[i + 1];
                i = close;
            }
        } else {
            out << c;
        }
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(out.constData()), out.size());
}

std::optional<int> meantEntry(const QString &entry)
{
    for (int i = 0; i < 9; ++i)
        if (QString::fromLatin1(Entries[i]).compare(entry.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

QByteArray expectedSql(int field)
{
    QByteArray s = "SELECT rowid";
    for (const char *c : Columns)
        s += QByteArray(", \"") + c + '"';
    s += " FROM Movies WHERE ";
    for (int f = 0; f < 8; ++f)
        if (field == AllFields || f == field)
            s += QByteArray(field == AllFields && f ? " OR " : "") + "jet_like(?1, \"" + Columns[f] + "\")";
    return s + " ORDER BY rowid";
}

struct Catalogues {
    QTemporaryDir dir;
    QString file;
    ConnectionPtr memory;
    RecordCursor cursor;

    Catalogues()
    {
        file = dir.filePath("DVDs.mdb");
        sqlite3 *raw = nullptr;
        sqlite3_open(file.toUtf8().constData(), &raw);
        ConnectionPtr db(raw);
        const char *make = "CREATE TABLE Movies (Title TEXT, Description TEXT, Category TEXT, Actors TEXT, "
                           "Review TEXT, Rating TEXT, Year TEXT, Time TEXT);"
                           "INSERT INTO Movies VALUES ('Star Wars', 'Space', 'Sci-Fi', 'Mark Hamill', 'Fine', 'PG', "
                           "'1977', '121'), ('Amélie', NULL, 'Comedy', '', '', 'R', '2001', '122'), "
                           "('ÉTÉ [#1] 50% *', 'a_b', 'Drama', 'x', 'y', 'G', '19?5', '90');";
        if (sqlite3_exec(raw, make, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("catalogue", QString::fromUtf8(sqlite3_errmsg(raw)));
        db.reset();
        cursor.setDatabaseName(file);
        // Opened here, so that the registry of open files, made on the first opening,
        // is destroyed after this cursor at exit.
        if (!cursor.refresh())
            fail("catalogue", cursor.lastError().message);

        sqlite3_open(":memory:", &raw);
        memory.reset(raw);
        registerTextFunctions(raw);
        sqlite3_exec(raw,
                     "CREATE TABLE Movies (Title TEXT, Description TEXT, Category TEXT, Actors TEXT, "
                     "Review TEXT, Rating TEXT, Year TEXT, Time TEXT)",
                     nullptr, nullptr, nullptr);
    }
};

Catalogues &catalogues()
{
    static Catalogues c;
    return c;
}

// Runs the translated query over rows whose searched field holds the values (for a
// search of every field, a different field for each value); answers which of them it
// selected, and checks that the filter of the kept rows selects the same.
std::vector<bool> selectedBy(const Query &q, const std::vector<QString> &values)
{
    sqlite3 *db = catalogues().memory.get();
    sqlite3_exec(db, "DELETE FROM Movies", nullptr, nullptr, nullptr);
    for (size_t i = 0; i < values.size(); ++i) {
        const Field field = q.filterFields.size() == 1 ? q.filterFields.front() : fieldAt(int(i % 8));
        const QByteArray insert =
            QByteArray("INSERT INTO Movies (rowid, \"") + Columns[index(field)] + "\") VALUES (?1, ?2)";
        sqlite3_stmt *raw = nullptr;
        sqlite3_prepare_v2(db, insert.constData(), -1, &raw, nullptr);
        StatementPtr st(raw);
        const QByteArray utf8 = values[i].toUtf8();
        sqlite3_bind_int64(raw, 1, sqlite3_int64(i + 1));
        sqlite3_bind_text64(raw, 2, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        if (sqlite3_step(raw) != SQLITE_DONE)
            fail("insert", QString::fromUtf8(sqlite3_errmsg(db)));
    }
    // Another row with the field NULL is never selected.
    sqlite3_exec(db, "INSERT INTO Movies (Title) VALUES (NULL)", nullptr, nullptr, nullptr);

    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, q.sql().constData(), -1, &raw, nullptr) != SQLITE_OK)
        fail("prepare", QString::fromUtf8(sqlite3_errmsg(db)));
    StatementPtr st(raw);
    const QByteArray pattern = q.filterText.toUtf8();
    sqlite3_bind_text64(raw, 1, pattern.constData(), sqlite3_uint64(pattern.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
    std::vector<bool> selected(values.size(), false);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        const sqlite3_int64 id = sqlite3_column_int64(raw, 0);
        if (id < 1 || id > sqlite3_int64(values.size()))
            fail("engine", "a row whose field is NULL was selected");
        selected[size_t(id - 1)] = true;
    }
    if (rc != SQLITE_DONE)
        fail("engine error", QString::fromUtf8(sqlite3_errmsg(db)));

    Query all;
    sqlite3_prepare_v2(db, all.sql().constData(), -1, &raw, nullptr);
    StatementPtr every(raw);
    ResultSet rows;
    while (sqlite3_step(raw) == SQLITE_ROW)
        rows.appendRow(raw);
    const RowFilter filter(q);
    for (int pos = 0; pos < rows.size(); ++pos) {
        const sqlite3_int64 id = rows.rowId(pos);
        const bool inSql = id >= 1 && id <= sqlite3_int64(values.size()) && selected[size_t(id - 1)];
        if (filter.matches(rows, pos) != inSql)
            fail("kept rows filter otherwise than the query", q.filterText);
    }
    return selected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size > 1024)
        return 0;
    const uint8_t how = data[0], pick = data[1];
    const char *rest = reinterpret_cast<const char *>(data + 2);
    size_t restSize = size - 2;

    QString entry;
    if ((how & 3) != 3) {
        entry = QString::fromLatin1(Entries[pick % 9]);
        for (qsizetype i = 0; i < entry.size(); ++i)
            if ((how >> (2 + i % 6)) & 1)
                entry[i] = entry[i].isUpper() ? entry[i].toLower() : entry[i].toUpper();
        if (how & 0x40)
            entry = " " + entry + "\t";
    } else {
        const void *nul = std::memchr(rest, 0, restSize);
        const size_t n = nul ? size_t(static_cast<const char *>(nul) - rest) : restSize;
        entry = QString::fromUtf8(rest, qsizetype(n));
        rest += nul ? n + 1 : n;
        restSize -= nul ? n + 1 : n;
    }
    const QString text = QString::fromUtf8(rest, qsizetype(restSize));

    // The query names the field meant, and the pattern is exactly what was typed.
    const QString queryText = searchQuery(entry, text);
    const std::optional<int> meant = meantEntry(entry);
    if (!meant) {
        if (!queryText.isEmpty())
            fail("a query for an entry that names no field", queryText);
    } else {
        Query parsed;
        if (const platform::Failure why = Query::parse(queryText, parsed))
            fail("query does not parse", queryText + " -- " + why.message);
        const std::optional<Query> q = parsed;
        std::vector<Field> fields;
        for (int f = 0; f < 8; ++f)
            if (*meant == AllFields || f == *meant)
                fields.push_back(fieldAt(f));
        const int order = *meant == AllFields ? index(Field::Title) : *meant;
        if (q->filter != Query::Filter::Like || q->filterFields != fields || !q->orderBy ||
            index(*q->orderBy) != order || q->descending)
            fail("query means another search", queryText);
        if (q->filterText != "*" + text + "*")
            fail("pattern is not what was typed", q->filterText);
        if (q->sql() != expectedSql(*meant))
            fail("translated query", QString::fromUtf8(q->sql()));

        // The pattern means what was typed.
        const QString junkBefore = QString("Ab") + QChar(u'0' + pick % 10), junkAfter = "\u00e9Z ";
        const std::vector<QString> values{junkBefore + text + junkAfter, text,      instanceOf(text),
                                          junkBefore + instanceOf(text), QString(), text.toUpper() + junkAfter};
        const LikePattern pattern(q->filterText);
        const std::vector<bool> selected = selectedBy(*q, values);
        for (size_t i = 0; i < values.size(); ++i) {
            std::u32string folded;
            foldCaseUtf8(values[i].toStdString(), folded, Ligatures::Keep);
            if (folded != foldCase(values[i], Ligatures::Keep))
                fail("folding differs between UTF-8 and UTF-16", values[i]);
            const bool expected = referenceMatch(q->filterText, values[i]);
            if (pattern.matches(folded) != expected)
                fail(expected ? "pattern misses" : "pattern matches wrongly", q->filterText + " ~ " + values[i]);
            if (selected[i] != expected)
                fail(expected ? "query misses" : "query selects wrongly", q->filterText + " ~ " + values[i]);
        }
        if (!hasPatternCharacters(text) && !(pattern.matches(foldCase(values[0], Ligatures::Keep)) && selected[0]))
            fail("the typed text is not found", text);
    }

    // The cursor runs it on a catalogue file without an engine error.
    RecordCursor &cursor = catalogues().cursor;
    cursor.setRecordSource(queryText);
    if (!cursor.refresh())
        fail("cursor", cursor.lastError().message);
    return 0;
}
