// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "catalogue/openfiles.h"
#include "catalogue/sqlitefile.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>

namespace catalogue {

// Names the problem behind an SQLite result code for the file at path.
QString describeSqliteError(int code, const QString &path, const char *engineText = nullptr);

// How a column converts a value written into it: SQLite's column affinity, found from
// the type another program may have declared (Year INTEGER, Time NUMERIC, ...).
enum class Affinity { Text, Numeric, Integer, Real, Blob };
Affinity affinityOf(const QString &declaredType);

// One connection to a catalogue file. Opening never creates the file and checks that
// it holds a Movies table with the eight columns in order, whatever their declared
// types; it writes nothing.
class Database {
public:
    // Opens the file into db; on failure db stays empty.
    static platform::Failure open(const QString &path, std::unique_ptr<Database> &db);

    sqlite3 *handle() const { return db_.get(); }
    const QString &path() const { return path_; }

    Affinity affinity(Field f) const { return affinities_[index(f)]; }
    // The SQL expression that writes the text bound to parameter param into column f
    // so that it reads back as the same text, whatever the column's type.
    QByteArray writtenValue(Field f, int param) const;

    // Prepares one statement into st; on failure st stays null.
    platform::Failure prepare(const char *sql, StatementPtr &st) const;
    platform::Failure errorFor(int code) const;
    // At least the number of rows of Movies, found without reading the table.
    int estimatedRowCount() const;

private:
    Database(ConnectionPtr db, QString path) : registration_(path), db_(std::move(db)), path_(std::move(path)) {}
    // Declared first so that it outlives the connection.
    OpenFileRegistration registration_;
    ConnectionPtr db_;
    QString path_;
    std::array<Affinity, FieldCount> affinities_{};
};

// Registers the text functions the translated queries use: jet_like(pattern, value)
// and jet_equal(value, text), both ignoring letter case for every script, and
// keep_text(text, affinity), which writtenValue() uses.
void registerTextFunctions(sqlite3 *db);

} // namespace catalogue
