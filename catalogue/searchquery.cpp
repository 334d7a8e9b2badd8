// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/searchquery.h"

#include "catalogue/query.h"

namespace catalogue {

const QStringList &searchFieldEntries()
{
    static const QStringList entries{"Title",  "Description", "Category",     "Actors",      "Review",
                                     "Rating", "Year",        "Running Time", AllFieldsEntry};
    return entries;
}

std::optional<Field> searchFieldFor(const QString &entry)
{
    const QString typed = entry.trimmed();
    const QStringList &entries = searchFieldEntries();
    for (int i = 0; i < FieldCount; ++i)
        if (entries[i].compare(typed, Qt::CaseInsensitive) == 0)
            return fieldAt(i);
    return std::nullopt;
}

std::vector<Field> searchFieldsFor(const QString &entry)
{
    if (entry.trimmed().compare(AllFieldsEntry, Qt::CaseInsensitive) == 0) {
        std::vector<Field> all;
        for (int i = 0; i < FieldCount; ++i)
            all.push_back(fieldAt(i));
        return all;
    }
    if (const auto field = searchFieldFor(entry))
        return {*field};
    return {};
}

QString searchQuery(const QString &fieldEntry, const QString &text)
{
    const std::vector<Field> fields = searchFieldsFor(fieldEntry);
    if (fields.empty())
        return {};
    const QString pattern = quoteLiteral("*" + text + "*");
    QString where;
    for (Field f : fields)
        where += (where.isEmpty() ? "" : " or ") + fieldName(f) + " Like " + pattern;
    const QString order = fields.size() == 1 ? fieldName(fields.front()) : fieldName(Field::Title);
    return "select * from Movies where " + where + " Order by " + order;
}

} // namespace catalogue
