// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/cataloguehost.h"

#include "catalogue/recordcursor.h"
#include "widgets/windows.h"

#include <QWidget>

#include <numeric>

namespace widgets {

std::vector<int> CatalogueHost::listedPositions()
{
    std::vector<int> places(size_t(mainCursor().result().size()));
    std::iota(places.begin(), places.end(), 0);
    return places;
}

bool refusedWhileEditing(QWidget *window, const CatalogueHost &host)
{
    if (!host.editing())
        return false;
    showMessage(window, QMessageBox::Information, window->windowTitle(),
                QStringLiteral("A movie is being added or edited. Finish or cancel it first, then try again."));
    return true;
}

} // namespace widgets
