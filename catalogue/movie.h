// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace catalogue {

// The eight text fields of a movie, in the column order of the Movies table.
enum class Field { Title, Description, Category, Actors, Review, Rating, Year, Time };
constexpr int FieldCount = 8;

inline int index(Field f) { return static_cast<int>(f); }
inline Field fieldAt(int i) { return static_cast<Field>(i); }

// Column names of the Movies table, in order.
const QStringList &fieldNames();
QString fieldName(Field f);
// The column names joined for a query: "Title, Description, ..., Time".
const QByteArray &columnList();
// Looks a column name up without regard to letter case.
std::optional<Field> fieldByName(const QString &name);

// One row of Movies. A field that holds NULL in the file reads as an empty text;
// the null flags keep that difference so that a write can name the row exactly.
struct Movie {
    std::array<QString, FieldCount> values;
    std::array<bool, FieldCount> isNull{};

    const QString &operator[](Field f) const { return values[index(f)]; }
    QString &operator[](Field f) { return values[index(f)]; }
    bool operator==(const Movie &o) const { return values == o.values && isNull == o.isNull; }
    bool operator!=(const Movie &o) const { return !(*this == o); }
};

} // namespace catalogue
