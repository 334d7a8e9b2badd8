// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace catalogue {

// The entries of the main window's field selector, in order: one per field, then
// the entry that searches every field.
const QStringList &searchFieldEntries();
inline const QString AllFieldsEntry = QStringLiteral("All Fields");

// The field an entry of the field selector searches: typed text names an entry when,
// trimmed, it equals one without regard to letter case; any other text names none.
std::optional<Field> searchFieldFor(const QString &entry);
// The fields an entry searches: one, all eight for "All Fields", none for other text.
std::vector<Field> searchFieldsFor(const QString &entry);

// The query that finds the movies whose field, named by the selector entry, contains
// text; ordered by that field ("All Fields": any field, ordered by title). Empty when
// the entry names no field.
QString searchQuery(const QString &fieldEntry, const QString &text);

} // namespace catalogue
