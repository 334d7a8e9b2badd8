#include "searchquery.h"

#include "query.h"

namespace catalogue {

const QStringList &searchFieldEntries()
{
    static const QStringList entries{"Title", "Description", "Category", "Actors", "Review", "Rating", "Year",
                                     "Running Time"};
    return entries;
}

std::optional<Field> searchFieldFor(const QString &entry)
{
    const QString typed = entry.trimmed();
    const QStringList &entries = searchFieldEntries();
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].compare(typed, Qt::CaseInsensitive) == 0)
            return fieldAt(i);
    return std::nullopt;
}

QString searchQuery(const QString &fieldEntry, const QString &text)
{
    const auto field = searchFieldFor(fieldEntry);
    if (!field)
        return {};
    const QString name = fieldName(*field);
    return "select * from Movies where " + name + " Like " + quoteLiteral("*" + text + "*") + " Order by " + name;
}

} // namespace catalogue
