// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/moviedialog.h"

namespace editor {

// The dialog in which the user enters one new movie. It starts a pending new row on
// its own cursor at once; Finish stores it and has the main window list all movies.
class FrmAddNew : public MovieDialog {
    Q_OBJECT
public:
    // The dialog is a window of its own: a parent, if given, does not own it on screen.
    explicit FrmAddNew(widgets::CatalogueHost &host, QWidget *parent = nullptr);

private:
    void onCancelClicked() override;
};

} // namespace editor
