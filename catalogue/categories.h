// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace catalogue {

// The twelve categories a movie is filed under, in button and list order.
const QStringList &categoryNames();

// Caption of the category button with the 1-based index (two of them end in blanks).
QString categoryButtonCaption(int index);

// The six rating codes the editors offer, in list order.
const QStringList &ratingCodes();

} // namespace catalogue
