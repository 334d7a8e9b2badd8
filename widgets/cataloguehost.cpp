// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/cataloguehost.h"

#include "catalogue/recordcursor.h"

#include <numeric>

namespace widgets {

std::vector<int> CatalogueHost::listedPositions()
{
    std::vector<int> places(size_t(mainCursor().result().size()));
    std::iota(places.begin(), places.end(), 0);
    return places;
}

} // namespace widgets
