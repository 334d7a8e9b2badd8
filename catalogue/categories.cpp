// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/categories.h"

namespace catalogue {

const QStringList &categoryNames()
{
    static const QStringList names{"Action",        "Biography", "Comedy",  "Documentary", "Drama",  "Horror",
                                   "Instructional", "Musical",   "Mystery", "Sci-Fi",      "Sports", "Suspense"};
    return names;
}

QString categoryButtonCaption(int index)
{
    static const QStringList captions{"Action",          "Biography", "Comedy",  "Documentary ", "Drama",  "Horror",
                                      "Instructional  ", "Musical",   "Mystery", "Sci-Fi",       "Sports", "Suspense"};
    return captions.value(index - 1);
}

const QStringList &ratingCodes()
{
    static const QStringList codes{"NC-17", "R", "PG-13", "PG", "G", "NR"};
    return codes;
}

} // namespace catalogue
