// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/duplicates.h"

#include "catalogue/textfold.h"

namespace catalogue {

namespace {

// Most titles are plain ASCII: their key is their trimmed lower case, found without
// building a QString.
bool asciiKey(const unsigned char *p, int n, QByteArray &key)
{
    int begin = 0, end = n;
    while (begin < end && (p[begin] == ' ' || (p[begin] >= '\t' && p[begin] <= '\r')))
        ++begin;
    while (end > begin && (p[end - 1] == ' ' || (p[end - 1] >= '\t' && p[end - 1] <= '\r')))
        --end;
    key.resize(end - begin);
    for (int i = begin; i < end; ++i) {
        const unsigned char c = p[i];
        if (c >= 0x80)
            return false;
        key[i - begin] = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return true;
}

// Folding keeps every ASCII character but blanks, lowered and in order: a title whose
// lowered ASCII is not found, in order, in a key cannot have that key. This spares
// building the key of almost every title that has accents.
bool asciiFollows(const unsigned char *p, int n, const QByteArray &key)
{
    qsizetype at = 0;
    for (int i = 0; i < n; ++i) {
        unsigned char c = p[i];
        if (c >= 0x80 || c == ' ' || (c >= '\t' && c <= '\r'))
            continue;
        if (c >= 'A' && c <= 'Z')
            c += 32;
        at = key.indexOf(char(c), at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

} // namespace

bool yearsAgree(const QString &a, const QString &b)
{
    const QString x = a.trimmed(), y = b.trimmed();
    return x.isEmpty() || y.isEmpty() || x == y;
}

bool DuplicateIndex::contains(const Key &key) const
{
    const auto it = titles_.constFind(key.title);
    return it != titles_.constEnd() && it->agree(key.year);
}

bool DuplicateIndex::insert(const Key &key)
{
    const auto it = titles_.find(key.title);
    if (it == titles_.end()) {
        titles_.insert(key.title, Years{key.year.isEmpty(), key.year, {}});
        return true;
    }
    const bool repeated = it->agree(key.year);
    if (key.year.isEmpty())
        it->anyEmpty = true;
    else if (!repeated)
        it->more << key.year;
    return !repeated;
}

QString titleKey(const QString &title)
{
    const QString decomposed = title.trimmed().normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_Enclosing &&
            c.category() != QChar::Mark_SpacingCombining)
            bare += c;
    const std::u32string folded = foldCase(bare);
    // Folding may bring accents back apart ("İ"): drop those too.
    QString key;
    key.reserve(qsizetype(folded.size()));
    for (char32_t u : folded)
        if (QChar::category(u) != QChar::Mark_NonSpacing)
            key += QString::fromUcs4(&u, 1);
    return key.normalized(QString::NormalizationForm_C);
}

platform::Failure findDuplicate(sqlite3 *db, const QString &title, const QString &year,
                                std::optional<DuplicateMovie> &found, sqlite3_int64 exceptRowId)
{
    found.reset();
    const QString wanted = titleKey(title);
    if (wanted.isEmpty())
        return {};
    if (!db)
        return sqliteFailure(SQLITE_MISUSE, QStringLiteral("No catalogue is open to look in."));
    const QByteArray wantedUtf8 = wanted.toUtf8();
    const QString wantedYear = year.trimmed();

    auto failed = [&](int rc) { return sqliteFailure(rc, describeSqliteError(rc, fileOf(db), sqlite3_errmsg(db))); };
    int rc = SQLITE_OK;
    const StatementPtr st = prepareStatement(db, "SELECT rowid, Title, Year FROM Movies", rc);
    if (!st)
        return failed(rc);
    sqlite3_stmt *raw = st.get();
    QByteArray key;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        if (exceptRowId != 0 && sqlite3_column_int64(raw, 0) == exceptRowId)
            continue;
        const auto *p = sqlite3_column_text(raw, 1);
        const int n = sqlite3_column_bytes(raw, 1);
        auto rowTitle = [&] { return QString::fromUtf8(reinterpret_cast<const char *>(p), n); };
        const bool same =
            asciiKey(p, n, key) ? key == wantedUtf8 : asciiFollows(p, n, wantedUtf8) && titleKey(rowTitle()) == wanted;
        if (!same)
            continue;
        const QString rowYear =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 2)), sqlite3_column_bytes(raw, 2))
                .trimmed();
        if (yearsAgree(rowYear, wantedYear)) {
            found = DuplicateMovie{rowTitle().trimmed(), rowYear};
            return {};
        }
    }
    if (rc != SQLITE_DONE)
        return failed(rc);
    return {};
}

} // namespace catalogue
