// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/movie.h"

namespace catalogue {

const QStringList &fieldNames()
{
    static const QStringList names{"Title", "Description", "Category", "Actors", "Review", "Rating", "Year", "Time"};
    return names;
}

QString fieldName(Field f) { return fieldNames().at(index(f)); }

const QByteArray &columnList()
{
    static const QByteArray list = fieldNames().join(", ").toUtf8();
    return list;
}

std::optional<Field> fieldByName(const QString &name)
{
    for (int i = 0; i < FieldCount; ++i)
        if (fieldNames().at(i).compare(name, Qt::CaseInsensitive) == 0)
            return fieldAt(i);
    return std::nullopt;
}

} // namespace catalogue
