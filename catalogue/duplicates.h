// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace catalogue {

// A title as the duplicate check compares it: surrounding blanks dropped, accents
// removed, letter case folded for every script ("  Amélie " and "AMELIE" agree).
QString titleKey(const QString &title);

// The rule for years: two movies of the same title key are one when their years are
// the same (blanks aside) or either has none.
bool yearsAgree(const QString &a, const QString &b);

// Many movies at once under the same rule as findDuplicate(), for an import.
class DuplicateIndex {
public:
    struct Key {
        QString title; // titleKey()
        QString year;  // trimmed
    };
    static Key key(const QString &title, const QString &year) { return {titleKey(title), year.trimmed()}; }

    // Whether a movie of the index has the same title key and a year that agrees.
    bool contains(const Key &key) const;
    // Adds the movie; false when it repeats one already there.
    bool insert(const Key &key);

private:
    // The years a title key was seen with; most titles have one.
    struct Years {
        bool anyEmpty = false;
        QString first;
        QStringList more;
        bool agree(const QString &year) const
        {
            return anyEmpty || year.isEmpty() || first == year || more.contains(year);
        }
    };
    QHash<QString, Years> titles_;
};

// The movie already in the catalogue that a new or edited one would repeat.
struct DuplicateMovie {
    QString title;
    QString year;
};

// Finds a movie of Movies, other than the row exceptRowId (0: none), whose title has
// the same key and whose Year is the same (blanks aside) or where either Year is
// empty, into found. An empty title repeats nothing. When the table cannot be read to
// its end, answers why and nothing is found.
platform::Failure findDuplicate(sqlite3 *db, const QString &title, const QString &year,
                                std::optional<DuplicateMovie> &found, sqlite3_int64 exceptRowId = 0);

} // namespace catalogue
