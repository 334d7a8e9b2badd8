// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/moviedialog.h"

#include <QPointer>

namespace editor {

// The dialog in which the user changes the main window's current movie. It opens the
// main window's query on its own cursor (over the main window's connection, so from
// memory while the listing is current) and edits the row at the same place, after
// making sure that it is still the movie the user chose.
class FrmEdit : public MovieDialog {
    Q_OBJECT
public:
    // Loads the dialog on the main window's current movie, not yet shown. When that
    // movie cannot be edited (changed or gone since it was listed, or the catalogue
    // cannot be read), says why in a message box and answers nullptr.
    static FrmEdit *create(widgets::CatalogueHost &host);
    // Brings the open dialog of slot to the front, or creates and shows one; nullptr
    // when the movie cannot be edited.
    static FrmEdit *open(widgets::CatalogueHost &host, QPointer<FrmEdit> &slot);

private:
    explicit FrmEdit(widgets::CatalogueHost &host);
    void onCancelClicked() override;

    QString problem_;
};

} // namespace editor
