// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace catalogue {
class RecordCursor;
}

namespace editor {

// Before a dialog stores its movie: when the option is on and another movie of the
// catalogue has the same title (case, accents and surrounding blanks aside) and the
// same Year (or either Year empty), asks whether to save it anyway, No being the
// default. When the catalogue cannot be searched, says so and goes on with the save.
// Answers whether to go on with the save.
bool confirmUnlessDuplicate(QWidget *dialog, catalogue::RecordCursor &cursor, const QString &catalogueFile,
                            const QString &title, const QString &year);

} // namespace editor
