#include "catalogue/movie.h"

namespace catalogue {

const QStringList &fieldNames()
{
    static const QStringList names{"Title", "Description", "Category", "Actors", "Review", "Rating", "Year", "Time"};
    return names;
}

QString fieldName(Field f) { return fieldNames().at(index(f)); }

std::optional<Field> fieldByName(const QString &name)
{
    for (int i = 0; i < FieldCount; ++i)
        if (fieldNames().at(i).compare(name, Qt::CaseInsensitive) == 0)
            return fieldAt(i);
    return std::nullopt;
}

} // namespace catalogue
